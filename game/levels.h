// The level file: 256-byte records of cell codes, 16 rows of 16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/game.h"

constexpr int LevelRecordBytes = 256;
// The largest level file the game and the tools read: 16 MiB, 65536 levels.
constexpr std::size_t MaxLevelFileBytes = std::size_t(16) << 20;

// Reads the whole level file into `levels`. False, with the reason in
// `error`, when it cannot be read, is no regular file (a folder, a device),
// is larger than MaxLevelFileBytes or holds no whole record: the game cannot
// start without level 0. The levels loaded before stay.
bool loadLevels(Levels& levels, const std::string& path, std::string& error);
// Replaces the loaded levels with `count` records from memory (tools, tests).
void setLevels(Levels& levels, const std::uint8_t* records, int count);
// Puts level `index` on the board, places the tank, clears the outcome and
// redraws the screen. The caller keeps index within 0..levels.count - 1.
void startLevel(Game& g, int index);
// The same board setup without the redraw (the solver's restart).
void placeLevel(Game& g, int index);
