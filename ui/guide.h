// What the player set tells and shows inside the game (playerSet().guide): the
// level's title when it starts, won and lost told apart, marks on the level
// list, the mute sign, the hint's arrow. What it does at play (its keys, the
// hints searched, wins played back) is ui/guide_play.h. Nothing here runs
// while the guide is off.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/search.h"

struct Game;

namespace guide {

struct Spot;  // a position (ui/ui_state.h)

// The hints' search (ui/search.h), handed down by the solver at start-up.
void connectSearch(SearchStart start);
// A search started through the connected solver; nullptr when none is connected.
std::unique_ptr<Search> startSearch(const SearchRequest& request);

// The most states one hint or solution may search.
constexpr std::uint64_t HintStates = 5000000;

// Level titles by level, from the level file's companion; "" when unknown.
void setTitle(int index, const std::string& title);
std::string titleOf(int index);

// Sound muted or not: a note for a moment on screen and in the window title.
void noteMute(bool muted);
// A note for a moment: `text` on screen (on the banner with `banner`),
// `title` in the window title.
void note(const std::string& text, const std::string& title, bool banner);
// A new level start, once seen: its title shows and the last level's hints
// are forgotten. titleShowing looks for one first, then says whether the
// title shows.
void followStarts();
bool titleShowing();

// The position of `g`, and whether two are the same (the board and the tank).
Spot spotOf(const Game& g);
bool same(const Spot& a, const Spot& b);

// Drawn over the screens, and the window title's additions.
void drawOverPlaying();
// The result banner; `par` is the fewest presses of the level, -1 unknown.
void drawOverResult(int par);
void drawOverLevelSelect(int x, int y, int index);
void drawUnderLevelList();
std::string titleAdditions();  // ": TITLE" of the level in play, when known
std::string titleNote();       // "hint: Right", "sound off"... for the moment

// Whether the level in play has had a hint since it started.
bool helped();
// The outcome of the last win, for the result screen: presses and whether
// it was a new best.
void noteWin(int presses, bool newBest);

// Text with the player set's glyphs at (x, y) of the screen canvas.
void drawText(int x, int y, const std::string& text, std::uint32_t tint);

// Forgets everything (a fresh game).
void reset();

}  // namespace guide
