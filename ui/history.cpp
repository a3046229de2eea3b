// The undo history: the state before each press that changed something.
#include "ui/history.h"

#include <cstring>
#include <deque>
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
    int key;
};

struct OpenPress {
    std::size_t number;  // its snapshot's: dropped + its index in `past`
    long start;          // the level start it belongs to
};

// The snapshots of the last MaxSteps presses; `dropped` older ones are
// gone, still counted as presses.
std::deque<Snapshot> past;
std::size_t dropped = 0;
std::vector<OpenPress> open;
long startSeen = -1;

void forget() {
    past.clear();
    dropped = 0;
}

// A level start (a new level, a restart) ends the history of the last one.
void followLevelStarts() {
    if (startSeen == game().levels.starts) return;
    forget();
    startSeen = game().levels.starts;
}

bool sameTank(const Tank& a, const Tank& b) {
    return a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.angle == b.angle;
}

}  // namespace

void beginPress(int key) {
    followLevelStarts();
    open.push_back(OpenPress{dropped + past.size(), game().levels.starts});
    past.push_back(Snapshot{game().play.board, game().play.tank, game().play.outcome, key});
}

void endPress() {
    const OpenPress press = open.back();
    open.pop_back();
    // A level started inside the press: its snapshot belongs to no history.
    if (press.start != game().levels.starts || press.number + 1 != dropped + past.size()) return;
    const Snapshot& before = past.back();
    if (std::memcmp(&before.board, &game().play.board, sizeof(Board)) == 0 && sameTank(before.tank, game().play.tank) &&
        before.outcome == game().play.outcome) {
        past.pop_back();
        return;
    }
    if (past.size() > MaxSteps) {
        past.pop_front();
        ++dropped;
    }
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
    return static_cast<int>(dropped + past.size());
}

std::vector<int> pressKeys() {
    followLevelStarts();
    std::vector<int> keys;
    if (dropped > 0) return keys;  // the oldest are gone: no whole list to give
    for (const Snapshot& s : past) keys.push_back(s.key);
    return keys;
}

void clear() {
    forget();
    open.clear();
    startSeen = game().levels.starts;
}

}  // namespace history
