// The one play state of the game.
#include "game/play_state.h"

PlayState play;
