// Figures of a level set: board use per level, press counts per page.
#include "tools/levels/level_stats.h"

#include <algorithm>

#include "game/board.h"

namespace levelstats {

int nonWallCells(const leveltext::Record& cells) {
    return static_cast<int>(
        std::count_if(cells.begin(), cells.end(), [](std::uint8_t c) { return c != SolidWall && c != Empty; }));
}

int objectCount(const leveltext::Record& cells) {
    return static_cast<int>(std::count_if(cells.begin(), cells.end(), [](std::uint8_t c) { return isObjectCode(c); }));
}

double median(std::vector<int> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

Figures measure(const std::vector<leveltext::Level>& levels) {
    Figures f;
    const int n = static_cast<int>(levels.size());
    std::vector<int> later;
    for (int first = 0; first < n; first += PageSize) {
        Page page;
        page.first = first;
        page.count = std::min(PageSize, n - first);
        std::vector<int> moves, cells;
        for (int i = first; i < first + page.count; ++i) {
            moves.push_back(levels[i].moves);
            cells.push_back(nonWallCells(levels[i].cells));
            if (!levels[i].trap.empty()) ++page.traps;
            if (i >= TeachingLevels) later.push_back(cells.back());
        }
        page.medianMoves = median(moves);
        page.medianNonWall = median(cells);
        f.pages.push_back(page);
    }
    f.laterMedianNonWall = median(later);
    f.laterMinNonWall = later.empty() ? 0 : *std::min_element(later.begin(), later.end());
    return f;
}

}  // namespace levelstats
