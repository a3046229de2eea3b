// Rule scenarios on small boards drawn as text, played through the replay.
//
// A board is up to 16 rows of up to 16 glyphs; whatever a row or the board
// leaves out is solid wall, so a small board is a closed room.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "game/board.h"
#include "tests/support.h"
#include "game/glyphs.h"

namespace rulestest {

using Rows = std::vector<std::string>;

// Boards are drawn in the level text glyphs (game/glyphs.h).
// 'z' stands for code 26, unused by the game, which level text writes only as an escape.
constexpr char unusedCodeGlyph = 'z';
constexpr int unusedCode = 26;

// The code of a glyph, or -1.
inline int codeOf(char glyph) {
    return glyph == unusedCodeGlyph ? unusedCode : leveltext::codeForGlyph(glyph);
}

// The glyph of a code, or '?'.
inline char glyphOf(int code) {
    if (code == unusedCode) return unusedCodeGlyph;
    const char glyph = code >= 0 && code < 256 ? leveltext::glyphFor(static_cast<std::uint8_t>(code)) : 0;
    return glyph ? glyph : '?';
}

inline testsupport::Record record(const Rows& rows) {
    testsupport::Record r = testsupport::filledRecord(SolidWall);
    for (std::size_t y = 0; y < rows.size() && y < 16; ++y)
        for (std::size_t x = 0; x < rows[y].size() && x < 16; ++x) {
            const int code = codeOf(rows[y][x]);
            if (code < 0) ADD_FAILURE() << "unknown glyph '" << rows[y][x] << "'";
            r[y * 16 + x] = static_cast<std::uint8_t>(code < 0 ? SolidWall : code);
        }
    return r;
}

struct Report {
    std::string screen, outcome;
    int index = -1;
    int tankX = -1, tankY = -1, tankDX = 0, tankDY = 0;
    double tankAngle = 0;
    long redraws = -1, frames = -1, pauses = -1;
    int terrain[16][16] = {};
    int objects[16][16] = {};
    int states[16][16] = {};

    // The top-left w x h of the board as glyphs: the object if any, else the
    // terrain.
    Rows board(int w, int h) const {
        Rows rows;
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x) row += glyphOf(objects[y][x] ? objects[y][x] : terrain[y][x]);
            rows.push_back(row);
        }
        return rows;
    }
    // The cells whose state byte is not 0, as "x,y=state" in reading order.
    std::string marks() const {
        std::string out;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (states[y][x]) out += (out.empty() ? "" : " ") + std::to_string(x) + "," + std::to_string(y) + "=" +
                                         std::to_string(states[y][x]);
        return out;
    }
    std::string tank() const {
        char text[64];
        std::snprintf(text, sizeof text, "%d %d %d %d %g", tankX, tankY, tankDX, tankDY, tankAngle);
        return text;
    }
};

inline Report parseReport(const std::string& text) {
    Report r;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word == "screen") in >> r.screen;
        else if (word == "outcome") in >> r.outcome;
        else if (word == "index") in >> r.index;
        else if (word == "tank") in >> r.tankX >> r.tankY >> r.tankDX >> r.tankDY >> r.tankAngle;
        else if (word == "redraws") in >> r.redraws;
        else if (word == "frames") in >> r.frames;
        else if (word == "pauses") in >> r.pauses;
        else if (word == "terrain" || word == "objects" || word == "states") {
            int(*grid)[16] = word == "terrain" ? r.terrain : word == "objects" ? r.objects : r.states;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) in >> grid[y][x];
        }
    }
    return r;
}

// One folder of synthetic packs for the whole run (gone when the test
// program ends); each play rewrites only its level file.
inline const std::string& dataDir() {
    static const std::string dir = testsupport::makeDataDir("rules", {testsupport::filledRecord(Ground)});
    return dir;
}

// Plays `events` (replay tokens) on the board, started as level 0 at once.
// A second board, if given, is level 1.
inline Report play(const Rows& rows, const std::string& events, const Rows& next = Rows()) {
    std::vector<testsupport::Record> records{record(rows)};
    if (!next.empty()) records.push_back(record(next));
    testsupport::writeLevelFile(dataDir() + "/data.lvl", records);
    return parseReport(testsupport::replayInProcess(dataDir(), 0, events));
}

// What the start of a level and the replay's closing redraw cost: the
// start-up's early redraw, the level's redraw, the switch to Playing, and
// the last main-loop redraw.
constexpr long BaseRedraws = 4;

// The animation costs, in presented frames and pauses.
constexpr long QuarterTurn = 11;
constexpr long HalfTurn = 23;
constexpr long Move = 11;
constexpr long Stop = 21;          // pauses where a beam stops
constexpr long Slide = 21;         // frames and pauses of a shove
constexpr long Damage = 6;         // frames and pauses of a brick wall hit
constexpr long Explosion = 14;     // frames and pauses
constexpr long Destruction = 21 + Explosion;  // pauses: the linger, then the explosion

}  // namespace rulestest
