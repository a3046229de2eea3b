// The level file: 256-byte records of cell codes, 16 rows of 16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"

constexpr int LevelRecordBytes = 256;
// The largest level file the game and the tools read: 16 MiB, 65536 levels.
constexpr std::size_t MaxLevelFileBytes = std::size_t(16) << 20;

// What a level file holds. A level file is either level text (the format of
// data/levels/, docs/levels.md) or 256-byte records, told apart by its
// bytes: text has no control byte but tab, line feed and carriage return,
// while every record holds cell codes below 32 (its walls and ground).
struct LevelFileLevels {
    std::vector<std::uint8_t> records;  // count * LevelRecordBytes
    int count = 0;
    bool text = false;
    std::vector<std::string> titles;  // from level text, a title a level; else empty
};
bool isLevelText(const std::string& bytes);
// The levels of a level file's bytes (`name` for messages). Records: the
// whole ones, the bytes after them ignored; none is no error here (each
// reader says it its own way). Level text: false, with the first error
// ("NAME:LINE:COLUMN: error: ...") in `error`, when it does not parse or
// holds no level.
bool readLevelBytes(const std::string& bytes, const std::string& name, LevelFileLevels& levels, std::string& error);

// Reads the whole level file into `levels` (and, from level text, the
// titles into `titles` when given). False, with the reason in `error`, when
// it cannot be read, is no regular file (a folder, a device), is larger than
// MaxLevelFileBytes, holds no whole record or is level text with an error:
// the game cannot start without level 0. The levels loaded before stay.
bool loadLevels(Levels& levels, const std::string& path, std::string& error,
                std::vector<std::string>* titles = nullptr);

// The part of a link to the browser page after its '#' that plays these
// records there: "level=" and the bytes in base64url without padding
// (RFC 4648 section 5). The page reads it (data/web/index.html).
std::string levelLinkFragment(const std::uint8_t* records, int count);
// Replaces the loaded levels with `count` records from memory (tools, tests).
void setLevels(Levels& levels, const std::uint8_t* records, int count);
// Puts level `index` on the board, places the tank, clears the outcome and
// redraws the screen. The caller keeps index within 0..levels.count - 1.
void startLevel(Game& g, int index);
// The same board setup without the redraw (the solver's restart).
void placeLevel(Game& g, int index);
