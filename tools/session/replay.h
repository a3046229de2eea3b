// The headless replay: the game's own start-up and handlers driven by
// scripted keys and clicks.
#pragma once

#include <string>
#include <vector>

#include "platform/headless.h"

struct ReplayOptions {
    std::string dataDir;
    std::string levelFile;  // empty: data.lvl in dataDir
    int start = -1;         // a level to start and play at once
    std::string pngFile;
};

// Parses event tokens: key names (case-insensitive) or click:X,Y; tokens
// joined by '+' form one group. False with a message in `error`.
bool parseEvents(const std::vector<std::string>& args, std::vector<std::vector<headless::Event>>& groups,
                 std::string& error);

struct ReplayResult {
    bool quit = false;
    int quitStatus = 0;
};

// Delivers each group through one main-loop redraw, then redraws once more.
ReplayResult playGroups(const std::vector<std::vector<headless::Event>>& groups);

// The report of the game state, as the replay prints it.
std::string replayReport(bool quit);

// Writes the screen buffer as an 8-bit RGB PNG.
bool writeScreenPng(const std::string& path);
