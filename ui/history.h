// The presses of the level in play: the undo history and the press count.
#pragma once

#include <cstddef>
#include <vector>

namespace history {

// The most presses undo can take back in one level; older ones are dropped.
constexpr std::size_t MaxSteps = 100000;

// Around a press of a direction key or Space while the level is in play:
// the state before it is kept when the press changed the tank or the board.
// Presses may nest (keys handled inside a rule's redraw).
void beginPress(int key = 0);
void endPress();

// True while a press is being handled (its animation, its redraws).
bool pressing();

// Puts back the state before the last press that changed anything (the
// tank, the board and the outcome); false when there is none (or only
// presses older than the last MaxSteps), or while a press is being handled.
bool undo();

// Presses that changed the tank or the board since the level started,
// less those taken back.
int presses();
// The keys of those presses, in order; none when presses older than the
// last MaxSteps were dropped.
std::vector<int> pressKeys();

// Forgets every press (a fresh game).
void clear();

}  // namespace history
