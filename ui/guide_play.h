// The guide at play (playerSet().guide): the keys it takes before the
// screens do, hints and solutions searched a slice at a time, and wins played
// back on the window's game. What it shows is ui/guide.h.
#pragma once

namespace guide {

// A key the guide takes before the screens do: true when it is used up.
// A first press while the title shows hides it and is not used up.
bool takeKey(int key);

// Once a main-loop redraw: counts the title and notes down, advances a
// search by a slice (a few milliseconds at most), plays a watched press.
void tick();
// Runs every search and playback to its end (the headless replay).
void settle();
// True while a solution or own best win is being played back.
bool watching();
// Wins seen played back since the start, and the last one's presses.
int watchedWins();

}  // namespace guide
