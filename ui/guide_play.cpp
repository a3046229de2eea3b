// The guide at play: the keys it takes before the screens do, hints and
// solutions searched a slice at a time, and wins played back on the
// window's game, stepped by the main loop's tick.
#include "ui/guide_play.h"

#include <chrono>
#include <string>
#include <vector>

#include "game/levels.h"
#include "game/play_state.h"
#include "game/rules.h"
#include "platform/input.h"
#include "ui/guide.h"
#include "ui/player_set.h"
#include "ui/progress.h"
#include "ui/screens.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace guide {

namespace {

// Milliseconds of the main loop's clock, as the guide's others (ui/guide.cpp).
constexpr int WatchGapMillis = 250;   // between two presses played back
constexpr int WatchEndMillis = 1500;  // the win shown before going back
// A search slice: states expanded between looks at the clock, and the time
// a frame may give it.
constexpr std::uint64_t SliceStates = 64;
constexpr auto SliceTime = std::chrono::microseconds(3000);

// The window game's.
State& my() { return ui().guide; }

int keyOfLetter(char c) {
    switch (c) {
        case 'L': return KeyLeft;
        case 'R': return KeyRight;
        case 'U': return KeyUp;
        case 'D': return KeyDown;
        default: return KeySpace;
    }
}

// A copy of the window's game that is never drawn and asks for no redraw:
// what the guide looks ahead on, so the window's game is never touched.
Game aside() {
    Game g = game();
    g.display = nullptr;
    g.redraw = nullptr;
    return g;
}

// A press of a playback, shown: played on the window's game as the playing
// screen plays it, with the conveniences off (no history, no progress
// noted) and the player's input left waiting.
void playShown(int key) {
    const PlayerSet saved = playerSet();
    playerSet() = PlayerSet{};
    playerSet().sound = saved.sound;
    playerSet().muted = saved.muted;
    platform::holdDelivery(true);
    playKey(game(), key);
    platform::holdDelivery(false);
    playerSet() = saved;
}

// The positions along `keys` from `from`, played on a game of the guide's own.
std::vector<Spot> spotsAlong(const Spot& from, const std::vector<int>& keys) {
    Game g = aside();
    g.play.board = from.board;
    g.play.tank = from.tank;
    std::vector<Spot> spots;
    for (int key : keys) {
        spots.push_back(spotOf(g));
        playKey(g, key);
    }
    return spots;
}

void showHint(int key) {
    my().hintKey = key;
    my().hintSpot = spotOf(game());
    my().helpedStart = game().levels.starts;
    my().note.clear();
    my().noteTitle.clear();
    my().noteMillis = 0;
}

// A hint from a path already found, when the position is on it.
bool hintFromPath() {
    const Spot now = spotOf(game());
    for (std::size_t i = 0; i < my().pathSpots.size(); ++i)
        if (same(my().pathSpots[i], now)) {
            showHint(my().pathKeys[i]);
            return true;
        }
    return false;
}

void startHint() {
    if (hintFromPath() || my().search || !uiConnections().startSearch) return;
    my().searchFrom = spotOf(game());
    SearchRequest request{HintStates};
    request.from = &game();
    my().search = uiConnections().startSearch(request);
    my().purpose = Purpose::Hint;
    note("", "hint: searching", false);
}

void beginPlayback(const std::vector<int>& keys) {
    my().watchReturn = game().play;
    my().watchKeys = keys;
    my().watchNext = 0;
    my().watchWait = WatchGapMillis;
    my().watchEnding = false;
    my().playing = true;
    game().play = my().watchStart;
}

// The level's start, on a game of the guide's own; playbacks begin there.
Game levelStartAside() {
    Game g = aside();
    placeLevel(g, g.play.level);
    g.play.screen = Playing;
    return g;
}

// S on the result screen: a shortest win from the level's start.
void startSolution() {
    if (my().search || !uiConnections().startSearch) return;
    const Game start = levelStartAside();
    my().watchStart = start.play;
    SearchRequest request{HintStates};
    request.from = &start;
    my().search = uiConnections().startSearch(request);
    my().purpose = Purpose::Watch;
    note("", "solution: searching", false);
}

// V on the level list: the player's own best win of the highlighted level.
void startOwnBest() {
    const std::string moves = progress::bestMoves(game().play.level);
    if (moves.empty()) {
        note("No win of this level kept yet", "no win kept", false);
        return;
    }
    my().watchStart = levelStartAside().play;
    std::vector<int> keys;
    for (char c : moves) keys.push_back(keyOfLetter(c));
    beginPlayback(keys);
}

void searchEnded() {
    const Search::Answer answer = my().search->answer();
    const std::vector<int> keys = my().search->keys();
    my().search.reset();
    const Purpose was = my().purpose;
    my().purpose = Purpose::None;
    if (was == Purpose::Watch) {
        if (answer == Search::Found) {
            beginPlayback(keys);
            note("", "solution: " + std::to_string(keys.size()) + " presses", false);
        } else {
            note(answer == Search::NoWin ? "No way to win this level" : "The search gave up", "solution: none", false);
        }
        return;
    }
    if (answer == Search::Found) {
        // The path is followed from the position it was found for.
        my().pathKeys = keys;
        my().pathSpots = spotsAlong(my().searchFrom, keys);
        if (!hintFromPath()) note("", "", false);
    } else if (answer == Search::NoWin) {
        note("No way to win from here:\nU takes a press back, R restarts", "hint: no way to win from here", true);
    } else {
        note("The hint search gave up:\ntoo many positions to try", "hint: gave up", true);
    }
}

// One slice of the running search; true when it ended.
bool advanceSearch(bool whole) {
    if (!my().search) return false;
    const auto until = std::chrono::steady_clock::now() + SliceTime;
    while (true) {
        if (my().search->advance(SliceStates)) {
            searchEnded();
            return true;
        }
        if (!whole && std::chrono::steady_clock::now() >= until) return false;
    }
}

// One step of a playback: the next press, or the way back after the win.
void stepPlayback(bool now, int passed = 0) {
    if (!my().playing) return;
    if (!now && my().watchWait > 0) {
        my().watchWait -= passed;
        return;
    }
    if (my().watchEnding) {
        my().playing = false;
        game().play = my().watchReturn;
        drawScreen();
        return;
    }
    if (my().watchNext < my().watchKeys.size() && game().play.outcome == InPlay) {
        playShown(my().watchKeys[my().watchNext++]);
        my().watchWait = WatchGapMillis;
        return;
    }
    if (game().play.outcome == Won) ++my().wins;
    my().watchEnding = true;
    my().watchWait = WatchEndMillis;
}

}  // namespace

bool takeKey(int key) {
    if (my().playing) {
        // Any key ends a playback, back where it began.
        my().playing = false;
        game().play = my().watchReturn;
        drawScreen();
        return true;
    }
    switch (game().play.screen) {
        case Playing:
            if (titleShowing() || (my().noteBanner && my().noteMillis > 0)) {
                // The first press hides the title (or a banner note), and
                // plays on: the screen is drawn without it first, so that the
                // press's animation is not drawn over it, the input behind
                // left waiting.
                my().titleMillis = 0;
                if (my().noteBanner) my().noteMillis = 0;
                platform::holdDelivery(true);
                drawScreen();
                platform::holdDelivery(false);
            }
            if (key == KeyH && game().play.outcome == InPlay) {
                startHint();
                return true;
            }
            if (key == KeyR) {
                startLevel(game(), game().play.level);
                return true;
            }
            return false;
        case Result:
            if (key == KeyH && game().play.outcome == Lost) {
                note("No way to win from here:\nU takes a press back, R restarts", "hint: no way to win from here", true);
                drawScreen();
                return true;
            }
            if (key == KeyS && game().play.outcome != Won) {
                startSolution();
                return true;
            }
            return false;
        case LevelSelect:
            if (key == KeyV) {
                startOwnBest();
                return true;
            }
            return false;
        default: return false;
    }
}

void tick() {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last = Clock::now();
    const Clock::time_point now = Clock::now();
    const int passed = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count());
    last = now;
    followStarts();
    if (game().play.screen == Playing) my().titleMillis -= passed;
    my().noteMillis -= passed;
    advanceSearch(false);
    stepPlayback(false, passed);
}

void settle() {
    while (my().search) advanceSearch(true);
    while (my().playing) stepPlayback(true);
}

bool watching() { return my().playing; }

int watchedWins() { return my().wins; }

}  // namespace guide
