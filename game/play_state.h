// The play state: the board, the tank, the level, the outcome and the screen,
// everything a key press can change, in one struct.
#pragma once

#include <cstdint>

#include "game/board.h"

enum Screen : int { Title = 0, LevelSelect = 1, Playing = 2, Result = 4 };
enum Outcome : int { InPlay = 0, Won = 1, Lost = 2 };

struct Tank {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t dx = 0;  // facing; (0, 0) before any level has placed it
    std::int32_t dy = 0;
    float angle = 0;      // degrees, as drawn
};

struct PlayState {
    Board board{};
    Tank tank;
    Screen screen = Title;
    Outcome outcome = InPlay;
    int level = 0;  // the level in play, or highlighted in the level list
    int page = 0;   // the level list's page
};
