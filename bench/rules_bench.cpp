// Benchmark: key presses a second through the rules with drawing off.
// Turns, moves with their anti-tank looks, and shots, on a few typical
// boards.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/startup.h"
#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "render/screen.h"
#include "game/glyphs.h"
#include "tools/session/headless_start.h"
#include "ui/input.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace {

// Boards as rows of level text glyphs (game/glyphs.h); missing
// cells are ground.
std::vector<std::uint8_t> record(const std::vector<std::string>& rows) {
    leveltext::Record r;
    std::string error;
    if (!leveltext::recordFromRows(rows, Ground, r, error)) throw std::runtime_error(error);
    return std::vector<std::uint8_t>(r.begin(), r.end());
}

// An open room with anti-tanks along the walls, all looking away from the
// tank's round: every move runs four long looks.
const std::vector<std::string> roomBoard = {
    "################", "#..............#", "#.^..^....^..^.#", "#..............#", "#<............>#",
    "#...T..........#", "#..............#", "#<............>#", "#..............#", "#..............#",
    "#<............>#", "#..............#", "#..............#", "#.v..v....v..v.#", "#..............#",
    "################",
};

// Mirrors in the corners: a shot to the right goes round the whole board's
// edge (about seventy cells) before it stops; the other facings run
// straight to the edge.
const std::vector<std::string> mirrorBoard = {
    "r..............7", "", "", "", "", "", "", ".......T.......J", "", "", "", "", "", "", "",
    "L..............J",
};

// Blocks, bricks, water, glass and anti-tanks: pushes, shoves, wall hits and
// now and then a lost level, which is started again.
const std::vector<std::string> mixedBoard = {
    "################", "#....%...~~....#", "#.O..%...~~..v.#", "#....%.........#", "#..+.....O.....#",
    "#.......T......#", "#..O..-..|..O..#", "#.....O....q...#", "#..~~......<...#", "#..~~..%.......#",
    "#.....7....b...#", "#..>.......O...#", "#.....p........#", "#...O.....%%...#", "#..............#",
    "################",
};

void prepare(const std::vector<std::string>& rows) {
    static bool spritesBuilt = false;
    if (!spritesBuilt) {
        // The images are zeroed storage when no pack is read; with drawing
        // off nothing draws with them, but the sprite set must exist.
        buildSpriteSet();
        spritesBuilt = true;
    }
    const std::vector<std::uint8_t> level = record(rows);
    session::startGameFromRecords(level.data(), 1, session::Drawing::Off);
    session::enterLevel(0);
}

void playKeys(benchmark::State& state, const std::vector<std::string>& rows, const std::vector<int>& keys) {
    prepare(rows);
    std::int64_t steps = 0;
    std::int64_t restarts = 0;
    for (auto _ : state) {
        for (int key : keys) {
            onKey(key);
            if (game().play.outcome != InPlay || game().play.screen != Playing) {
                session::enterLevel(0);
                ++restarts;
            }
        }
        steps += static_cast<std::int64_t>(keys.size());
    }
    state.SetItemsProcessed(steps);
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
    state.counters["restarts"] = static_cast<double>(restarts);
    display().drawing = true;
}

std::vector<int> repeat(const std::vector<int>& pattern, int times) {
    std::vector<int> keys;
    for (int i = 0; i < times; ++i) keys.insert(keys.end(), pattern.begin(), pattern.end());
    return keys;
}

void BM_RoomRounds(benchmark::State& state) {
    // Round the room: each side a turn and then moves.
    std::vector<int> keys;
    for (int key : {KeyRight, KeyDown, KeyLeft, KeyUp})
        for (int i = 0; i < 6; ++i) keys.push_back(key);
    playKeys(state, roomBoard, keys);
}
BENCHMARK(BM_RoomRounds);

void BM_MirrorShots(benchmark::State& state) {
    // Shots in all four facings; each beam goes the long way round.
    playKeys(state, mirrorBoard, repeat({KeySpace, KeyRight, KeySpace, KeyDown, KeySpace, KeyLeft, KeySpace, KeyUp}, 4));
}
BENCHMARK(BM_MirrorShots);

void BM_MixedPlay(benchmark::State& state) {
    playKeys(state, mixedBoard,
             {KeySpace, KeyUp,    KeySpace, KeyUp,    KeyRight, KeySpace, KeyRight, KeyRight, KeySpace, KeyDown,
              KeyDown,  KeySpace, KeyDown,  KeyLeft,  KeySpace, KeyLeft,  KeyLeft,  KeyUp,    KeySpace, KeyUp,
              KeyRight, KeyRight, KeySpace, KeyDown,  KeySpace, KeyLeft,  KeySpace, KeyDown,  KeyDown,  KeySpace});
}
BENCHMARK(BM_MixedPlay);

}  // namespace

BENCHMARK_MAIN();
