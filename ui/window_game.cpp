// The window's game.
#include "ui/window_game.h"

namespace {
Game windowGame{PlayState{}, Levels{}, &display(), nullptr};
}  // namespace

Game& game() { return windowGame; }
