// Solving a level of a level file from its start, or after an opening, and
// exploring and tracing it: each on a game of its own built from the records
// (never drawn), so the window's game is left alone.
#include <cstring>

#include "game/game.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "solver/mechanics.h"
#include "solver/solver.h"

namespace solver {

Result solveLevel(const std::uint8_t* records, int count, int index, std::uint64_t maxStates) {
    Limits limits;
    limits.maxStates = maxStates;
    return solveLevel(records, count, index, limits);
}

Result solveAfter(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& opening,
                  std::uint64_t maxStates) {
    Game g = startOwnGame(records, count, index);
    for (std::uint8_t p : opening) {
        playPress(g, p);
        if (g.play.outcome == InPlay) continue;
        Result ended;
        ended.error = std::string("the opening ends the level (") + (g.play.outcome == Won ? "won" : "lost") + ")";
        return ended;
    }
    Limits limits;
    limits.maxStates = maxStates;
    return searchGame(g, limits);
}

Result solveLevel(const std::uint8_t* records, int count, int index, const Limits& limits) {
    Game g = startOwnGame(records, count, index);
    return searchGame(g, limits);
}

Exploration explore(const std::uint8_t* records, int count, int index, std::uint64_t maxStates) {
    Game g = startOwnGame(records, count, index);
    return exploreGame(g, maxStates);
}

Trace trace(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& path) {
    Game g = startOwnGame(records, count, index);
    const PlayState start = g.play;
    Trace t;
    t.cells[start.tank.y * 16 + start.tank.x] = true;
    for (std::uint8_t p : path) {
        if (g.play.outcome != InPlay) break;
        const PlayState before = g.play;
        if (p == PressSpace) {
            const mechanics::Walk walk = mechanics::walkBeam(before.board, before.tank);
            for (int c = 0; c < 256; ++c) t.cells[c] |= walk.cells[c];
        }
        playPress(g, p);
        const bool same = std::memcmp(&before.board, &g.play.board, sizeof g.play.board) == 0;
        t.walking.push_back(p != PressSpace && same);
        t.used.push_back(g.play.outcome == InPlay
                             ? mechanics::classify(start.board, before.board, before.tank, p, g.play.board, g.play.tank)
                             : 0);
        if (g.play.outcome == Won) {
            t.won = true;
            t.cells[(g.play.tank.y + g.play.tank.dy) * 16 + g.play.tank.x + g.play.tank.dx] = true;
        }
        if (g.play.outcome != InPlay) break;
        t.cells[g.play.tank.y * 16 + g.play.tank.x] = true;
        for (int c = 0; c < 256; ++c) {
            const Cell& a = g.play.board.cells[c / 16][c % 16];
            const Cell& b = before.board.cells[c / 16][c % 16];
            if (a.terrain != b.terrain || a.object != b.object) t.cells[c] = true;
        }
    }
    return t;
}

}  // namespace solver
