// The level editor: a file of level text edited in the window, the board
// drawn with the game's own pictures where play shows it, a palette and a
// status panel beside and below it, the solver's verdict on the board as it
// changes (searched a slice at a time, never waited for), and test play with
// every rule. `brimvale --edit FILE` opens it; in the player set E on the
// level list opens the highlighted level as a copy in the player's own file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/level_text.h"

namespace editor {

// The window's picture while editing: the 384x384 board at its top left,
// the palette to its right, the status below it.
constexpr int PictureWidth = 800;
constexpr int PictureHeight = 552;
// The most states one verdict may search, and the exploration for the traps.
constexpr std::uint64_t VerdictStates = 10000000;
constexpr std::uint64_t TrapStates = 2000000;

// Opens FILE (level text) at level `index` (clamped), writing it with one
// new level first when it does not exist. False with a message when it
// cannot be read, does not parse or cannot be created. Then the editor
// takes the input and the window's picture. Without `traps` the verdict
// stops at the fewest presses, the traps never explored (the replay's
// --no-traps).
bool open(const std::string& file, int index, std::string& error, bool traps = true);
// Opens the player's own level file (ownLevelFile) with a copy of level
// `index` of the window's game added at its end, titled `title`; back to
// the level list when the editor is left.
bool openCopy(int index, const std::string& title, std::string& error);
// $XDG_DATA_HOME/brimvale/levels/mine.txt, or ~/.local/share/...; "" when
// neither is known.
std::string ownLevelFile();
bool active();

// One main-loop step: a slice of the search (a few milliseconds), the
// picture drawn and presented, input polled.
void frame();
// Runs the searches in progress to their end (the headless replay).
void settle();
// The window's close button: true when the editor may be left (nothing
// unsaved, or asked once already); else it asks.
bool mayClose();

// Input, as the platform delivers it while editing.
void onKey(int key);
void onChar(int codePoint);
void onClick(int x, int y);
void onDrag(int x, int y);

// What the editor shows, for the replay's report and the tests.
struct View {
    std::string file;
    int level = 0, levels = 0;  // level index and count
    leveltext::Level current;   // the level being edited
    std::string verdict;        // "wins in 21 presses", "searching... 1200 states", "no tank start"...
    int moves = -1;             // the presses of a shortest win, once known
    std::string traps;          // the loss figures, once known
    std::string message;        // the last thing said (saved, asked...)
    bool unsaved = false;
    bool testing = false;
    int testPresses = 0;
    bool testWon = false;
    int chosen = 0;  // the cell code painted
    int cursorX = 0, cursorY = 0;
    std::string title;  // the window's title
    std::vector<std::string> status;  // the status panel's rows as last drawn
    int cut = 0;  // texts of the last picture drawn shortened to fit ("..."); 0 when all are whole
};
View view();
// The whole picture as last drawn, 3-byte pixels (blue, green, red), rows
// top to bottom, PictureWidth x PictureHeight.
const std::vector<std::uint8_t>& picture();

// The palette's place of cell code `code` (for clicks).
int paletteX(int code);
int paletteY(int code);

// Back to no editor (tests).
void reset();

}  // namespace editor
