// The window's game and its player set.
#include "ui/window_game.h"

#include "ui/player_set.h"

namespace {

// The state of the window: its game and what the command line turned on.
struct Window {
    Game game{PlayState{}, Levels{}, &display(), nullptr};
    PlayerSet playerSet;
};
Window window;

}  // namespace

Game& game() { return window.game; }
PlayerSet& playerSet() { return window.playerSet; }
