// What saved progress keeps in memory (in the ui state, ui/ui_state.h) and
// how its saves write; what it does is ui/progress.h.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace progress {

// A level's key (progress::levelHash).
using Hash = std::uint64_t;

// What a progress file holds.
struct Record {
    std::map<Hash, int> wins;                 // level key -> fewest presses
    std::map<Hash, int> helpedWins;           // level key -> fewest presses of a win after a hint
    std::map<Hash, std::string> winMoves;     // level key -> the presses of its best win (letters LRUDF)
    std::map<std::string, Hash> lastByFile;   // level file -> its last level played
    bool muted = false;
};

// The progress remembered, and what this game changed since it read the
// file: a save keeps the file's own last levels and mute state for the rest.
struct State {
    Record current;
    std::string levelFileKey;
    std::set<std::string> lastNoted;
    bool mutedNoted = false;
};

// How a save writes; only tests and the fuzz target change it, through
// uiConnections() (ui/ui_state.h).
struct FileHooks {
    // Called between writing the temporary file and renaming it.
    void (*beforeRename)() = nullptr;
    // Whether a save waits for the disk (fsync of the file and its folder);
    // the fuzz target turns it off, for speed.
    bool syncToDisk = true;
};

}  // namespace progress
