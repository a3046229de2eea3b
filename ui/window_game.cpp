// The window's game, its player set and the ui layer's state.
#include "ui/window_game.h"

#include "ui/player_set.h"
#include "ui/ui_state.h"

namespace {

// The state of the window: its game, what the command line turned on, the
// ui layer's state and what start-up connected to it.
struct Window {
    Game game{PlayState{}, Levels{}, &display(), nullptr};
    PlayerSet playerSet;
    UiState ui;
    UiConnections connections;
};
Window window;

}  // namespace

Game& game() { return window.game; }
PlayerSet& playerSet() { return window.playerSet; }
UiState& ui() { return window.ui; }
UiConnections& uiConnections() { return window.connections; }
