// The game's start-up, shared by the real game and the headless tools.
#pragma once

#include <string>

// How startGame ended.
enum class Started {
    Yes,
    NoPacks,   // a pack is missing or unreadable: the game cannot draw anything
    NoLevels,  // the level file is unusable
};

// Loads both image packs from `dataDir` (empty: the working directory),
// builds the sprite set, loads `levelFile` and starts level 0, whose drawing
// composes the screen buffer before any window exists. Without the packs or
// the levels, says which in the result and why in `error` (the game ends
// abnormally without its packs: startOrSay, app/command_line.h).
Started startGame(const std::string& dataDir, const std::string& levelFile, std::string& error);

// Opens the sound for the player set: the effects from `dataDir`/sound
// (empty: the working directory's sound folder) and the audio output, muted
// if playerSet().muted says so. Does nothing unless playerSet().sound is on.
// False, with one line in `warning`, when sound is on but cannot play: the
// game then goes on silent.
bool startSound(const std::string& dataDir, std::string& warning);

// Connects the screens to the rules (the mid-move redraw), to the platform
// (input handlers) and to the editor that E on the level list opens
// (uiConnections().editCopy). startGame and resetGameState do it first.
void connectGame();

// Back to the state of a fresh process: title screen, no levels, level 0 not
// started, tank at (0, 0) facing nowhere, screen buffer black, drawing on
// (tests and tools).
void resetGameState();
