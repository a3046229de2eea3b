// What the player set tells and shows inside the game (playerSet().guide): the
// level's title when it starts, won and lost told apart, marks on the level
// list, the mute sign, hints from the solver, solutions and own best wins
// played back. Nothing here runs while the guide is off.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Game;

namespace guide {

// A shortest-win search, a slice at a time: the one contact of the hints and
// the editor with the solver, which lives above this layer and is handed
// down at start-up.
class Search {
public:
    enum Answer { Found, NoWin, GaveUp };
    virtual ~Search() = default;
    // Expands at most `states` more states; true when the search has ended.
    virtual bool advance(std::uint64_t states) = 0;
    virtual Answer answer() const = 0;
    // The keys of a shortest win when Found.
    virtual std::vector<int> keys() const = 0;
    // The states stored so far (the start included).
    virtual std::uint64_t states() const = 0;
    // An exploring search, once ended without giving up: the fewest presses
    // from the start to a state with no win left (-1: there is none), and
    // how many of the five first presses keep a win.
    virtual int fewestToLoss() const { return -1; }
    virtual int firstKeepingWin() const { return 0; }
};
// What to search: from `from` (nullptr: the window's game as it stands),
// copied when the search starts and never drawn; with `explore`, every
// reachable state (no shortest win: the loss figures instead).
struct SearchRequest {
    std::uint64_t maxStates = 0;
    const Game* from = nullptr;
    bool explore = false;
};
using SearchStart = std::unique_ptr<Search> (*)(const SearchRequest& request);
void connectSearch(SearchStart start);
// A search started through the connected solver; nullptr when none is connected.
std::unique_ptr<Search> startSearch(const SearchRequest& request);

// The most states one hint or solution may search.
constexpr std::uint64_t HintStates = 5000000;

// Level titles by level, from the level file's companion; "" when unknown.
void setTitle(int index, const std::string& title);
std::string titleOf(int index);

// A key the guide takes before the screens do: true when it is used up.
// A first press while the title shows hides it and is not used up.
bool onKey(int key);
// Sound muted or not: a note for a moment on screen and in the window title.
void noteMute(bool muted);

// Once a main-loop redraw: counts the title and notes down, advances a
// search by a slice (a few milliseconds at most), plays a watched press.
void tick();
// Runs every search and playback to its end (the headless replay).
void settle();
// True while a solution or own best win is being played back.
bool watching();
// Wins seen played back since the start, and the last one's presses.
int watchedWins();

// Drawn over the screens, and the window title's additions.
void drawOverPlaying();
void drawOverResult();
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
