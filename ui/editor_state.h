// The level editor's state: the file's levels as edited, the undo steps,
// the cursor and text being typed, the verdict's search and test play. It
// lives in the ui state, so a fresh game is a fresh editor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/cell_kinds.h"
#include "game/game.h"
#include "game/level_text.h"
#include "ui/player_set.h"
#include "ui/search.h"

namespace editor {

// One level of the file: as edited, as read (to tell whether its recorded
// figures still hold), and its verdict once known.
struct Entry {
    leveltext::Level level;
    leveltext::Record loaded;
    leveltext::Record verdictFor;  // the board the verdict below is for
    int moves = -1;     // its shortest win; -1 unknown or none
};

// One step undone by U: the level as it was (or a level added).
struct Step {
    int index;
    leveltext::Level before;
    bool added;
};

enum class Field { None, Title, Idea };

struct State {
    bool active = false;
    bool copyMode = false;  // opened from the level list: leaving goes back there
    std::string file;
    std::vector<Entry> levels;
    int index = 0;
    std::vector<Step> undo;
    bool dragging = false;  // the last step is a click's, which drags extend
    bool unsaved = false;
    bool leaveAsked = false;
    int chosen = Ground;
    int cursorX = 0, cursorY = 0;
    Field field = Field::None;
    std::string text;
    std::string message;
    // The verdict on the current board.
    std::unique_ptr<guide::Search> search;
    bool exploring = false;
    std::string verdict, traps;
    int moves = -1;
    Game board;  // the current level, placed as play places it
    // Test play.
    bool testing = false;
    Game saved;
    PlayerSet savedSet;
    int presses = 0;
    bool won = false;
    std::string title;
    std::vector<std::uint8_t> picture;
};

}  // namespace editor
