// Solving a level of a level file from its start, or after an opening: the
// game started afresh from the records, then the stepped search run whole.
#include "game/levels.h"
#include "game/play_state.h"
#include "render/screen.h"
#include "tools/session/headless_start.h"
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

}  // namespace solver
