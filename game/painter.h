// The pictures of board cells.
#pragma once

#include <cstdint>

// The 24x24 RGB picture of cell (x, y): a stored picture, or the pixels of
// waterCanvas or objectCanvas, which the next call may overwrite.
const std::uint8_t* cellImage(int x, int y, bool withObjects);
// The shores of the water (or sunk block) cell at (x, y), onto waterCanvas.
void drawWaterEdges(int x, int y);
// The sprite of object `code` (block, anti-tank, movable mirror) at (0, 0)
// of objectCanvas, over whatever the canvas holds.
void drawObjectSprite(int code);
// cellImage into the screen buffer at the cell's place. On the board only.
void drawCell(int x, int y, bool withObjects);
// The two cells of an object's move, once the board holds it: the cell it
// left without objects, then the cell it reached with them.
void drawMove(int fromX, int fromY, int toX, int toY);
