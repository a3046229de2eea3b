// The check of level sources against the solver.
// Every level must solve in exactly its recorded press count, differ from
// the levels before it, be lost for good after its trap, if it has one, and
// be won in its press count only with each mechanic its 'needs' line names.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "game/level_text.h"
#include "tools/session/solver.h"

namespace levelcheck {

enum class Trap { None, Holds, Fails };

struct Verdict {
    solver::Result solution;
    bool duplicate = false;  // the same board as an earlier level
    Trap trap = Trap::None;  // its 'trap' line proven (no win after it) or not
    std::uint64_t trapStates = 0;
    std::string trapError;   // why the trap could not be searched (it ends the level, say)
    // Its 'needs' line: the mechanics proven needed (forbidden, no win within
    // its press count) and those that are not.
    std::uint16_t needsProven = 0, needsFailed = 0;
    bool ok = false;         // solved in exactly its 'moves', its trap holds, its needs proven, no duplicate
};

class Checker {
public:
    // Levels are solved as the level file of all of them would start them.
    Checker(const std::vector<leveltext::Level>& levels, std::uint64_t maxStates);
    // The verdict on level `index`; call in order, so that a duplicate is
    // told from the level it repeats.
    Verdict check(std::size_t index);
    // The compiled level file of all the levels.
    const std::string& bytes() const { return bytes_; }

private:
    const std::vector<leveltext::Level>& levels_;
    std::uint64_t maxStates_;
    std::string bytes_;
    std::set<leveltext::Record> seen_;
};

}  // namespace levelcheck
