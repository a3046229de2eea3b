// The optimal solver on small boards whose answers are known by hand.
#include <gtest/gtest.h>

#include <sstream>

#include "game/board.h"
#include "render/screen.h"
#include "tests/support.h"
#include "game/level_text.h"
#include "tools/session/mechanics.h"
#include "tools/session/solver.h"

namespace {

using testsupport::Record;

// A level from up to 16 rows of level glyphs, padded with solid wall.
Record level(const std::vector<std::string>& rows) {
    Record r;
    std::string error;
    EXPECT_TRUE(leveltext::recordFromRows(rows, SolidWall, r, error)) << error;
    return r;
}

solver::Result solve(const std::vector<Record>& records, int index = 0, std::uint64_t maxStates = 1000000) {
    const std::string bytes = leveltext::joinRecords(records);
    return solver::solveLevel(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                              static_cast<int>(records.size()), index, maxStates);
}

solver::Result solve(const Record& record, std::uint64_t maxStates = 1000000) {
    return solve(std::vector<Record>{record}, 0, maxStates);
}

std::string tokens(const solver::Result& r) { return solver::tokens(r.path); }

}  // namespace

TEST(Solver, StraightAheadNeedsNoTurn) {
    const auto r = solve(level({"#####", "#G###", "#.###", "#.###", "#T###"}));
    ASSERT_EQ(r.status, solver::Status::Solved);
    EXPECT_EQ(tokens(r), "Up Up Up");  // two moves, then the press at the goal
}

TEST(Solver, ATurnCostsAPress) {
    const auto r = solve(level({"#####", "#T.G#"}));
    ASSERT_EQ(r.status, solver::Status::Solved);
    EXPECT_EQ(tokens(r), "Right Right Right");
}

TEST(Solver, LeavesTheDrawingSwitchAsItFoundIt) {
    display().drawing = true;
    solve(level({"#####", "#T.G#"}));
    EXPECT_TRUE(display().drawing);
}

TEST(Solver, ClosedCellIsUnsolvableAfterItsFourFacings) {
    // The tank can only turn: four states, then nothing new.
    const auto r = solve(level({"#####", "#T#G#"}));
    EXPECT_EQ(r.status, solver::Status::Unsolvable);
    EXPECT_EQ(r.states, 4u);
}

TEST(Solver, SmallRoomCountsEveryPlaceAndFacing) {
    // Three floor cells, four facings each; the goal sits behind glass.
    const auto r = solve(level({"#####", "#T..+G"}));
    EXPECT_EQ(r.status, solver::Status::Unsolvable);
    EXPECT_EQ(r.states, 12u);
}

TEST(Solver, StateLimitGivesUnknown) {
    const auto r = solve(level({"################", "#T.............#", "#..............#", "#..............#",
                                "#.............G#"}),
                         10);
    EXPECT_EQ(r.status, solver::Status::Unknown);
    EXPECT_EQ(r.states, 10u);
}

TEST(Solver, PushesABlockIntoWaterToCross) {
    const auto r = solve(level({"#######", "#TO~G##"}));
    ASSERT_EQ(r.status, solver::Status::Solved);
    EXPECT_EQ(tokens(r), "Right Right Right Right");
}

TEST(Solver, AForbiddenMechanicIsNeverUsed) {
    const std::vector<Record> set{level({"#######", "#TO~G##"}), level({"#######", "#T%.G##", "#.##.##", "#....##"})};
    const std::string bytes = leveltext::joinRecords(set);
    const auto* records = reinterpret_cast<const std::uint8_t*>(bytes.data());
    solver::Limits limits;
    limits.forbid = mechanics::IntoWater;  // the only way over the water
    EXPECT_EQ(solver::solveLevel(records, 2, 0, limits).status, solver::Status::Unsolvable);
    limits.forbid = mechanics::Brick;  // through the wall in 6 presses, or the long way round
    const solver::Result round = solver::solveLevel(records, 2, 1, limits);
    ASSERT_EQ(round.status, solver::Status::Solved);
    EXPECT_EQ(tokens(round), "Down Down Down Right Right Right Right Up Up Up");
    EXPECT_EQ(solve(set, 1).moves(), 6);
    limits.maxPresses = 9;  // no win in 9 without a brick felled
    const solver::Result within = solver::solveLevel(records, 2, 1, limits);
    EXPECT_EQ(within.status, solver::Status::Unsolvable);
    EXPECT_TRUE(within.pressLimited);
}

TEST(Solver, ExplorationFindsDeadStatesAndTheFloorInPlay) {
    // The block pushed right is lost for good (the wall above it, the water
    // after it); pushed up it bridges to the goal. The floor at 5,1 plays
    // no part.
    const std::vector<Record> set{level({"#########", "##G##.###", "##~######", "#.O.~..##", "#T.######"})};
    const std::string bytes = leveltext::joinRecords(set);
    const auto* records = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const solver::Exploration e = solver::explore(records, 1, 0, 100000);
    EXPECT_FALSE(e.capped);
    EXPECT_TRUE(e.winnable);
    EXPECT_GT(e.dead, 0u);
    EXPECT_EQ(e.fewestToDead, 3);   // up, turn right, push
    EXPECT_EQ(e.firstWinnable, 4);  // every press but the shot, which changes nothing
    EXPECT_TRUE(e.tankCells[3 * 16 + 1]);
    EXPECT_TRUE(e.tankCells[2 * 16 + 2]);
    EXPECT_TRUE(e.tankCells[3 * 16 + 6]);  // over the block sunk in the wrong water
    EXPECT_FALSE(e.tankCells[1 * 16 + 5]);
    EXPECT_TRUE(e.touchedCells[2 * 16 + 2]);
    EXPECT_FALSE(e.touchedCells[1 * 16 + 5]);
    EXPECT_TRUE(solver::explore(records, 1, 0, 3).capped);
    const solver::Result r = solve(set[0]);
    EXPECT_EQ(tokens(r), "Right Right Up Up Up Up");
    const solver::Trace t = solver::trace(records, 1, 0, r.path);
    EXPECT_TRUE(t.won);
    EXPECT_EQ(t.walking, (std::vector<bool>{true, true, true, false, true, true}));
    EXPECT_EQ(t.used[3], mechanics::Push | mechanics::IntoWater);
    EXPECT_TRUE(t.cells[2 * 16 + 2] && t.cells[1 * 16 + 2] && !t.cells[3 * 16 + 1]);
}

TEST(Solver, ShootsABrickWallTwice) {
    const auto r = solve(level({"######", "#T%.G#"}));
    ASSERT_EQ(r.status, solver::Status::Solved);
    EXPECT_EQ(tokens(r), "Right Space Space Right Right Right");
}

TEST(Solver, NeverFiresIntoItsOwnReflection) {
    // Firing up sends the beam round the mirrors and back into the tank;
    // the wall to the right falls to two shots from the side instead.
    const auto r = solve(level({"#######", "#r.7###", "#.#.###", "#L.T%G#", "#######"}));
    ASSERT_EQ(r.status, solver::Status::Solved);
    EXPECT_EQ(tokens(r), "Right Space Space Right Right");
}

TEST(Solver, AnAntiTankInLineIsADeadEnd) {
    // Without the anti-tank the left column is the way: 7 presses. With it,
    // the first step down is fatal, and the way round (or a shot first)
    // costs one press more.
    const auto plain = solve(level({"#######", "#T.####", "#..####", "#..####", "#..G###"}));
    ASSERT_EQ(plain.status, solver::Status::Solved);
    EXPECT_EQ(tokens(plain), "Down Down Down Down Right Right Right");
    const auto guarded = solve(level({"#######", "#T.####", "#..####", "#..####", "#^.G###"}));
    ASSERT_EQ(guarded.status, solver::Status::Solved);
    EXPECT_EQ(guarded.moves(), 8);
    EXPECT_NE(tokens(guarded).rfind("Down Down", 0), 0u);
}

TEST(Solver, ALevelWithoutTankStartUsesLevelZerosPlacement) {
    const auto first = level({"#####", "#...#", "#.T.#", "#...#"});
    const auto second = level({"#####", "#...#", "#...#", "#.G.#"});
    const auto r = solve({first, second}, 1);
    ASSERT_EQ(r.status, solver::Status::Solved);
    EXPECT_EQ(tokens(r), "Down Down");
}

TEST(Solver, SolutionReplaysToAWinThroughTheTool) {
    const auto lvl = level({"#########", "#T..%..G#", "#.O~~~~.#", "#.......#"});
    const std::string dir = testsupport::makeDataDir("solver-replay", {lvl});
    std::string out;
    const std::string tool = BRIMVALE_TOOL;
    ASSERT_EQ(testsupport::runCommand(tool + " solve --data " + dir, &out), 0);
    ASSERT_EQ(out.rfind("level 0 solved ", 0), 0u) << out;
    std::istringstream line(out);
    std::string word, tokens;
    int moves = 0;
    line >> word >> word >> word >> moves;
    std::getline(line, tokens);
    std::string report;
    ASSERT_EQ(testsupport::runCommand(tool + " replay --data " + dir + " --start 0 " + tokens, &report), 0);
    EXPECT_NE(report.find("outcome Won"), std::string::npos) << report;
    // One press fewer does not win.
    const std::string shorter = tokens.substr(0, tokens.rfind(' '));
    ASSERT_EQ(testsupport::runCommand(tool + " replay --data " + dir + " --start 0 " + shorter, &report), 0);
    EXPECT_NE(report.find("outcome InPlay"), std::string::npos);
}

TEST(Solver, ToolReportsUnsolvableAndUnknownLines) {
    const auto closed = level({"#####", "#T#G#"});
    const auto open = level({"#########", "#T......#", "#......G#"});
    const std::string dir = testsupport::makeDataDir("solver-lines", {closed, open});
    std::string out;
    const std::string tool = BRIMVALE_TOOL;
    ASSERT_EQ(testsupport::runCommand(tool + " solve --data " + dir + " --level 0", &out), 0);
    EXPECT_EQ(out, "level 0 unsolvable 4\n");
    out.clear();
    ASSERT_EQ(testsupport::runCommand(tool + " solve --levels " + dir + "/data.lvl --max-states 5", &out), 0);
    EXPECT_EQ(out, "level 0 unsolvable 4\nlevel 1 unknown 5\n");
    EXPECT_EQ(testsupport::runCommand(tool + " solve --data " + dir + " --level 2 2>/dev/null"), 2);
}
