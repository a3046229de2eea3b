// Solving a level of a level file from its start, or after an opening: the
// game started afresh from the records, then the stepped search run whole.
#include <cstring>

#include "game/levels.h"
#include "game/play_state.h"
#include "render/screen.h"
#include "tools/session/headless_start.h"
#include "tools/session/mechanics.h"
#include "tools/session/solver.h"
#include "ui/input.h"

namespace solver {

namespace {

struct DrawingOff {
    bool saved = drawingEnabled;
    DrawingOff() { drawingEnabled = false; }
    ~DrawingOff() { drawingEnabled = saved; }
};

Result runWhole(std::uint64_t maxStates) {
    Stepper stepper(maxStates);
    stepper.advance(~std::uint64_t(0));
    return stepper.result();
}

}  // namespace

Result solveLevel(const std::uint8_t* records, int count, int index, std::uint64_t maxStates) {
    DrawingOff drawingOff;
    // As the replay starts a level: level 0 first, then the chosen one, so a
    // level without a tank start finds the tank where level 0 put it.
    session::startGameFromRecords(records, count, session::Drawing::Off);
    session::enterLevel(index);
    return runWhole(maxStates);
}

Result solveAfter(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& opening,
                  std::uint64_t maxStates) {
    DrawingOff drawingOff;
    session::startGameFromRecords(records, count, session::Drawing::Off);
    session::enterLevel(index);
    const PlayState start = play;
    for (std::uint8_t p : opening) {
        onKey(pressKey(p));
        if (play.outcome == InPlay) continue;
        Result ended;
        ended.error = std::string("the opening ends the level (") + (play.outcome == Won ? "won" : "lost") + ")";
        play = start;
        return ended;
    }
    Result r = runWhole(maxStates);
    play = start;
    return r;
}

Result solveLevel(const std::uint8_t* records, int count, int index, const Limits& limits) {
    DrawingOff drawingOff;
    session::startGameFromRecords(records, count, session::Drawing::Off);
    session::enterLevel(index);
    return searchInPlay(limits);
}

Exploration explore(const std::uint8_t* records, int count, int index, std::uint64_t maxStates) {
    DrawingOff drawingOff;
    session::startGameFromRecords(records, count, session::Drawing::Off);
    session::enterLevel(index);
    return exploreInPlay(maxStates);
}

Trace trace(const std::uint8_t* records, int count, int index, const std::vector<std::uint8_t>& path) {
    DrawingOff drawingOff;
    session::startGameFromRecords(records, count, session::Drawing::Off);
    session::enterLevel(index);
    const PlayState start = play;
    Trace t;
    t.cells[start.tank.y * 16 + start.tank.x] = true;
    for (std::uint8_t p : path) {
        if (play.outcome != InPlay) break;
        const PlayState before = play;
        if (p == PressSpace) {
            const mechanics::Walk walk = mechanics::walkBeam(before.board, before.tank);
            for (int c = 0; c < 256; ++c) t.cells[c] |= walk.cells[c];
        }
        onKey(pressKey(p));
        const bool same = std::memcmp(&before.board, &play.board, sizeof play.board) == 0;
        t.walking.push_back(p != PressSpace && same);
        t.used.push_back(play.outcome == InPlay ? mechanics::classify(start.board, before.board, before.tank, p,
                                                                      play.board, play.tank)
                                                : 0);
        if (play.outcome == Won) {
            t.won = true;
            t.cells[(play.tank.y + play.tank.dy) * 16 + play.tank.x + play.tank.dx] = true;
        }
        if (play.outcome != InPlay) break;
        t.cells[play.tank.y * 16 + play.tank.x] = true;
        for (int c = 0; c < 256; ++c) {
            const Cell& a = play.board.cells[c / 16][c % 16];
            const Cell& b = before.board.cells[c / 16][c % 16];
            if (a.terrain != b.terrain || a.object != b.object) t.cells[c] = true;
        }
    }
    play = start;
    return t;
}

}  // namespace solver
