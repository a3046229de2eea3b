// Figures of a level set: what a player meets in each level, measured from
// the solver's search over the game's own rules, and per page of the level
// list their medians and the climb of difficulty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/level_text.h"
#include "solver/mechanics.h"
#include "solver/solver.h"

namespace levelstats {

constexpr int PageSize = 30;  // levels on one page of the level list
constexpr int TeachingLevels = 10;  // the first levels, which may stay small
constexpr int LongestFinalWalk = 8;  // walking presses after a solution's last other one, levels 11 on
constexpr std::uint64_t DefaultExploreStates = 2000000;  // states explored per level for the figures

// Cells that are neither solid wall nor empty.
int nonWallCells(const leveltext::Record& cells);
// Movable blocks, movable mirrors and anti-tanks.
int objectCount(const leveltext::Record& cells);
// Ground, goal, rubble, scorch, sunk block and the tank's start.
bool floorLike(std::uint8_t code);
// The median of `values` (the mean of the middle two for an even count); 0
// for none.
double median(std::vector<double> values);
double median(std::vector<int> values);
// Spearman's rank correlation of `values` against their positions (ties
// ranked by their mean); 0 for fewer than two.
double rankCorrelation(const std::vector<double>& values);
// The share of two boards that is the same: cells that are not solid wall
// in either, holding the same code in both, over the cells that are not
// solid wall in one or both.
double boardOverlap(const leveltext::Record& a, const leveltext::Record& b);

// What the last page's needs lines must cover: each group named by at least
// LastPageNeedsAtLeast of its levels. Glass and slot are one group: a level
// needing either counts, as both let the beam cross what the tank cannot.
struct MechanicGroup {
    const char* name;
    std::uint16_t bits;
};
inline constexpr MechanicGroup lastPageGroups[] = {{"brick", mechanics::Brick},
                                                   {"fixed-mirror", mechanics::FixedMirror},
                                                   {"movable-mirror", mechanics::MovableMirror},
                                                   {"glass/slot", mechanics::Glass | mechanics::Slot},
                                                   {"anti-tank", mechanics::AntiTank}};
constexpr int GroupCount = sizeof lastPageGroups / sizeof lastPageGroups[0];
constexpr int LastPageNeedsAtLeast = 4;

// One level as the player meets it.
struct LevelFigures {
    int presses = -1;                   // the optimal solution's presses (-1: none found)
    std::uint64_t statesToOptimum = 0;  // states the solver stored to prove it
    solver::Exploration reach;          // every reachable state (capped)
    int floor = 0;                      // floor-like cells at the start
    int tankFloor = 0;                  // cells the tank stands on in some state
    int changed = 0;                    // cells whose content changes in some state
    int deadFloor = 0;                  // floor-like cells the tank never reaches and nothing changes
    bool dead[256] = {};                // which they are
    double deadFloorShare = 0;
    double walkingShare = 0;            // of the solution's presses, those that only turn or move the tank
    int finalWalk = 0;                  // walking presses after the solution's last other one
    int cellsUsed = 0;                  // cells the solution's tank, objects and shots touch
    std::uint16_t used = 0;             // the mechanics the solution uses
    double deadShare() const { return reach.states ? double(reach.dead) / double(reach.states) : 0; }
};

// Measures level `index` of the compiled file `bytes` (count levels), whose
// optimal solution is `solution`.
LevelFigures measureLevel(const std::string& bytes, int count, int index, const solver::Result& solution,
                          std::uint64_t exploreStates);

struct Page {
    int first = 0, count = 0;  // level indices first .. first + count - 1
    double medianMoves = 0, medianNonWall = 0;
    int traps = 0;  // levels with a 'trap' line
    // From the figures, when given:
    double medianStates = 0;       // states searched to the optimum
    double order = 0;              // rank correlation of states against position
    double medianWalking = 0;
    double worstDeadFloor = 0;     // the largest dead floor share, teaching levels left out
    int usesMechanic[16] = {};     // levels whose solution uses mechanic k
    int needsMechanic[16] = {};    // levels whose proven needs line names mechanic k
    int needsGroup[GroupCount] = {};  // levels whose needs line names a mechanic of lastPageGroups[g]
};

struct Figures {
    std::vector<Page> pages;
    double laterMedianNonWall = 0;  // levels after the teaching ones
    int laterMinNonWall = 0;
};

// The figures of `levels` from their recorded 'moves'; with `perLevel`
// (one per level, in order) the pages' medians of those too.
Figures measure(const std::vector<leveltext::Level>& levels, const std::vector<LevelFigures>* perLevel = nullptr);

}  // namespace levelstats
