// Figures of a level set: what the player meets, per level and per page.
#include "tools/levels/level_stats.h"

#include <algorithm>
#include <cmath>

#include "game/board.h"
#include "solver/mechanics.h"

namespace levelstats {

int nonWallCells(const leveltext::Record& cells) {
    return static_cast<int>(
        std::count_if(cells.begin(), cells.end(), [](std::uint8_t c) { return c != SolidWall && c != Empty; }));
}

int objectCount(const leveltext::Record& cells) {
    return static_cast<int>(std::count_if(cells.begin(), cells.end(), [](std::uint8_t c) { return isObjectCode(c); }));
}

bool floorLike(std::uint8_t c) {
    return c == Ground || c == Goal || c == Rubble || c == Scorch || c == SunkBlock || c == TankStart ||
           isObjectCode(c);
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double median(std::vector<int> values) { return median(std::vector<double>(values.begin(), values.end())); }

namespace {

std::vector<double> ranks(const std::vector<double>& v) {
    std::vector<std::size_t> order(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return v[a] < v[b]; });
    std::vector<double> r(v.size());
    for (std::size_t i = 0; i < order.size();) {
        std::size_t j = i;
        while (j + 1 < order.size() && v[order[j + 1]] == v[order[i]]) ++j;
        for (std::size_t k = i; k <= j; ++k) r[order[k]] = (i + j) / 2.0 + 1;
        i = j + 1;
    }
    return r;
}

}  // namespace

double rankCorrelation(const std::vector<double>& values) {
    const std::size_t n = values.size();
    if (n < 2) return 0;
    const std::vector<double> r = ranks(values);
    const double mean = (n + 1) / 2.0;
    double sxy = 0, sxx = 0, syy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = i + 1 - mean, y = r[i] - mean;
        sxy += x * y;
        sxx += x * x;
        syy += y * y;
    }
    return syy > 0 ? sxy / std::sqrt(sxx * syy) : 0;
}

double boardOverlap(const leveltext::Record& a, const leveltext::Record& b) {
    int same = 0, open = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const bool wallA = a[i] == SolidWall, wallB = b[i] == SolidWall;
        if (wallA && wallB) continue;
        ++open;
        if (a[i] == b[i]) ++same;
    }
    return open ? double(same) / open : 0;
}

LevelFigures measureLevel(const std::string& bytes, int count, int index, const solver::Result& solution,
                          std::uint64_t exploreStates) {
    const auto* records = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::uint8_t* cells = records + static_cast<std::size_t>(index) * leveltext::RecordBytes;
    LevelFigures f;
    f.statesToOptimum = solution.states;
    f.reach = solver::explore(records, count, index, exploreStates);
    solver::Trace t;
    if (solution.status == solver::Status::Solved) {
        f.presses = solution.moves();
        t = solver::trace(records, count, index, solution.path);
    }
    for (int c = 0; c < 256; ++c) {
        if (f.reach.tankCells[c]) ++f.tankFloor;
        if (f.reach.touchedCells[c] && cells[c] != Goal) ++f.changed;
        if (t.cells[c]) ++f.cellsUsed;
        if (!floorLike(cells[c])) continue;
        ++f.floor;
        if (!f.reach.tankCells[c] && !f.reach.touchedCells[c]) {
            ++f.deadFloor;
            f.dead[c] = true;
        }
    }
    f.deadFloorShare = f.floor ? double(f.deadFloor) / f.floor : 0;
    int walking = 0;
    for (std::size_t k = 0; k < t.walking.size(); ++k) {
        f.used |= t.used[k];
        if (t.walking[k]) {
            ++walking;
            ++f.finalWalk;
        } else if (k + 1 < t.walking.size()) {
            f.finalWalk = 0;
        }
    }
    f.walkingShare = t.walking.empty() ? 0 : double(walking) / t.walking.size();
    return f;
}

Figures measure(const std::vector<leveltext::Level>& levels, const std::vector<LevelFigures>* perLevel) {
    Figures f;
    const int n = static_cast<int>(levels.size());
    std::vector<int> later;
    for (int first = 0; first < n; first += PageSize) {
        Page page;
        page.first = first;
        page.count = std::min(PageSize, n - first);
        std::vector<int> moves, cells;
        std::vector<double> states, walking;
        for (int i = first; i < first + page.count; ++i) {
            moves.push_back(levels[i].moves);
            cells.push_back(nonWallCells(levels[i].cells));
            if (!levels[i].trap.empty()) ++page.traps;
            if (i >= TeachingLevels) later.push_back(cells.back());
            for (int g = 0; g < GroupCount; ++g)
                if (levels[i].needs & lastPageGroups[g].bits) ++page.needsGroup[g];
            if (!perLevel || i >= static_cast<int>(perLevel->size())) continue;
            const LevelFigures& l = (*perLevel)[i];
            states.push_back(static_cast<double>(l.statesToOptimum));
            walking.push_back(l.walkingShare);
            if (i >= TeachingLevels) page.worstDeadFloor = std::max(page.worstDeadFloor, l.deadFloorShare);
            for (int k = 0; k < mechanics::Count; ++k) {
                if (l.used & (1u << k)) ++page.usesMechanic[k];
                if (levels[i].needs & (1u << k)) ++page.needsMechanic[k];
            }
        }
        page.medianMoves = median(moves);
        page.medianNonWall = median(cells);
        page.medianStates = median(states);
        page.medianWalking = median(walking);
        page.order = rankCorrelation(states);
        f.pages.push_back(page);
    }
    f.laterMedianNonWall = median(later);
    f.laterMinNonWall = later.empty() ? 0 : *std::min_element(later.begin(), later.end());
    return f;
}

}  // namespace levelstats
