// The check of level sources against the solver.
#include "tools/levels/level_check.h"

#include "solver/mechanics.h"

namespace levelcheck {

Checker::Checker(const std::vector<leveltext::Level>& levels, std::uint64_t maxStates)
    : levels_(levels), maxStates_(maxStates), bytes_(leveltext::compileLevels(levels)) {}

Verdict Checker::check(std::size_t index) {
    const leveltext::Level& level = levels_[index];
    Verdict v;
    v.solution = solver::solveLevel(reinterpret_cast<const std::uint8_t*>(bytes_.data()),
                                    static_cast<int>(levels_.size()), static_cast<int>(index), maxStates_);
    v.ok = v.solution.status == solver::Status::Solved && level.moves == v.solution.moves();
    if (!level.trap.empty()) {
        const solver::Result after =
            solver::solveAfter(reinterpret_cast<const std::uint8_t*>(bytes_.data()), static_cast<int>(levels_.size()),
                               static_cast<int>(index), level.trap, maxStates_);
        v.trapStates = after.states;
        v.trapError = after.error;
        v.trap = after.status == solver::Status::Unsolvable ? Trap::Holds : Trap::Fails;
        if (v.trap == Trap::Fails) v.ok = false;
    }
    for (int k = 0; k < mechanics::Count; ++k) {
        const std::uint16_t m = static_cast<std::uint16_t>(1u << k);
        if (!(level.needs & m)) continue;
        solver::Limits limits;
        limits.maxStates = maxStates_;
        limits.forbid = m;
        limits.maxPresses = level.moves;
        const solver::Result without = solver::solveLevel(reinterpret_cast<const std::uint8_t*>(bytes_.data()),
                                                          static_cast<int>(levels_.size()), static_cast<int>(index),
                                                          limits);
        const bool proven = without.status == solver::Status::Unsolvable;
        (proven ? v.needsProven : v.needsFailed) |= m;
    }
    if (v.needsFailed) v.ok = false;
    v.duplicate = !seen_.insert(level.cells).second;
    if (v.duplicate) v.ok = false;
    return v;
}

}  // namespace levelcheck
