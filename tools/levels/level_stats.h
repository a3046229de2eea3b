// Figures of a level set: how much of the board each level uses, and the
// climb of its optimal press counts page by page.
#pragma once

#include <vector>

#include "tools/levels/level_text.h"

namespace levelstats {

constexpr int PageSize = 30;  // levels on one page of the level list
constexpr int TeachingLevels = 10;  // the first levels, which may stay small

// Cells that are neither solid wall nor empty.
int nonWallCells(const leveltext::Record& cells);
// Movable blocks, movable mirrors and anti-tanks.
int objectCount(const leveltext::Record& cells);
// The median of `values` (the mean of the middle two for an even count); 0
// for none.
double median(std::vector<int> values);

struct Page {
    int first = 0, count = 0;  // level indices first .. first + count - 1
    double medianMoves = 0, medianNonWall = 0;
    int traps = 0;  // levels with a 'trap' line
};

struct Figures {
    std::vector<Page> pages;
    double laterMedianNonWall = 0;  // levels after the teaching ones
    int laterMinNonWall = 0;
};

// The figures of `levels` from their recorded 'moves'.
Figures measure(const std::vector<leveltext::Level>& levels);

}  // namespace levelstats
