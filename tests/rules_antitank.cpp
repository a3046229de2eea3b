// Objects shoved by the beam, anti-tank fire and the destruction sequences.
#include <gtest/gtest.h>

#include "game/board.h"
#include "tests/rules_harness.h"

using namespace rulestest;

TEST(RulesShove, RefusedShovesStopTheBeam) {
    const struct {
        const char* why;
        Rows board;
        long segments;
    } cases[] = {
        {"edge", {"O", ".", "T"}, 1},
        {"goal", {"G", "O", ".", "T"}, 1},
        {"object", {"O", "O", ".", "T"}, 1},
        {"anti-tank", {">", "O", ".", "T"}, 1},
        {"brick wall", {"%", "O", ".", "T"}, 1},
        {"glass", {"+", "O", ".", "T"}, 1},
        {"empty cell", {"_", "O", ".", "T"}, 1},
        // led round by mirrors, the block would land on the tank
        {"tank", {"r.7", "...", "...", "TOJ"}, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const Report r = play(c.board, "Space");
        EXPECT_EQ(r.frames, c.segments);
        EXPECT_EQ(r.pauses, Stop);
        Rows expected = c.board;
        for (std::string& row : expected)
            for (char& g : row)
                if (g == 'T') g = '.';
        EXPECT_EQ(r.board(static_cast<int>(c.board[0].size()), static_cast<int>(c.board.size())), expected);
        EXPECT_EQ(r.outcome, "InPlay");
    }
}

TEST(RulesShove, ObjectsSlideOntoOpenTerrainAndSinkInWater) {
    const struct {
        Rows board;
        Rows after;  // the column above the tank
        int terrainAbove;
    } cases[] = {
        {{".", "O", ".", "T"}, {"O", ".", "."}, Ground},
        {{"s", "O", ".", "T"}, {"O", ".", "."}, SunkBlock},
        {{":", "O", ".", "T"}, {"O", ".", "."}, Rubble},
        {{"x", "O", ".", "T"}, {"O", ".", "."}, Scorch},
        {{"~", "O", ".", "T"}, {"s", ".", "."}, SunkBlock},  // the block fills the water
        {{"~", "<", ".", "T"}, {"~", ".", "."}, Water},      // an anti-tank drowns
        {{"~", "q", ".", "T"}, {"~", ".", "."}, Water},      // so does a mirror
        {{".", ">", ".", "T"}, {">", ".", "."}, Ground},     // shoved sideways, it keeps its facing
        {{".", "^", ".", "T"}, {"^", ".", "."}, Ground},     // and from behind
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.board[0] + c.board[1]);
        const Report r = play(c.board, "Space");
        EXPECT_EQ(r.frames, 1 + Slide);
        EXPECT_EQ(r.pauses, Slide) << "a successful shove does not linger";
        EXPECT_EQ(r.board(1, 3), c.after);
        EXPECT_EQ(r.terrain[0][0], c.terrainAbove);
        EXPECT_EQ(r.marks(), "");
        EXPECT_EQ(r.outcome, "InPlay");
        EXPECT_EQ(r.redraws, BaseRedraws + 1);
    }
}

TEST(RulesAntiTank, HitOnItsFrontItExplodes) {
    const Report r = play({"v", ".", "T"}, "Space");
    EXPECT_EQ(r.board(1, 2), (Rows{"x", "."})) << "on ground it leaves scorch";
    EXPECT_EQ(r.objects[0][0], 0);
    EXPECT_EQ(r.frames, 1 + Explosion);
    EXPECT_EQ(r.pauses, Destruction);
    EXPECT_EQ(r.redraws, BaseRedraws + 1 + 1);
    EXPECT_EQ(r.outcome, "InPlay");
    EXPECT_EQ(r.screen, "Playing");
    EXPECT_EQ(r.marks(), "");
}

TEST(RulesAntiTank, ExplodingOnOtherTerrainLeavesIt) {
    // Shoved off to the right onto the terrain under test, the anti-tank is
    // then hit on its front by a beam led round two mirrors.
    for (const char terrain : {'.', ':', 's', 'x'}) {
        SCOPED_TRACE(std::string(1, terrain));
        const Rows board = {"###", std::string("Tv") + terrain, "...", "L.J"};
        const Report r = play(board, "Right Space Down Space");
        EXPECT_EQ(r.objects[1][2], 0);
        EXPECT_EQ(r.board(3, 4), (Rows{"###", std::string("..") + (terrain == '.' ? 'x' : terrain), "...", "L.J"}));
        EXPECT_EQ(r.frames, QuarterTurn + Slide + QuarterTurn + 5 + Explosion);
        EXPECT_EQ(r.pauses, QuarterTurn + Slide + QuarterTurn + Destruction);
        EXPECT_EQ(r.outcome, "InPlay");
    }
}

TEST(RulesAntiTank, FiresWhenAMoveBringsTheTankIntoItsLine) {
    const Report r = play({"######", "#.~G.<", "#T"}, "Up");
    EXPECT_EQ(r.outcome, "Lost");
    EXPECT_EQ(r.screen, "Result");
    EXPECT_EQ(r.tank(), "1 1 0 -1 270");
    EXPECT_EQ(r.board(6, 2), (Rows{"######", "#x~G.<"}));
    EXPECT_EQ(r.frames, Move + 3 + Explosion);  // its beam over water, goal and ground
    EXPECT_EQ(r.pauses, Move + Destruction);
    EXPECT_EQ(r.redraws, BaseRedraws + 1 + 1);
    EXPECT_EQ(r.marks(), "");
}

TEST(RulesAntiTank, WhatBlocksItsSight) {
    for (const char between : {'+', '-', '|', 'O', 'b', 'r', '%', '>'}) {
        SCOPED_TRACE(std::string(1, between));
        const Report r = play({"######", std::string("#.~") + between + ".<", "#T"}, "Up");
        EXPECT_EQ(r.outcome, "InPlay");
        EXPECT_EQ(r.frames, Move);
        EXPECT_EQ(r.pauses, Move);
    }
    // A turn never makes it fire, even with the tank in its line.
    const Report onlyTurns = play({"#T.<"}, "Right Left Down");
    EXPECT_EQ(onlyTurns.outcome, "InPlay");
    EXPECT_EQ(onlyTurns.frames, QuarterTurn + HalfTurn + QuarterTurn);
}

TEST(RulesAntiTank, TheFourLooksGoRightDownLeftUp) {
    // Right (two cells away) and below (one cell) both face the tank: the
    // right one fires, its beam two segments long.
    const Report rightFirst = play({"#####", "#...<", "#T###", "#^###"}, "Up");
    EXPECT_EQ(rightFirst.outcome, "Lost");
    EXPECT_EQ(rightFirst.frames, Move + 2 + Explosion);

    // Left (two segments) before up (one segment).
    const Report leftFirst = play({"###v", "###.", ">...", "###T"}, "Up");
    EXPECT_EQ(leftFirst.outcome, "Lost");
    EXPECT_EQ(leftFirst.frames, Move + 2 + Explosion);
    EXPECT_EQ(leftFirst.tank(), "3 2 0 -1 270");
}

TEST(RulesAntiTank, ANearerAntiTankHidesAFartherOne) {
    const Report r = play({"#######", "#..>.<", "#T"}, "Up");
    EXPECT_EQ(r.outcome, "InPlay");
    EXPECT_EQ(r.frames, Move);
    EXPECT_EQ(r.pauses, Move);
}

TEST(RulesAntiTank, ItSeesThroughAnEmptyCellButItsShotStopsThere) {
    const Report r = play({"#####", "#._<", "#T"}, "Up");
    EXPECT_EQ(r.outcome, "InPlay");
    EXPECT_EQ(r.screen, "Playing");
    EXPECT_EQ(r.tank(), "1 1 0 -1 270");
    EXPECT_EQ(r.frames, Move);
    EXPECT_EQ(r.pauses, Move + Stop);
    EXPECT_EQ(r.board(4, 2), (Rows{"####", "#._<"}));
}

TEST(RulesAntiTank, APushedAntiTankFacingTheTankFiresAtOnce) {
    // Pushed up one cell, it faces down at the tank right behind it: its
    // first cell is the tank's, so it draws no segment.
    const Report r = play({".", "v", "T"}, "Up");
    EXPECT_EQ(r.outcome, "Lost");
    EXPECT_EQ(r.tank(), "0 1 0 -1 270");
    EXPECT_EQ(r.board(1, 3), (Rows{"v", "x", "."}));
    EXPECT_EQ(r.frames, Move + Explosion);
    EXPECT_EQ(r.pauses, Move + Destruction);
}

TEST(RulesAntiTank, AShoveThatChangesTheBoardIsFollowedByTheLooks) {
    // The beam goes round two mirrors and shoves an anti-tank down into the
    // tank's row, where it faces the tank.
    const Report shovedIn = play({"###", "r.7", "..<", "T.."}, "Space");
    EXPECT_EQ(shovedIn.outcome, "Lost");
    EXPECT_EQ(shovedIn.board(3, 4), (Rows{"###", "r.7", "...", "x.<"}));
    EXPECT_EQ(shovedIn.frames, 4 + Slide + 1 + Explosion);
    EXPECT_EQ(shovedIn.pauses, Slide + Destruction);

    // The beam shoves a block out of the line between the tank and an
    // anti-tank that faces it.
    const Report opened = play({"####", "r.7#", ".#.#", "T.O<", "##.#"}, "Space");
    EXPECT_EQ(opened.outcome, "Lost");
    EXPECT_EQ(opened.board(4, 5), (Rows{"####", "r.7#", ".#.#", "x..<", "##O#"}));
    EXPECT_EQ(opened.frames, 5 + Slide + 2 + Explosion);
    EXPECT_EQ(opened.pauses, Slide + Destruction);
}

TEST(RulesAntiTank, DestroyingOneRunsNoLooksUntilTheNextMove) {
    // The front anti-tank explodes; the one behind it now faces the tank
    // across the scorch, but holds its fire until the tank moves.
    const Rows board = {"####", "T<.<"};
    const Report shot = play(board, "Right Space");
    EXPECT_EQ(shot.outcome, "InPlay");
    EXPECT_EQ(shot.board(4, 2), (Rows{"####", ".x.<"}));
    EXPECT_EQ(shot.frames, QuarterTurn + Explosion);
    EXPECT_EQ(shot.pauses, QuarterTurn + Destruction);

    const Report moved = play(board, "Right Space Right");
    EXPECT_EQ(moved.outcome, "Lost");
    EXPECT_EQ(moved.tank(), "1 1 1 0 0");
    EXPECT_EQ(moved.frames, QuarterTurn + Explosion + Move + 1 + Explosion);
    EXPECT_EQ(moved.pauses, QuarterTurn + Destruction + Move + Destruction);
}
