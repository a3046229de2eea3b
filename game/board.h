// The board of the level in play, its cell codes and the tank beside it.
#pragma once

#include <cstdint>

#include "game/cell_kinds.h"

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

inline bool onBoard(int x, int y) { return x >= 0 && x < BoardSize && y >= 0 && y < BoardSize; }
inline bool isObjectCode(int code) { return cellKind(code).isObject(); }

// The code of (x, y): its object if it has one and withObjects is true,
// else its terrain; a solid wall off the board.
std::uint8_t cellAt(const Board& board, int x, int y, bool withObjects);
// Where a pushed or shoved object may land: a cell whose kind takes one,
// with no object on it; never off the board.
bool acceptsObject(const Board& board, int x, int y);
// Terrain drawn as water (water, a sunk block), for shores; off the board
// counts as water.
bool isWaterAt(const Board& board, int x, int y);
// What an anti-tank sees of the cell: 1 through it, the code itself for an
// anti-tank, 0 blocked (and off the board).
std::uint8_t sightAt(const Board& board, int x, int y);
// Moves an object; a cell that swallows it (water) takes a block as the
// terrain it becomes (a sunk block).
void moveObject(Board& board, int fromX, int fromY, int toX, int toY, std::uint8_t code);
