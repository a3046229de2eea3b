// The check of level sources against the solver.
// Every level must solve in exactly its recorded press count, differ from
// the levels before it, and be lost for good after its trap, if it has one.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tools/levels/level_text.h"
#include "tools/session/solver.h"

namespace levelcheck {

enum class Trap { None, Holds, Fails };

struct Verdict {
    solver::Result solution;
    bool duplicate = false;  // the same board as an earlier level
    Trap trap = Trap::None;  // its 'trap' line proven (no win after it) or not
    std::uint64_t trapStates = 0;
    std::string trapError;   // why the trap could not be searched (it ends the level, say)
    bool ok = false;         // solved in exactly its 'moves', its trap holds, and no duplicate
};

class Checker {
public:
    // Levels are solved as the level file of all of them would start them.
    Checker(const std::vector<leveltext::Level>& levels, std::uint64_t maxStates);
    // The verdict on level `index`; call in order, so that a duplicate is
    // told from the level it repeats.
    Verdict check(std::size_t index);

private:
    const std::vector<leveltext::Level>& levels_;
    std::uint64_t maxStates_;
    std::string bytes_;
    std::set<leveltext::Record> seen_;
};

}  // namespace levelcheck
