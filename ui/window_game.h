// The window's game: the one game that the screens draw, the input drives and
// the start-up resets. Every other game (a solver's) is a value of its own.
#pragma once

#include "game/game.h"

// The game of the window, drawing on the window's display.
Game& game();
