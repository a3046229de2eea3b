// The one contact of the hints and the editor with the solver: a
// shortest-win search, a slice at a time. The solver lives above the ui
// layer and hands its start down at start-up (guide::connectSearch).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct Game;

namespace guide {

// A shortest-win search from a game's state, advanced a slice at a time.
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

}  // namespace guide
