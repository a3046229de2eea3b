// The optimal solver: a breadth-first search over key presses.
// It plays the game's own rules (with drawing off) from a level's start, so
// the first win it meets is a shortest one. A turn costs a press like a move
// does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Game;

namespace solver {

enum class Status { Solved, Unsolvable, Unknown };

// The five presses, in the order the search tries them.
enum Press : std::uint8_t { PressLeft, PressRight, PressUp, PressDown, PressSpace };
constexpr int PressCount = 5;

// The replay's name of a press: Left Right Up Down Space.
const char* pressName(int press);
// The key value that the game's key handler takes for a press.
int pressKey(int press);
// "Left Up Space ..."
std::string tokens(const std::vector<std::uint8_t>& path);

// What a search found. As every fallible call, it says whether it worked and
// why not: `status` is the value callers act on, and a search that left its
// model (a board it cannot encode, an opening that ends the level) is
// Unknown with one line in `error` saying why, which only a person reads.
struct Result {
    Status status = Status::Unknown;
    std::vector<std::uint8_t> path;  // the presses of a shortest win
    std::uint64_t states = 0;        // distinct states stored (the start included)
    std::uint64_t expanded = 0;      // states whose five presses were tried
    std::uint64_t peakBytes = 0;     // memory the search held at its largest
    int stateBytes = 0;              // bytes of one encoded state
    std::string error;               // why it left the search's model (then Unknown)
    bool pressLimited = false;       // Unsolvable only within Limits::maxPresses
    int moves() const { return static_cast<int>(path.size()); }
};

constexpr std::uint64_t DefaultMaxStates = 30000000;

// Bounds of a search: its states, the mechanics it may not use (a press
// that uses one is not taken; see solver/mechanics.h), and the
// longest win it looks for (-1: any). A search that passes maxPresses
// without a win ends Unsolvable with pressLimited set.
struct Limits {
    std::uint64_t maxStates = DefaultMaxStates;
    std::uint16_t forbid = 0;
    int maxPresses = -1;
};

struct Exploration;

// The same search from a game's state, a slice at a time, so that the game
// can go on between slices (the hints, the editor's verdict). It plays a
// copy of `from` taken when it starts (never drawn), so the window's game,
// its conveniences and its waiting input are never touched.
class Stepper {
public:
    // With `exploring`, every
    // reachable state with its edges, as exploreGame searches, whose
    // figures exploration() gives once the search has ended.
    Stepper(const Game& from, std::uint64_t maxStates, bool exploring = false);
    ~Stepper();
    Stepper(const Stepper&) = delete;
    Stepper& operator=(const Stepper&) = delete;
    // Expands at most `expansions` more states; true when the search ended.
    bool advance(std::uint64_t expansions);
    const Result& result() const;
    // The states stored so far (the start included).
    std::uint64_t states() const;
    // Once an exploring search has ended: what its edges tell.
    Exploration exploration();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Hands the stepped search to the game's hints (guide::connectSearch).
void connectHints();

// The search from the level in play on a copy of the window's game, run
// whole; the exploring one keeps every edge (see explore below).
Result searchInPlay(const Limits& limits);
struct Exploration;
Exploration exploreInPlay(std::uint64_t maxStates);

// Solves level `index` of `count` records, on a game of its own (never
// drawn), with the level in play as the replay's --start puts it: the tank
// first placed by level 0, then by level `index`. The window's game and
// every other game are left alone, so a solve may run on another thread
// while a game plays.
Result solveLevel(const std::uint8_t* records, int count, int index, std::uint64_t maxStates = DefaultMaxStates);
Result solveLevel(const std::uint8_t* records, int count, int index, const Limits& limits);
// The same search from where `opening` (presses played from the level's
// start) leaves the level: Unsolvable then means the opening has lost it for
// good. An opening that ends the level itself gives Unknown with an error.
Result solveAfter(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& opening,
                  std::uint64_t maxStates = DefaultMaxStates);

// Every state reachable from a level's start (up to maxStates), and what
// they tell of the level as a player meets it.
struct Exploration {
    std::uint64_t states = 0;  // distinct states found (the start included)
    bool capped = false;       // maxStates was reached: the figures below the
                               // line are unknown, the cells a lower bound
    std::string error;
    bool winnable = false;     // some state wins with one more press
    // Known only when not capped:
    std::uint64_t dead = 0;    // states from which no win is left
    int fewestToDead = -1;     // fewest presses from the start to one (-1: none)
    int firstWinnable = 0;     // presses from the start after which a win is left
    // Cells (y * 16 + x): where the tank stands in some state; what changes
    // in some state, and the goal when a win is found. A shot crossing a
    // cell does not count: it crosses water as well.
    bool tankCells[256] = {};
    bool touchedCells[256] = {};
};
Exploration explore(const std::uint8_t* records, int count, int index, std::uint64_t maxStates);

// What the presses of `path` do when played from the level's start.
struct Trace {
    std::vector<std::uint16_t> used;  // per press, its mechanics
    std::vector<bool> walking;        // per press: it changed nothing but the tank
    bool cells[256] = {};             // cells the tank stood on, that changed, or that a shot crossed
    bool won = false;
};
Trace trace(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& path);

// The pieces the searches above are made of, on a game the caller owns
// (never drawn: no display, no redraw). playPress plays one press as the
// playing screen's key does; startOwnGame builds a game from the records
// with level `index` in play as solveLevel does; searchGame and exploreGame
// search from the game's state and leave it as it was.
void playPress(Game& g, int press);
Game startOwnGame(const std::uint8_t* records, int count, int index);
Result searchGame(Game& g, const Limits& limits);
Exploration exploreGame(Game& g, std::uint64_t maxStates);

}  // namespace solver
