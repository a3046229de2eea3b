// The one player set of the running game.
#include "ui/player_set.h"

PlayerSet playerSet;
