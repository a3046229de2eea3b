// The headless replay: the game driven by scripted keys and clicks.
// The game's own start-up and handlers, and what the replay reports.
#pragma once

#include <string>
#include <vector>

#include "platform/headless.h"
#include "ui/player_set.h"

namespace session {

using EventGroup = std::vector<headless::Event>;

// Parses event tokens: key names (case-insensitive) or click:X,Y; tokens
// joined by '+' form one group. False with a message in `error`.
bool parseEvents(const std::vector<std::string>& args, std::vector<EventGroup>& groups, std::string& error);


struct ReplaySetup {
    std::string dataDir;
    std::string levelFile;
    int start = -1;  // a level to put in play at once, as a click on its cell does
    PlayerSet set;   // the conveniences to play with (all off: the classic game)
    bool sounds = false;  // sound on (the counting sound), from the start-up on
    bool traps = true;    // the editor explores the traps once a win is known
};

// The events of a file the game's --record wrote: one or more tokens a line,
// '#' lines skipped but for "# options ...", whose --undo --counter --guide
// --sound --mute and --level N go into `setup` (--level N as start N - 1
// unless a start is given already). False with a message.
bool readEventFile(const std::string& path, std::vector<std::string>& tokens, ReplaySetup& setup, std::string& error);

struct ReplayResult {
    bool quit = false;  // the game asked to quit: the rest was not played
    int quitStatus = 0;
};

// The player set as the installed launcher has it, less saving and the
// window's scale: what `replay --player` plays with.
PlayerSet launcherSet();
// `set` turned into launcherSet(), keeping whether and where it saves.
void useLauncherSet(PlayerSet& set);

// The whole replay: the game started from the setup's files, level `start`
// put in play when given, then each group delivered through one main-loop
// redraw, then one redraw more. False with a message in `error` when a file
// cannot be read or the level index is out of range (nothing was played).
bool playReplay(const ReplaySetup& setup, const std::vector<EventGroup>& groups, ReplayResult& result,
                std::string& error);

// Delivers each group through one main-loop redraw, then redraws once more.
ReplayResult playGroups(const std::vector<EventGroup>& groups);

// The editor on level text `file` (ui/editor.h), opened at level `start`
// when given, driven by the groups as the game is: each through one
// main-loop step of the editor, its verdict searched to the end before the
// next. False with a message when the file cannot be opened.
bool playEditorReplay(const ReplaySetup& setup, const std::string& file, const std::vector<EventGroup>& groups,
                      ReplayResult& result, std::string& error);
// What the editor shows: its file, level, title, idea, verdict, traps,
// whether it has unsaved changes, test play, the last message, the window
// title, and the board as 16 rows of level text.
std::string editorReport(bool quit);
// The editor's whole picture as an 8-bit RGB PNG.
bool writeEditorPng(const std::string& path, std::string& error);

// The report of the game state, as the replay prints it; with the counter
// on, last, the window's title.
std::string replayReport(bool quit);

// The effects played, in order, as the replay's extra report line:
// "sounds NAME ..." ("sounds" alone when none played).
std::string soundReport();

// Writes the screen buffer as an 8-bit RGB PNG; false with a message.
bool writeScreenPng(const std::string& path, std::string& error);

}  // namespace session
