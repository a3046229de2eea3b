// The undo history: the state before each press that changed something.
#include "ui/history.h"

#include <cstring>
#include <deque>
#include <vector>

#include "game/levels.h"
#include "game/play_state.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace history {

namespace {

// The window game's.
State& my() { return ui().history; }

void forget() {
    my().past.clear();
    my().dropped = 0;
}

// A level start (a new level, a restart) ends the history of the last one.
void followLevelStarts() {
    if (my().startSeen == game().levels.starts) return;
    forget();
    my().startSeen = game().levels.starts;
}

bool sameTank(const Tank& a, const Tank& b) {
    return a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.angle == b.angle;
}

}  // namespace

void beginPress(int key) {
    followLevelStarts();
    my().open.push_back(OpenPress{my().dropped + my().past.size(), game().levels.starts});
    my().past.push_back(Snapshot{game().play.board, game().play.tank, game().play.outcome, key});
}

void endPress() {
    const OpenPress press = my().open.back();
    my().open.pop_back();
    // A level started inside the press: its snapshot belongs to no history.
    if (press.start != game().levels.starts || press.number + 1 != my().dropped + my().past.size()) return;
    const Snapshot& before = my().past.back();
    if (std::memcmp(&before.board, &game().play.board, sizeof(Board)) == 0 && sameTank(before.tank, game().play.tank) &&
        before.outcome == game().play.outcome) {
        my().past.pop_back();
        return;
    }
    if (my().past.size() > MaxSteps) {
        my().past.pop_front();
        ++my().dropped;
    }
}

bool pressing() { return !my().open.empty(); }

bool undo() {
    followLevelStarts();
    if (pressing() || my().past.empty()) return false;
    const Snapshot& before = my().past.back();
    game().play.board = before.board;
    game().play.tank = before.tank;
    game().play.outcome = before.outcome;
    my().past.pop_back();
    return true;
}

int presses() {
    followLevelStarts();
    return static_cast<int>(my().dropped + my().past.size());
}

std::vector<int> pressKeys() {
    followLevelStarts();
    std::vector<int> keys;
    if (my().dropped > 0) return keys;  // the oldest are gone: no whole list to give
    for (const Snapshot& s : my().past) keys.push_back(s.key);
    return keys;
}

void clear() {
    forget();
    my().open.clear();
    my().startSeen = game().levels.starts;
}

}  // namespace history
