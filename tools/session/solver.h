// The optimal solver: a breadth-first search over key presses.
// It plays the game's own rules (with drawing off) from a level's start, so
// the first win it meets is a shortest one. A turn costs a press like a move
// does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

struct Result {
    Status status = Status::Unknown;
    std::vector<std::uint8_t> path;  // the presses of a shortest win
    std::uint64_t states = 0;        // distinct states stored (the start included)
    std::uint64_t expanded = 0;      // states whose five presses were tried
    std::uint64_t peakBytes = 0;     // memory the search held at its largest
    int stateBytes = 0;              // bytes of one encoded state
    std::string error;               // set when the board left the search's model
    int moves() const { return static_cast<int>(path.size()); }
};

constexpr std::uint64_t DefaultMaxStates = 30000000;

// Solves level `index` of `count` records, on a game of its own (never
// drawn), with the level in play as the replay's --start puts it: the tank
// first placed by level 0, then by level `index`. The window's game and
// every other game are left alone, so a solve may run on another thread
// while a game plays.
Result solveLevel(const std::uint8_t* records, int count, int index, std::uint64_t maxStates = DefaultMaxStates);
// The same search from where `opening` (presses played from the level's
// start) leaves the level: Unsolvable then means the opening has lost it for
// good. An opening that ends the level itself gives Unknown with an error.
Result solveAfter(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& opening,
                  std::uint64_t maxStates = DefaultMaxStates);

}  // namespace solver
