// The game's command line: what the options ask for, read by the one option reader.
#pragma once

#include <string>

#include "ui/player_set.h"

struct GameOptions {
    std::string dataDir;    // the packs' folder; empty: the working directory
    std::string levelFile;  // empty: data.lvl in the data folder
    long long level = 0;    // 1-based, as the level list shows it; 0: the title screen
    int scale = 1;          // window enlargement; 0: fit the monitor
    PlayerSet set;          // all off unless an option turns one on
    bool syncedSwaps = false;  // the player set: each frame waits for the display's refresh
    std::string recordFile;    // where --record writes the session's input; empty: nowhere
    std::string editFile;      // --edit: the level text file the editor opens; empty: play
};

// Reads the arguments after the program name, in order, later options
// overriding earlier ones. -1 to go on; else the exit status: 0 after
// --help or --version (printed on stdout), 2 after one line on stderr.
int readCommandLine(int argc, char** argv, GameOptions& options);

// The level file the options name: --levels, else data.lvl in the data folder.
std::string levelFileOf(const GameOptions& options);

// Where saved progress lives: $XDG_DATA_HOME/brimvale/progress.txt, or
// ~/.local/share/brimvale/progress.txt; empty when neither is known.
std::string defaultProgressFile();
