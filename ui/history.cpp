// The undo history: the state before each press that changed something.
#include "ui/history.h"

#include <cstring>
#include <vector>

#include "game/levels.h"
#include "game/play_state.h"
#include "ui/window_game.h"

namespace history {

namespace {

struct Snapshot {
    Board board;
    Tank tank;
    Outcome outcome;
};

struct OpenPress {
    std::size_t index;  // its snapshot in `past`
    long start;         // the level start it belongs to
};

std::vector<Snapshot> past;
std::vector<OpenPress> open;
long startSeen = -1;

// A level start (a new level, a restart) ends the history of the last one.
void followLevelStarts() {
    if (startSeen == game().levels.starts) return;
    past.clear();
    startSeen = game().levels.starts;
}

bool sameTank(const Tank& a, const Tank& b) {
    return a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.angle == b.angle;
}

}  // namespace

void beginPress() {
    followLevelStarts();
    open.push_back(OpenPress{past.size(), game().levels.starts});
    past.push_back(Snapshot{game().play.board, game().play.tank, game().play.outcome});
}

void endPress() {
    const OpenPress press = open.back();
    open.pop_back();
    // A level started inside the press: its snapshot belongs to no history.
    if (press.start != game().levels.starts || press.index + 1 != past.size()) return;
    const Snapshot& before = past.back();
    if (std::memcmp(&before.board, &game().play.board, sizeof(Board)) == 0 && sameTank(before.tank, game().play.tank) &&
        before.outcome == game().play.outcome)
        past.pop_back();
}

bool pressing() { return !open.empty(); }

bool undo() {
    followLevelStarts();
    if (pressing() || past.empty()) return false;
    const Snapshot& before = past.back();
    game().play.board = before.board;
    game().play.tank = before.tank;
    game().play.outcome = before.outcome;
    past.pop_back();
    return true;
}

int presses() {
    followLevelStarts();
    return static_cast<int>(past.size());
}

void clear() {
    past.clear();
    open.clear();
    startSeen = game().levels.starts;
}

}  // namespace history
