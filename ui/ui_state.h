// The ui layer's state: what the player set's conveniences, the saved
// progress, the undo history, the guide and the editor keep between calls, in one value
// beside the window's game. A fresh game is an assignment of a fresh value.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/play_state.h"
#include "platform/platform.h"
#include "ui/editor_state.h"
#include "ui/progress_state.h"
#include "ui/search.h"

namespace history {

struct Snapshot {
    Board board;
    Tank tank;
    Outcome outcome;
    int key;
};

struct OpenPress {
    std::size_t number;  // its snapshot's: dropped + its index in `past`
    long start;          // the level start it belongs to
};

// The snapshots of the last MaxSteps presses; `dropped` older ones are
// gone, still counted as presses.
struct State {
    std::deque<Snapshot> past;
    std::size_t dropped = 0;
    std::vector<OpenPress> open;
    long startSeen = -1;
};

}  // namespace history

namespace guide {

// A position: the board and the tank.
struct Spot {
    Board board;
    Tank tank;
};

enum class Purpose { None, Hint, Watch };

struct State {
    std::map<int, std::string> titles;

    long titleStart = -1;  // the level start whose title shows
    int titleMillis = 0;
    std::string note, noteTitle;
    int noteMillis = 0;
    bool noteBanner = false;

    std::unique_ptr<Search> search;
    Purpose purpose = Purpose::None;
    Spot searchFrom{};

    // A shortest win found, with the position before each of its presses,
    // so that following the hints needs no new search.
    std::vector<int> pathKeys;
    std::vector<Spot> pathSpots;
    int hintKey = 0;  // 0: none shown
    Spot hintSpot{};
    long helpedStart = -1;

    // Playback.
    bool playing = false;
    std::vector<int> watchKeys;
    std::size_t watchNext = 0;
    int watchWait = 0;
    bool watchEnding = false;
    PlayState watchReturn;
    PlayState watchStart;
    bool watchAfterSearch = false;
    int wins = 0;

    // The last win's presses and whether it was a new best.
    int winPresses = -1;
    bool winBest = false;
};

}  // namespace guide

// The conveniences' own: the shipped levels' fewest presses and titles, and
// what has been noted for the saved progress.
struct ConveniencesState {
    std::map<progress::Hash, int> pars;
    std::map<progress::Hash, std::string> titlesByHash;
    bool winNoted = false;
    long startsNoted = 0;  // level starts before this many are the start-up's
    std::string shownTitle = platform::WindowTitle;
    bool progressUsable = false;
};

struct UiState {
    ConveniencesState conveniences;
    progress::State progress;
    history::State history;
    guide::State guide;
    editor::State editor;
};

// What start-up (and a test) connects to the ui layer: kept across a fresh
// game, as the connections of the platform are.
struct UiConnections {
    void (*warningSink)(const std::string&) = nullptr;  // where warnings go (setWarningSink)
    guide::SearchStart startSearch = nullptr;   // the hints' solver
    progress::FileHooks progressFile;           // how a save writes
    // What E on the level list does (the player set's editor): opens level
    // `index` as a copy titled `title` (editor::openCopy, connected by
    // connectGame); false with a message.
    bool (*editCopy)(int index, const std::string& title, std::string& error) = nullptr;
};

// The ui state of the window's game, and its connections.
UiState& ui();
UiConnections& uiConnections();
