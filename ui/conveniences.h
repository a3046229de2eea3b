// What the player set adds to the game: saved progress, the press counter in
// the window title, the shipped levels' fewest presses. Nothing here runs
// while the player set is all off.
#pragma once

#include <cstddef>
#include <string>

#include "game/game.h"

// The largest par file read (a line a level: 65536 levels take under 2 MiB),
// and the most presses a level's figure may say.
constexpr std::size_t MaxParFileBytes = std::size_t(4) << 20;
constexpr long long MaxParPresses = 9999999;

// Where warnings go (the game and the tool print them, one line each);
// nothing is said until one is set.
void setWarningSink(void (*sink)(const std::string& warning));

// After the game has started: with saving on, reads the progress of
// playerSet().progressFile for `levelFile` (a bad file is moved aside, with a
// warning) and puts the level list's highlight on the last level played;
// with the counter on, reads the fewest presses of the shipped levels from
// `parFile` when it exists (a par file that is no regular file, is larger
// than MaxParFileBytes or holds a line that is not "KEY PRESSES" gives one
// warning and no figures). Level starts from here on count as levels played.
void startConveniences(const std::string& levelFile, const std::string& parFile);

// The rules' mid-move redraw, connected in place of drawScreen: notes a win
// and a level start for the saved progress, then draws the screen.
void redrawForRules(Game&);

// Saves the progress now, with the sound's mute state (the M key calls it
// after a toggle). Does nothing unless saving is on.
void rememberSettings();

// The window title while the counter is on: the level, the presses so far
// and the best known (own, and the level's fewest possible); the game's own
// title outside a level. Sets it on the window when it changed.
void showCounterTitle();
std::string counterTitle();

// The recorded fewest presses of level `index`, -1 when unknown.
int parOf(int index);

// Forgets the progress, the fewest presses, the history and the guide's
// state (a fresh game, its level starts counted from none).
void resetConveniences();
