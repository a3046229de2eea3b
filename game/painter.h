// The pictures of board cells, and the drawing helpers of the rules: each
// draws nothing while drawing is off.
#pragma once

#include <cstdint>

#include "game/game.h"

// The 24x24 RGB picture of cell (x, y): a stored picture, or the pixels of
// waterCanvas or objectCanvas, which the next call may overwrite.
const std::uint8_t* cellImage(const Game& g, int x, int y, bool withObjects);
// The shores of the water (or sunk block) cell at (x, y), onto waterCanvas.
void drawWaterEdges(const Game& g, int x, int y);
// The sprite of object `code` (block, anti-tank, movable mirror) at (0, 0)
// of objectCanvas, over whatever the canvas holds.
void drawObjectSprite(int code);
// cellImage into the screen buffer at the cell's place. On the board only.
void drawCell(const Game& g, int x, int y, bool withObjects);
// Cell (x, y) without objects redrawn and shown as one frame, then a pause.
void showCellFrame(const Game& g, int x, int y, unsigned pauseMicros);

// The tank at its cell over the terrain (never over an object), turned.
void drawTank(const Game& g, float angle);

enum class BeamPiece { Horizontal, Vertical, Crossing, Corner };
// A frame showing a piece of beam over cell (x, y) (and over the mirror
// there, if any); a corner is turned by cornerTurn quarter turns, as the
// mirror it lies on.
void showBeamPiece(const Game& g, int x, int y, BeamPiece piece, std::uint32_t colour, int cornerTurn = 0);

// The two cells of an object's move, once the board holds it: the cell it
// left without objects, then the cell it reached with them; an object the
// water swallowed sounds a splash, or a sinking for a block.
void drawMove(const Game& g, int fromX, int fromY, int toX, int toY);
