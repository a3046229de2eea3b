// Games as values: two games played side by side, and the solver on a thread
// of its own while the window's game plays, end exactly as each alone; the
// ui state is a value too.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "game/board.h"
#include "game/game.h"
#include "game/levels.h"
#include "game/rules.h"
#include "platform/input.h"
#include "tests/support.h"
#include "tools/levels/level_text.h"
#include "tools/session/headless_start.h"
#include "tools/session/solver.h"
#include "ui/history.h"
#include "ui/input.h"
#include "ui/player_set.h"
#include "ui/ui_state.h"
#include "ui/window_game.h"

namespace {

using testsupport::Record;

Record level(const std::vector<std::string>& rows) {
    Record r;
    std::string error;
    EXPECT_TRUE(leveltext::recordFromRows(rows, SolidWall, r, error)) << error;
    return r;
}

// Blocks to push into water, a brick wall to shoot down, mirrors, and an
// anti-tank that guards a row.
const std::vector<Record> Levels2 = {
    level({"##########", "#T..O.~..#", "#.%%.#~#.#", "#..b..~.v#", "#.O...~..#", "#....%#.G#"}),
    level({"#########", "#T.r.%.G#", "#.O.~...#", "#..d..<.#", "#.O..~..#"}),
};

// A game never drawn, level `index` in play.
Game playing(int index) {
    Game g;
    const std::string bytes = leveltext::joinRecords(Levels2);
    setLevels(g.levels, reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(Levels2.size()));
    startLevel(g, index);
    g.play.screen = Playing;
    return g;
}

// One press of "LRUDF" played as the key handler plays it in play.
void press(Game& g, char key) {
    if (g.play.outcome != InPlay) return;
    switch (key) {
        case 'L': turnOrMoveTank(g, -1, 0, 180); break;
        case 'R': turnOrMoveTank(g, 1, 0, 0); break;
        case 'U': turnOrMoveTank(g, 0, -1, 270); break;
        case 'D': turnOrMoveTank(g, 0, 1, 90); break;
        default: fireLaser(g, g.play.tank.x, g.play.tank.y, g.play.tank.dx, g.play.tank.dy, playerBeamColour);
    }
}

bool samePlay(const PlayState& a, const PlayState& b) {
    return std::memcmp(&a.board, &b.board, sizeof a.board) == 0 && a.tank.x == b.tank.x && a.tank.y == b.tank.y &&
           a.tank.dx == b.tank.dx && a.tank.dy == b.tank.dy && a.tank.angle == b.tank.angle &&
           a.outcome == b.outcome && a.screen == b.screen && a.level == b.level;
}

const std::string ScriptA = "RRRRFDDFLLDDRRRFUUFRRRRDD";
const std::string ScriptB = "DDFRRRFUURRFDDDLFRRRRUUFR";

TEST(GameState, TwoGamesSideBySideEndAsEachAlone) {
    Game a = playing(0), b = playing(1);
    for (std::size_t i = 0; i < ScriptA.size(); ++i) {
        press(a, ScriptA[i]);
        press(b, ScriptB[i]);
    }
    Game aloneA = playing(0);
    for (char k : ScriptA) press(aloneA, k);
    Game aloneB = playing(1);
    for (char k : ScriptB) press(aloneB, k);
    EXPECT_TRUE(samePlay(a.play, aloneA.play));
    EXPECT_TRUE(samePlay(b.play, aloneB.play));
    // The scripts did change the boards, and the two games differ.
    EXPECT_FALSE(samePlay(a.play, playing(0).play));
    EXPECT_FALSE(samePlay(a.play, b.play));
    // A reset is an assignment.
    a = playing(0);
    EXPECT_TRUE(samePlay(a.play, playing(0).play));
}

solver::Result solve(int index) {
    const std::string bytes = leveltext::joinRecords(Levels2);
    return solver::solveLevel(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(Levels2.size()),
                              index, 300000);
}

void playKeys(const std::string& script) {
    for (char k : script)
        onKey(k == 'L' ? KeyLeft : k == 'R' ? KeyRight : k == 'U' ? KeyUp : k == 'D' ? KeyDown : KeySpace);
}

// The window's game, drawn, played through the key handler.
PlayState playWindowGame() {
    testsupport::setUpGame(Levels2);
    session::enterLevel(0);
    playKeys(ScriptA);
    return game().play;
}

TEST(GameState, SolverOnAThreadWhileTheWindowsGamePlays) {
    const solver::Result alone[2] = {solve(0), solve(1)};
    const PlayState windowAlone = playWindowGame();
    solver::Result together[2];
    std::thread background([&] {
        together[0] = solve(0);
        together[1] = solve(1);
    });
    const PlayState windowTogether = playWindowGame();
    background.join();
    EXPECT_TRUE(samePlay(windowAlone, windowTogether));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(together[i].status, alone[i].status) << i;
        EXPECT_EQ(together[i].path, alone[i].path) << i;
        EXPECT_EQ(together[i].states, alone[i].states) << i;
        EXPECT_GT(alone[i].states, 20u) << i;
    }
}

// Two windows' worth of game and ui state, swapped in and out of the one
// window: each undoes its own presses back to its level's start, and a fresh
// ui state knows no press.
TEST(GameState, TwoUiStatesEachUndoTheirOwnPresses) {
    testsupport::setUpGame(Levels2);
    playerSet().undo = true;
    session::enterLevel(0);
    playKeys(ScriptA.substr(0, 12));
    const int pressesA = history::presses();
    Game gameA = game();
    UiState uiA = std::move(ui());
    ui() = UiState{};
    EXPECT_EQ(history::presses(), 0);
    session::enterLevel(1);
    playKeys(ScriptB.substr(0, 12));
    const int pressesB = history::presses();
    EXPECT_GT(pressesA, 3);
    EXPECT_GT(pressesB, 3);
    std::swap(game(), gameA);
    std::swap(ui(), uiA);
    for (int level : {0, 1}) {
        EXPECT_EQ(history::presses(), level == 0 ? pressesA : pressesB);
        while (history::undo()) {
        }
        EXPECT_EQ(history::presses(), 0);
        const PlayState start = playing(level).play;
        EXPECT_EQ(std::memcmp(&game().play.board, &start.board, sizeof start.board), 0) << level;
        EXPECT_TRUE(game().play.tank.x == start.tank.x && game().play.tank.y == start.tank.y) << level;
        std::swap(game(), gameA);
        std::swap(ui(), uiA);
    }
}

}  // namespace
