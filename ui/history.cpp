// The undo history: the state before each press that changed something.
#include "ui/history.h"

#include <cstring>
#include <vector>

#include "game/levels.h"
#include "game/play_state.h"

namespace history {

namespace {

struct Snapshot {
    Board board;
    Tank tank;
    Outcome outcome;
    int key;
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
    if (startSeen == levelStarts) return;
    past.clear();
    startSeen = levelStarts;
}

bool sameTank(const Tank& a, const Tank& b) {
    return a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.angle == b.angle;
}

}  // namespace

void beginPress(int key) {
    followLevelStarts();
    open.push_back(OpenPress{past.size(), levelStarts});
    past.push_back(Snapshot{play.board, play.tank, play.outcome, key});
}

void endPress() {
    const OpenPress press = open.back();
    open.pop_back();
    // A level started inside the press: its snapshot belongs to no history.
    if (press.start != levelStarts || press.index + 1 != past.size()) return;
    const Snapshot& before = past.back();
    if (std::memcmp(&before.board, &play.board, sizeof(Board)) == 0 && sameTank(before.tank, play.tank) &&
        before.outcome == play.outcome)
        past.pop_back();
}

bool pressing() { return !open.empty(); }

bool undo() {
    followLevelStarts();
    if (pressing() || past.empty()) return false;
    const Snapshot& before = past.back();
    play.board = before.board;
    play.tank = before.tank;
    play.outcome = before.outcome;
    past.pop_back();
    return true;
}

int presses() {
    followLevelStarts();
    return static_cast<int>(past.size());
}

std::vector<int> pressKeys() {
    followLevelStarts();
    std::vector<int> keys;
    for (const Snapshot& s : past) keys.push_back(s.key);
    return keys;
}

void clear() {
    past.clear();
    open.clear();
    startSeen = levelStarts;
}

}  // namespace history
