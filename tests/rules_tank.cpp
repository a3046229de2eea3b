// The tank: turns, moves, pushes and the goal, played through the replay.
#include <gtest/gtest.h>

#include "game/board.h"
#include "tests/rules_harness.h"

using namespace rulestest;

namespace {

// A 3x3 room, the tank in the middle facing up.
const Rows room = {"...", ".T.", "..."};

struct TurnCase {
    const char* keys;
    const char* tank;  // x y dx dy angle
    long frames;
};

}  // namespace

TEST(RulesTurn, QuarterAndHalfTurnsFromEveryFacing) {
    const TurnCase cases[] = {
        // from up (270)
        {"Right", "1 1 1 0 0", QuarterTurn},
        {"Left", "1 1 -1 0 180", QuarterTurn},
        {"Down", "1 1 0 1 90", HalfTurn},
        // from right (0)
        {"Right Up", "1 1 0 -1 270", 2 * QuarterTurn},
        {"Right Down", "1 1 0 1 90", 2 * QuarterTurn},
        {"Right Left", "1 1 -1 0 180", QuarterTurn + HalfTurn},
        // from down (90)
        {"Right Down Left", "1 1 -1 0 180", 3 * QuarterTurn},
        {"Right Down Right", "1 1 1 0 0", 3 * QuarterTurn},
        {"Down Up", "1 1 0 -1 270", 2 * HalfTurn},
        // from left (180)
        {"Left Up", "1 1 0 -1 270", 2 * QuarterTurn},
        {"Left Down", "1 1 0 1 90", 2 * QuarterTurn},
        {"Left Right", "1 1 1 0 0", QuarterTurn + HalfTurn},
    };
    for (const TurnCase& c : cases) {
        SCOPED_TRACE(c.keys);
        const Report r = play(room, c.keys);
        EXPECT_EQ(r.tank(), c.tank);
        EXPECT_EQ(r.frames, c.frames);
        EXPECT_EQ(r.pauses, c.frames);
        EXPECT_EQ(r.board(3, 3), (Rows{"...", "...", "..."})) << "a turn moves nothing";
    }
}

TEST(RulesTurn, PressingTheFacingAfterATurnMoves) {
    const Report r = play(room, "Right Right");
    EXPECT_EQ(r.tank(), "2 1 1 0 0");
    EXPECT_EQ(r.frames, QuarterTurn + Move);
    EXPECT_EQ(r.pauses, QuarterTurn + Move);
}

TEST(RulesTurn, BeforeAnyTankStartEveryDirectionIsAQuarterTurn) {
    // No tank start: the tank stands at (0, 0) facing nowhere, angle 0.
    const Rows board = {"...", "...", "..."};
    const TurnCase cases[] = {
        {"Right", "0 0 1 0 0", QuarterTurn},
        {"Left", "0 0 -1 0 180", QuarterTurn},
        {"Up", "0 0 0 -1 270", QuarterTurn},
        {"Down", "0 0 0 1 90", QuarterTurn},
        {"Down Down", "0 1 0 1 90", QuarterTurn + Move},
        {"Space", "0 0 0 0 0", 0},  // facing nowhere, the gun stays silent
    };
    for (const TurnCase& c : cases) {
        SCOPED_TRACE(c.keys);
        const Report r = play(board, c.keys);
        EXPECT_EQ(r.tank(), c.tank);
        EXPECT_EQ(r.frames, c.frames);
        EXPECT_EQ(r.pauses, c.frames);
    }
}

TEST(RulesMove, DrivesOntoOpenTerrain) {
    for (const char* target : {".", "s", ":", "x", "z"}) {
        SCOPED_TRACE(target);
        const Report r = play({target, "T"}, "Up");
        EXPECT_EQ(r.tank(), "0 0 0 -1 270");
        EXPECT_EQ(r.frames, Move);
        EXPECT_EQ(r.pauses, Move);
        EXPECT_EQ(r.board(1, 2), (Rows{target, "."})) << "the ground is left as it was";
        EXPECT_EQ(r.outcome, "InPlay");
    }
}

TEST(RulesMove, RefusedByBlockingCodesAndTheEdge) {
    for (const char* target : {"_", "~", "%", "#", "r", "7", "J", "L", "+", "-", "|"}) {
        SCOPED_TRACE(target);
        const Report r = play({target, "T"}, "Up");
        EXPECT_EQ(r.tank(), "0 1 0 -1 270");
        EXPECT_EQ(r.frames, 0);
        EXPECT_EQ(r.pauses, 0);
        EXPECT_EQ(r.board(1, 2), (Rows{target, "."}));
    }
    // On the top row, facing up: nothing at all.
    const Report edge = play({"T"}, "Up Up");
    EXPECT_EQ(edge.tank(), "0 0 0 -1 270");
    EXPECT_EQ(edge.frames, 0);
    EXPECT_EQ(edge.redraws, BaseRedraws + 2);
}

TEST(RulesMove, ARoundOfMovesAndTurnsAddsUp) {
    const Rows board = {"....", "....", "T..."};
    const Report r = play(board, "Up Up Right Right Right Right Down Down Down Left");
    // Up twice, a turn, right three times (the fourth press meets the wall
    // and draws nothing), a turn, down twice, a turn.
    EXPECT_EQ(r.tank(), "3 2 -1 0 180");
    EXPECT_EQ(r.frames, 7 * Move + 3 * QuarterTurn);
    EXPECT_EQ(r.pauses, 7 * Move + 3 * QuarterTurn);
    EXPECT_EQ(r.redraws, BaseRedraws + 10);
}

TEST(RulesPush, ObjectsGoOntoOpenGroundAndWaterSwallowsThem) {
    struct Case {
        const char* beyond;
        const char* object;
        Rows after;  // column x 0, rows 0..2
        int terrainBeyond;
    };
    const Case cases[] = {
        {".", "O", {"O", "T", "."}, Ground},
        {"s", "O", {"O", "T", "."}, SunkBlock},
        {":", ">", {">", "T", "."}, Rubble},
        {"x", "<", {"<", "T", "."}, Scorch},
        {".", "^", {"^", "T", "."}, Ground},
        {".", "q", {"q", "T", "."}, Ground},
        {".", "p", {"p", "T", "."}, Ground},
        {"~", "O", {"s", "T", "."}, SunkBlock},  // a block fills the water
        {"~", ">", {"~", "T", "."}, Water},      // anything else vanishes
        {"~", "p", {"~", "T", "."}, Water},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object) + " onto " + c.beyond);
        const Report r = play({c.beyond, c.object, "T"}, "Up");
        EXPECT_EQ(r.tank(), "0 1 0 -1 270");
        EXPECT_EQ(r.frames, Move);
        EXPECT_EQ(r.pauses, Move);
        Rows after = c.after;
        after[1] = ".";  // the tank is not on the board
        EXPECT_EQ(r.board(1, 3), after);
        EXPECT_EQ(r.terrain[0][0], c.terrainBeyond);
        EXPECT_EQ(r.outcome, "InPlay");
    }
}

TEST(RulesPush, RefusedAtGoalObjectWallAndEdge) {
    for (const char* beyond : {"G", "O", ">", "#", "%", "+", "_", "7"}) {
        SCOPED_TRACE(beyond);
        const Report r = play({beyond, "O", "T"}, "Up");
        EXPECT_EQ(r.tank(), "0 2 0 -1 270");
        EXPECT_EQ(r.frames, 0);
        EXPECT_EQ(r.board(1, 3), (Rows{beyond, "O", "."}));
    }
    const Report edge = play({"O", "T"}, "Up");
    EXPECT_EQ(edge.tank(), "0 1 0 -1 270");
    EXPECT_EQ(edge.frames, 0);
    EXPECT_EQ(edge.board(1, 2), (Rows{"O", "."}));
}

TEST(RulesPush, MirrorsGiveWayOnlyFromTheirBacks) {
    // The mirror in the middle of a plus-shaped room; the tank comes at it
    // from each side.
    struct Approach {
        const char* name;
        Rows board;  // with M for the mirror
        const char* keys;
        long turnFrames;
        int beyondX, beyondY;
    };
    const Approach approaches[] = {
        {"right", {"#####", "#####", "#TM.#", "#####"}, "Right Right", QuarterTurn, 3, 2},
        {"left", {"#####", "#####", "#.MT#", "#####"}, "Left Left", QuarterTurn, 1, 2},
        {"up", {"##.##", "##M##", "##T##"}, "Up", 0, 2, 0},
        {"down", {"##T##", "##M##", "##.##"}, "Down Down", HalfTurn, 2, 2},
    };
    // Which codes each direction pushes: 16 right/down, 17 left/down,
    // 18 left/up, 19 right/up.
    const struct {
        char glyph;
        bool right, left, up, down;
    } mirrors[] = {
        {'b', true, false, false, true},
        {'d', false, true, false, true},
        {'q', false, true, true, false},
        {'p', true, false, true, false},
    };
    for (const auto& m : mirrors) {
        const bool pushed[] = {m.right, m.left, m.up, m.down};
        for (int a = 0; a < 4; ++a) {
            const Approach& ap = approaches[a];
            SCOPED_TRACE(std::string(1, m.glyph) + " from the " + ap.name);
            Rows board = ap.board;
            for (std::string& row : board)
                for (char& c : row)
                    if (c == 'M') c = m.glyph;
            const Report r = play(board, ap.keys);
            EXPECT_EQ(r.frames, ap.turnFrames + (pushed[a] ? Move : 0));
            EXPECT_EQ(r.objects[ap.beyondY][ap.beyondX], pushed[a] ? codeOf(m.glyph) : 0);
        }
    }
}

TEST(RulesPush, FullCellBeyondIsTestedBeforeTheMirrorSide) {
    // Pushed from its back, but a wall lies beyond: nothing moves.
    const Report r = play({"#", "q", "T"}, "Up");
    EXPECT_EQ(r.frames, 0);
    EXPECT_EQ(r.tank(), "0 2 0 -1 270");
}

TEST(RulesGoal, DrivingAtTheGoalWinsAtOnce) {
    const Report r = play({"G", "T"}, "Up");
    EXPECT_EQ(r.outcome, "Won");
    EXPECT_EQ(r.screen, "Result");
    EXPECT_EQ(r.tank(), "0 1 0 -1 270") << "the tank never enters the goal";
    EXPECT_EQ(r.frames, 0);
    EXPECT_EQ(r.pauses, 0);
    EXPECT_EQ(r.redraws, BaseRedraws + 1 + 2);
}

TEST(RulesGoal, AKeyWaitingDuringTheWinIsHandledInsideItsFirstRedraw) {
    // Enter goes on to the next level inside the win's first redraw; the
    // second redraw then shows that level, and nothing else happens.
    const Report r = play({"G", "T"}, "Up+Enter", {"..", ".T"});
    EXPECT_EQ(r.screen, "Playing");
    EXPECT_EQ(r.outcome, "InPlay");
    EXPECT_EQ(r.tank(), "1 1 0 -1 270");
    EXPECT_EQ(r.board(2, 2), (Rows{"..", ".."}));
    EXPECT_EQ(r.redraws, BaseRedraws + 1 + 2 + 2);
    EXPECT_EQ(r.frames, 0);
}
