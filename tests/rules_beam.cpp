// The beam: its walk, mirrors, glass and slots, brick walls, the tank's own
// beam led back to it, and beams that would go round for ever.
#include <gtest/gtest.h>

#include "game/board.h"
#include "tests/rules_harness.h"

using namespace rulestest;

namespace {

// One frame per segment; a beam that stops lingers for 21 pauses.
struct Shot {
    long frames;
    long pauses;
};

Rows withGlyph(Rows rows, char from, char to) {
    for (std::string& row : rows)
        for (char& c : row)
            if (c == from) c = to;
    return rows;
}

}  // namespace

TEST(RulesBeam, StopsAtTheEdgeAndAtWhatItCannotPass) {
    const struct {
        Rows board;
        Shot shot;
    } cases[] = {
        {{"T"}, {0, Stop}},                    // facing the edge: nothing drawn
        {{".", "T"}, {1, Stop}},               // one segment, then the edge
        {{"#", ".", "T"}, {1, Stop}},
        {{"_", ".", "T"}, {1, Stop}},          // an empty cell stops it
        {{"z", ".", "T"}, {1, Stop}},          // and so does an unknown code
        {{"J", ".", "T"}, {1, Stop}},          // a mirror's closed side
        {{"-", ".", "T"}, {1, Stop}},          // a horizontal slot, met upwards
        {{".", ".", ".", ".", "T"}, {4, Stop}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.board[0]);
        const Report r = play(c.board, "Space");
        EXPECT_EQ(r.frames, c.shot.frames);
        EXPECT_EQ(r.pauses, c.shot.pauses);
        EXPECT_EQ(r.marks(), "") << "the beam is erased";
        EXPECT_EQ(r.outcome, "InPlay");
        EXPECT_EQ(r.redraws, BaseRedraws + 1);
    }
}

TEST(RulesBeam, PassesOverOpenTerrainWithASegmentOnEach) {
    const Report r = play({"%", "~", "G", "s", ":", "x", "T"}, "Space");
    EXPECT_EQ(r.frames, 5 + Damage);
    EXPECT_EQ(r.pauses, Damage);
    EXPECT_EQ(r.marks(), "0,0=6");
    EXPECT_EQ(r.board(1, 6), (Rows{"%", "~", "G", "s", ":", "x"}));
}

TEST(RulesBeam, GlassAndSlotsInBothAxes) {
    // Up a column, and along a row after a quarter turn to the left. Glass
    // and a slot lying along the beam pass it without a segment; the wall
    // behind shows where the beam ended.
    const struct {
        char cell;
        bool passesUp, passesLeft;
    } cases[] = {{'+', true, true}, {'-', false, true}, {'|', true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.cell));
        const Report up = play({"%", std::string(1, c.cell), ".", "T"}, "Space");
        EXPECT_EQ(up.frames, 1 + (c.passesUp ? Damage : 0));
        EXPECT_EQ(up.pauses, c.passesUp ? Damage : Stop);
        EXPECT_EQ(up.marks(), c.passesUp ? "0,0=6" : "");

        const Report left = play({std::string("%") + c.cell + ".T"}, "Left Space");
        EXPECT_EQ(left.frames, QuarterTurn + 1 + (c.passesLeft ? Damage : 0));
        EXPECT_EQ(left.pauses, QuarterTurn + (c.passesLeft ? Damage : Stop));
        EXPECT_EQ(left.marks(), c.passesLeft ? "0,0=6" : "");
    }
}

TEST(RulesBeam, EveryMirrorFromEverySide) {
    // The mirror M in the middle of a plus-shaped room with a brick wall at
    // the end of each arm; the tank T stands in the arm the beam comes from.
    const Rows plus = {"###%###", "###.###", "###.###", "%..M..%", "###.###", "###.###", "###%###"};
    struct Entry {
        const char* travelling;
        int tankX, tankY;
        const char* keys;
        long turn;
        int nextX, nextY;  // the cell beyond the mirror
    };
    const Entry entries[] = {
        {"right", 1, 3, "Right Space", QuarterTurn, 4, 3},
        {"down", 3, 1, "Down Space", HalfTurn, 3, 4},
        {"left", 5, 3, "Left Space", QuarterTurn, 2, 3},
        {"up", 3, 5, "Space", 0, 3, 2},
    };
    // Where each orientation sends a beam travelling right, down, left, up:
    // the brick it ends at, or nothing for the closed side.
    const char* const noExit = "";
    const char* const top = "3,0=6", *const right = "6,3=6", *const bottom = "3,6=6", *const left = "0,3=6";
    const char* const exits[4][4] = {
        {noExit, noExit, bottom, right},  // 6 / 16: open right and bottom
        {bottom, noExit, noExit, left},   // 7 / 17: open left and bottom
        {top, left, noExit, noExit},      // 8 / 18: open left and top
        {noExit, right, top, noExit},     // 9 / 19: open right and top
    };
    for (int orientation = 0; orientation < 4; ++orientation) {
        for (int movable = 0; movable < 2; ++movable) {
            const char glyph = movable ? "bdqp"[orientation] : "r7JL"[orientation];
            for (int e = 0; e < 4; ++e) {
                const Entry& entry = entries[e];
                SCOPED_TRACE(std::string(1, glyph) + " travelling " + entry.travelling);
                Rows board = withGlyph(plus, 'M', glyph);
                board[entry.tankY][entry.tankX] = 'T';
                const Report r = play(board, entry.keys);
                const std::string exit = exits[orientation][e];
                if (!exit.empty()) {
                    // segment, corner, two segments, six steps of damage
                    EXPECT_EQ(r.frames, entry.turn + 4 + Damage);
                    EXPECT_EQ(r.pauses, entry.turn + Damage);
                    EXPECT_EQ(r.marks(), exit);
                    EXPECT_EQ(r.board(7, 7)[3][3], glyph) << "the mirror stays";
                } else if (!movable) {
                    EXPECT_EQ(r.frames, entry.turn + 1);
                    EXPECT_EQ(r.pauses, entry.turn + Stop);
                    EXPECT_EQ(r.marks(), "");
                } else {
                    // A movable mirror met on a closed side is shoved on.
                    EXPECT_EQ(r.frames, entry.turn + 1 + Slide);
                    EXPECT_EQ(r.pauses, entry.turn + Slide);
                    EXPECT_EQ(r.objects[3][3], 0);
                    EXPECT_EQ(r.objects[entry.nextY][entry.nextX], MovableMirrorRightBottom + orientation);
                    EXPECT_EQ(r.marks(), "");
                }
            }
        }
    }
}

TEST(RulesBeam, BrickWallFallsToTheSecondShot) {
    const Rows board = {"%", ".", "T"};
    const Report first = play(board, "Space");
    EXPECT_EQ(first.terrain[0][0], BrickWall);
    EXPECT_EQ(first.marks(), "0,0=6");
    EXPECT_EQ(first.frames, 1 + Damage);
    EXPECT_EQ(first.pauses, Damage) << "no lingering after damage";

    // The wall falls at the fifth step of the second shot; the sixth step's
    // mark on the rubble is erased with the beam.
    const Report second = play(board, "Space Space");
    EXPECT_EQ(second.terrain[0][0], Rubble);
    EXPECT_EQ(second.marks(), "");
    EXPECT_EQ(second.frames, 2 * (1 + Damage));
    EXPECT_EQ(second.pauses, 2 * Damage);

    // The third beam passes over the rubble to the edge.
    const Report third = play(board, "Space Space Space");
    EXPECT_EQ(third.frames, 2 * (1 + Damage) + 2);
    EXPECT_EQ(third.pauses, 2 * Damage + Stop);
}

TEST(RulesBeam, AFallenWallUncoversAnAntiTankThatFiresAtOnce) {
    const Rows board = {"v", "%", ".", "T"};
    const Report one = play(board, "Space");
    EXPECT_EQ(one.outcome, "InPlay") << "a damaged wall that still stands changes nothing";
    EXPECT_EQ(one.frames, 1 + Damage);

    const Report two = play(board, "Space Space");
    EXPECT_EQ(two.outcome, "Lost");
    EXPECT_EQ(two.screen, "Result");
    EXPECT_EQ(two.board(1, 4), (Rows{"v", ":", ".", "x"}));
    // two shots; the anti-tank's beam over rubble and ground; the explosion
    EXPECT_EQ(two.frames, 2 * (1 + Damage) + 2 + Explosion);
    EXPECT_EQ(two.pauses, 2 * Damage + Destruction);
    EXPECT_EQ(two.redraws, BaseRedraws + 2 + 1);
    EXPECT_EQ(two.marks(), "");
}

TEST(RulesBeam, CrossingItsOwnPath) {
    // Up, right, down, then left across its own first segment and out.
    const Rows board = {"#r.7", "#.#.", "...J", "#T##"};
    const Report r = play(board, "Space");
    EXPECT_EQ(r.frames, 10);
    EXPECT_EQ(r.pauses, Stop);
    EXPECT_EQ(r.marks(), "");
    EXPECT_EQ(r.outcome, "InPlay");
}

TEST(RulesBeam, LedBackToTheTankByMirrors) {
    const Rows board = {"r.7", "...", "...", "T.J"};
    const Report r = play(board, "Space");
    EXPECT_EQ(r.outcome, "Lost");
    EXPECT_EQ(r.screen, "Result");
    EXPECT_EQ(r.terrain[3][0], Scorch);
    EXPECT_EQ(r.frames, 9 + Explosion);
    EXPECT_EQ(r.pauses, Destruction);
    EXPECT_EQ(r.redraws, BaseRedraws + 1 + 1);
    EXPECT_EQ(r.marks(), "");

    // A block in the last cell cannot be shoved into the tank: the beam stops.
    Rows withBlock = board;
    withBlock[3] = "TOJ";
    const Report b = play(withBlock, "Space");
    EXPECT_EQ(b.outcome, "InPlay");
    EXPECT_EQ(b.frames, 8);
    EXPECT_EQ(b.pauses, Stop);
    EXPECT_EQ(b.objects[3][1], MovableBlock);
}

TEST(RulesBeam, ALoopThroughATankOnGlassOrASlotStopsWhereItBegan) {
    // Level 0 is won with the tank at (1, 1); level 1 has no tank start, so
    // the tank stays there, on glass or a slot. Its beam goes round the
    // mirrors, passes the cell under the tank and would go round for ever;
    // it stops instead where it would come back to its first cell.
    const Rows first = {".G.", ".T."};
    const Report glass = play(first, "Up Enter Space", {".r7", ".+.", ".LJ"});
    EXPECT_EQ(glass.index, 1);
    EXPECT_EQ(glass.tank(), "1 1 0 -1 270");
    EXPECT_EQ(glass.outcome, "InPlay");
    EXPECT_EQ(glass.frames, 5);  // four corners and one straight segment
    EXPECT_EQ(glass.pauses, Stop);
    EXPECT_EQ(glass.marks(), "");
    EXPECT_EQ(glass.board(3, 3), (Rows{".r7", ".+.", ".LJ"}));
    EXPECT_EQ(glass.redraws, BaseRedraws + 3 + 2 + 2);

    const Report slot = play(first, "Up Enter Right Space", {"...", "r-7", "L.J"});
    EXPECT_EQ(slot.tank(), "1 1 1 0 0");
    EXPECT_EQ(slot.outcome, "InPlay");
    EXPECT_EQ(slot.frames, QuarterTurn + 5);
    EXPECT_EQ(slot.pauses, QuarterTurn + Stop);
    EXPECT_EQ(slot.marks(), "");
}

TEST(RulesBeam, NothingRunsAfterTheRedrawThatEndsADestruction) {
    const Rows board = {"r.7", "...", "...", "T.J"};
    // Enter waits while the beam runs; the destruction's redraw handles it
    // and restarts the level. The shot must not go on afterwards.
    const Report r = play(board, "Space+Enter");
    EXPECT_EQ(r.screen, "Playing");
    EXPECT_EQ(r.outcome, "InPlay");
    EXPECT_EQ(r.tank(), "0 3 0 -1 270");
    EXPECT_EQ(r.terrain[3][0], Ground) << "the restart undid the scorch";
    EXPECT_EQ(r.frames, 9 + Explosion);
    EXPECT_EQ(r.pauses, Destruction);
    EXPECT_EQ(r.marks(), "");
    // the group, the destruction, the restart and its switch to Playing
    EXPECT_EQ(r.redraws, BaseRedraws + 1 + 1 + 2);

    // A third key waits in the queue too. The restart's own redraw handles
    // it, while the screen is still the result screen (the switch to Playing
    // comes after): Space there resumes, and no second shot is fired.
    const Report third = play(board, "Space+Enter+Space");
    EXPECT_EQ(third.screen, "Playing");
    EXPECT_EQ(third.outcome, "InPlay");
    EXPECT_EQ(third.frames, 9 + Explosion);
    EXPECT_EQ(third.pauses, Destruction);
    EXPECT_EQ(third.redraws, BaseRedraws + 1 + 1 + 1 + 1 + 1);
}
