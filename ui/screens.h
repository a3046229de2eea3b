// The four screens and what each one draws.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/play_state.h"

// Tints, as pixel bytes blue, green, red from the lowest byte up.
constexpr std::uint32_t HighlightTint = 0xAA0000;  // bytes 00 00 AA
constexpr std::uint32_t NumberTint = 0x252317;     // bytes 17 23 25
constexpr std::uint32_t WonTint = 0x109A2C;        // bytes 2C 9A 10: a won level's number, with saving on

// Composes the whole current screen, presents it, swaps, polls input.
void drawScreen();
void setScreen(Screen screen);
// The playing screen's picture of `g` into the screen buffer: the
// background, the cells and the tank (none once lost), unpresented.
void drawBoardOf(const Game& g);
// The decimal digits of `number` centred in the level cell at (x, y) of
// screenCanvas. Numbers above 999 show their last three digits.
void drawNumber(int x, int y, int number, std::uint32_t tint);
