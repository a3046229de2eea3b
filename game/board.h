// The board of the level in play, its cell codes and the tank beside it.
#pragma once

#include <cstdint>

enum CellCode : std::uint8_t {
    Empty = 0,
    Water = 1,
    Ground = 2,
    BrickWall = 3,
    SolidWall = 4,
    MovableBlock = 5,
    FixedMirrorRightBottom = 6,  // reflects between right and bottom
    FixedMirrorLeftBottom = 7,
    FixedMirrorLeftTop = 8,
    FixedMirrorRightTop = 9,
    TankStart = 10,
    Goal = 11,
    AntiTankRight = 12,
    AntiTankDown = 13,
    AntiTankLeft = 14,
    AntiTankUp = 15,
    MovableMirrorRightBottom = 16,
    MovableMirrorLeftBottom = 17,
    MovableMirrorLeftTop = 18,
    MovableMirrorRightTop = 19,
    ClearBlock = 20,
    HorizontalSlot = 21,
    VerticalSlot = 22,
    SunkBlock = 23,
    Rubble = 24,
    Scorch = 25,
};

constexpr int BoardSize = 16;

struct Cell {
    std::uint8_t terrain;
    std::uint8_t object;  // 0: none
    std::uint8_t state;   // brick damage stage, or 1 while a beam segment lies here
};

struct Board {
    Cell cells[BoardSize][BoardSize];  // [y][x]
    Cell& at(int x, int y) { return cells[y][x]; }
    const Cell& at(int x, int y) const { return cells[y][x]; }
};

// Sight of an anti-tank through each code: 1 see-through, the code itself
// for an anti-tank, 0 blocked.
extern const std::uint8_t SightTable[26];

inline bool onBoard(int x, int y) { return x >= 0 && x < BoardSize && y >= 0 && y < BoardSize; }
inline bool isObjectCode(int code) { return code == MovableBlock || (code >= AntiTankRight && code <= MovableMirrorRightTop); }

// The code of (x, y): its object if it has one and withObjects is true,
// else its terrain; a solid wall off the board.
std::uint8_t cellAt(const Board& board, int x, int y, bool withObjects);
// Where a pushed or shoved object may land: water, ground, a sunk block,
// rubble or scorch, with no object on it; never off the board.
bool acceptsObject(const Board& board, int x, int y);
// Water or a sunk block, for shores; off the board counts as water.
bool isWaterAt(const Board& board, int x, int y);
// The sight value of the cell's code; 0 off the board.
std::uint8_t sightAt(const Board& board, int x, int y);
// Moves an object; water swallows it (a block becomes a sunk block).
void moveObject(Board& board, int fromX, int fromY, int toX, int toY, std::uint8_t code);
