// With drawing switched off the rules must play exactly the same game: on
// random boards and random presses, the final board, tank, outcome and
// screen agree with and without pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "start/startup.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "platform/headless.h"
#include "render/screen.h"
#include "tests/rules_harness.h"
#include "tests/support.h"
#include "start/headless_start.h"
#include "ui/input.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace {

struct Snapshot {
    Board board;
    std::int32_t tank[4];
    float angle;
    int outcome, screen, level;
    long frames, pauses;
    int losses, wins;  // during play: a loss may be restarted by a later Space
};

Snapshot playKeys(bool drawing, const testsupport::Record& level, const std::vector<int>& keys) {
    session::startGameFromRecords(level.data(), 1, drawing ? session::Drawing::On : session::Drawing::Off);
    session::enterLevel(0);
    Snapshot s;
    s.losses = s.wins = 0;
    for (int key : keys) {
        const int before = game().play.outcome;
        onKey(key);
        if (game().play.outcome != before) {
            s.losses += game().play.outcome == Lost;
            s.wins += game().play.outcome == Won;
        }
    }
    std::memcpy(&s.board, &game().play.board, sizeof game().play.board);
    s.tank[0] = game().play.tank.x;
    s.tank[1] = game().play.tank.y;
    s.tank[2] = game().play.tank.dx;
    s.tank[3] = game().play.tank.dy;
    s.angle = game().play.tank.angle;
    s.outcome = game().play.outcome;
    s.screen = game().play.screen;
    s.level = game().play.level;
    s.frames = headless::stats().animationFrames;
    s.pauses = headless::stats().pauses;
    display().drawing = true;
    return s;
}

std::string describe(const testsupport::Record& level, const std::vector<int>& keys) {
    std::string out = "level:";
    for (int i = 0; i < 256; ++i) out += (i % 16 ? " " : "\n") + std::to_string(level[i]);
    out += "\nkeys:";
    for (int k : keys) out += " " + std::to_string(k);
    return out;
}

}  // namespace

TEST(RulesEquivalence, DrawingOffPlaysTheSameGame) {
    // Pictures need packs; the boards themselves come from the generator.
    const std::string& dir = rulestest::dataDir();
    ASSERT_TRUE(startOrSay(dir, dir + "/data.lvl"));

    std::mt19937 rng(20240611);
    const int keyChoices[] = {KeyLeft, KeyRight, KeyUp, KeyDown, KeySpace};
    int lost = 0, won = 0, changed = 0;
    for (int round = 0; round < 300; ++round) {
        testsupport::Record level(256);
        for (auto& code : level) {
            // Mostly open ground, so the tank gets about; everything else
            // evenly, objects included.
            const int roll = static_cast<int>(rng() % 100);
            code = static_cast<std::uint8_t>(roll < 45 ? static_cast<unsigned>(Ground) : rng() % CellKindCount);
            if (code == TankStart) code = Ground;
        }
        level[rng() % 256] = TankStart;
        std::vector<int> keys(40);
        for (int& k : keys) k = keyChoices[rng() % 5];

        const Snapshot on = playKeys(true, level, keys);
        const Snapshot off = playKeys(false, level, keys);
        SCOPED_TRACE(describe(level, keys));
        EXPECT_EQ(std::memcmp(&on.board, &off.board, sizeof on.board), 0) << "round " << round;
        EXPECT_EQ(std::vector<int>(on.tank, on.tank + 4), std::vector<int>(off.tank, off.tank + 4));
        EXPECT_EQ(on.angle, off.angle);
        EXPECT_EQ(on.outcome, off.outcome);
        EXPECT_EQ(on.screen, off.screen);
        EXPECT_EQ(on.level, off.level);
        EXPECT_EQ(off.frames, 0);
        EXPECT_EQ(off.pauses, 0);
        if (::testing::Test::HasFailure()) break;

        lost += on.losses;
        won += on.wins;
        // A board that differs from its level (beyond the tank start) saw a
        // push, a shove, a wall hit or an explosion.
        for (int i = 0; i < 256; ++i) {
            const Cell& c = on.board.cells[i / 16][i % 16];
            const int code = c.object ? c.object : c.terrain;
            if (level[i] != TankStart && (code != level[i] || c.state != 0)) {
                ++changed;
                break;
            }
        }
    }
    // The random play must reach the interesting corners of the rules.
    EXPECT_GE(lost, 60);
    EXPECT_GE(won, 10);
    EXPECT_GE(changed, 100);
    RecordProperty("lost", lost);
    RecordProperty("won", won);
    RecordProperty("changed", changed);
}
