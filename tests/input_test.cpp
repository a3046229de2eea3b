// Keys and clicks on every screen: both sides of every region's edge, the
// conditions of each row, and events handled inside another handler's redraw.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "tests/support.h"
#include "start/headless_start.h"
#include "ui/input.h"
#include "ui/screens.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

// Level i: ground, the tank at (3, 7), a brick wall at (3, 4), and the
// level's own number in the terrain of (0, 0) (codes beyond the cell kinds
// are kept).
Record level(int i) {
    Record r = filledRecord(2);
    r[0] = static_cast<std::uint8_t>(CellKindCount + i);
    r[7 * 16 + 3] = 10;
    r[4 * 16 + 3] = 3;
    return r;
}

int levelOnBoard() { return game().play.board.at(0, 0).terrain - CellKindCount; }
long redraws() { return headless::stats().screenFrames; }

struct Click {
    int x, y;
};

class Input : public ::testing::Test {
protected:
    void startWith(int count) {
        std::vector<Record> records;
        for (int i = 0; i < count; ++i) records.push_back(level(i));
        setUpGame(records);
    }
    void SetUp() override { startWith(45); }

    // The level list shown with `index` highlighted, counters cleared.
    void levelList(int index) {
        game().play.level = index;
        setScreen(LevelSelect);
        headless::resetStats();
    }
    // Level `index` in play, counters cleared.
    void playing(int index) {
        session::enterLevel(index);
        headless::resetStats();
    }
    // The result screen over level `index` with `result` as the outcome.
    void resultScreen(int index, Outcome result) {
        playing(index);
        game().play.outcome = result;
        setScreen(Result);
        headless::resetStats();
    }
    // A trace left on the board, gone once the level is loaded again.
    static void spoilBoard() { game().play.board.at(9, 9).terrain = 24; }
    static bool boardSpoiled() { return game().play.board.at(9, 9).terrain == 24; }

    static void expectQuit(void (*act)()) {
        try {
            act();
            ADD_FAILURE() << "no quit";
        } catch (const platform::Quit& q) {
            EXPECT_EQ(q.status, 0);
        }
    }
};

}  // namespace

// --- Title ----------------------------------------------------------------

TEST_F(Input, TitleClicks) {
    const Click start[] = {{151, 280}, {151, 259}, {373, 307}, {200, 300}};
    const Click none[] = {{150, 280}, {151, 258}, {374, 280}, {373, 308}, {151, 321}, {374, 370},
                          {373, 371}, {150, 340}, {0, 0},    {151, 314}, {12, 12}};
    const Click quit[] = {{373, 370}, {151, 322}, {260, 345}};
    for (const Click& c : start) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        game().play.screen = Title;
        headless::resetStats();
        onMouseClick(c.x, c.y);
        EXPECT_EQ(game().play.screen, LevelSelect);
        EXPECT_EQ(redraws(), 1);
    }
    for (const Click& c : none) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        game().play.screen = Title;
        headless::resetStats();
        onMouseClick(c.x, c.y);
        EXPECT_EQ(game().play.screen, Title);
        EXPECT_EQ(redraws(), 0);
    }
    for (const Click& c : quit) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        game().play.screen = Title;
        try {
            onMouseClick(c.x, c.y);
            ADD_FAILURE() << "no quit";
        } catch (const platform::Quit& q) {
            EXPECT_EQ(q.status, 0);
        }
    }
}

TEST_F(Input, TitleKeys) {
    for (int key : {KeySpace, KeyEnter}) {
        game().play.screen = Title;
        headless::resetStats();
        onKey(key);
        EXPECT_EQ(game().play.screen, LevelSelect) << key;
        EXPECT_EQ(redraws(), 1);
    }
    for (int key : std::vector<int>{KeyR, KeyA, KeyW, KeyRight, KeyPageDown, KeyUp, 0, 999}) {
        game().play.screen = Title;
        headless::resetStats();
        onKey(key);
        EXPECT_EQ(game().play.screen, Title) << key;
        EXPECT_EQ(redraws(), 0) << key;
    }
    game().play.screen = Title;
    expectQuit([] { onKey(KeyEscape); });
    // Through the window's queue: the quit empties it, later events never come.
    game().play.screen = Title;
    headless::queueKey(KeyEscape);
    headless::queueKey(KeyEnter);
    expectQuit([] { drawScreen(); });
    EXPECT_TRUE(headless::queue().empty());
    EXPECT_EQ(game().play.screen, Title);
}

// --- Level list: clicks -----------------------------------------------------

TEST_F(Input, LevelCellClicksStartTheLevelOfTheCell) {
    struct Case {
        int highlighted;
        Click click;
        int started;  // -1: nothing
    };
    const Case cases[] = {
        {4, {12, 12}, 0},     {4, {11, 12}, -1},    {4, {62, 12}, -1},   {4, {61, 12}, 0},
        {4, {12, 11}, -1},    {4, {12, 60}, 0},     {4, {12, 61}, -1},   {4, {61, 60}, 0},
        {4, {73, 12}, -1},    {4, {74, 12}, 1},     {4, {12, 73}, 6},    {4, {12, 72}, -1},
        {4, {322, 256}, 29},  {4, {371, 304}, 29},  {4, {372, 304}, -1}, {4, {371, 305}, -1},
        {35, {12, 12}, 30},   {35, {136, 134}, 44}, {35, {198, 134}, -1}, {35, {12, 195}, -1},
        {0, {200, 200}, 21},  {0, {5, 5}, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "highlight " << k.highlighted << " click " << k.click.x << ","
                                        << k.click.y);
        levelList(k.highlighted);
        onMouseClick(k.click.x, k.click.y);
        if (k.started < 0) {
            EXPECT_EQ(game().play.screen, LevelSelect);
            EXPECT_EQ(game().play.level, k.highlighted);
            EXPECT_EQ(redraws(), 0);
        } else {
            EXPECT_EQ(game().play.screen, Playing);
            EXPECT_EQ(game().play.level, k.started);
            EXPECT_EQ(levelOnBoard(), k.started);
            // startLevel draws once (still the list), then the switch.
            EXPECT_EQ(redraws(), 2);
        }
    }
    // The page is worked out from the highlight, whatever was shown last.
    levelList(35);
    game().play.page = 0;
    onMouseClick(12, 12);
    EXPECT_EQ(game().play.level, 30);
}

TEST_F(Input, PageArrowClicks) {
    struct Case {
        int count, highlighted;
        Click click;
        int after;  // highlight afterwards; -1: nothing happens
    };
    const Case cases[] = {
        // Previous page: 10..65 x 319..374, only past page 0.
        {45, 40, {10, 319}, 10},  {45, 40, {65, 374}, 10}, {45, 40, {9, 319}, -1},  {45, 40, {10, 318}, -1},
        {45, 40, {66, 374}, -1},  {45, 40, {65, 375}, -1}, {45, 5, {30, 340}, -1},
        // Next page: 71..126 x 319..374, only while a page lies beyond.
        {45, 10, {71, 319}, 40},  {45, 20, {126, 374}, 44}, {45, 10, {70, 319}, -1}, {45, 10, {127, 374}, -1},
        {45, 10, {71, 318}, -1},  {45, 10, {71, 375}, -1},  {45, 35, {100, 340}, -1},
        // 60 levels: page 1 full, yet its next arrow acts and clamps.
        {60, 35, {100, 340}, 59}, {60, 59, {100, 340}, 59},
        // 61 levels: page 2 holds one.
        {61, 35, {100, 340}, 60}, {61, 60, {100, 340}, -1}, {61, 60, {30, 340}, 30},
        // Fewer than a page: no arrow at all.
        {29, 3, {100, 340}, -1},  {30, 3, {100, 340}, 29},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.count << " levels, highlight " << k.highlighted << ", click "
                                        << k.click.x << "," << k.click.y);
        startWith(k.count);
        levelList(k.highlighted);
        onMouseClick(k.click.x, k.click.y);
        EXPECT_EQ(game().play.screen, LevelSelect);
        if (k.after < 0) {
            EXPECT_EQ(game().play.level, k.highlighted);
            EXPECT_EQ(redraws(), 0);
        } else {
            EXPECT_EQ(game().play.level, k.after);
            EXPECT_EQ(game().play.page, k.after / 30);
            EXPECT_EQ(redraws(), 1);
        }
    }
}

TEST_F(Input, LevelListBackToTitle) {
    for (const Click& c : {Click{151, 322}, Click{373, 370}}) {
        levelList(7);
        onMouseClick(c.x, c.y);
        EXPECT_EQ(game().play.screen, Title);
        EXPECT_EQ(redraws(), 1);
    }
    for (const Click& c : {Click{150, 322}, Click{151, 321}, Click{374, 370}, Click{373, 371}, Click{200, 310}}) {
        levelList(7);
        onMouseClick(c.x, c.y);
        EXPECT_EQ(game().play.screen, LevelSelect) << c.x << "," << c.y;
        EXPECT_EQ(redraws(), 0);
    }
    levelList(7);
    onKey(KeyEscape);
    EXPECT_EQ(game().play.screen, Title);
    EXPECT_EQ(redraws(), 1);
}

// --- Level list: keys -------------------------------------------------------

TEST_F(Input, LevelListMoves) {
    struct Case {
        int count, highlighted, key, after;  // after -1: nothing
    };
    const Case cases[] = {
        {45, 10, KeyPageDown, 40},  {45, 20, KeyPageDown, 44}, {45, 40, KeyPageDown, -1}, {45, 30, KeyPageDown, -1},
        {45, 44, KeyPageUp, 14},    {45, 30, KeyPageUp, 0},    {45, 29, KeyPageUp, -1},   {45, 0, KeyPageUp, -1},
        {60, 35, KeyPageDown, 59},  {60, 59, KeyPageDown, 59}, {61, 59, KeyPageDown, 60}, {29, 3, KeyPageDown, -1},
        {45, 5, KeyW, -1},          {45, 5, KeyUp, -1},        {45, 6, KeyW, 0},          {45, 6, KeyUp, 0},
        {45, 30, KeyUp, 24},        {45, 38, KeyS, 44},        {45, 38, KeyDown, 44},     {45, 39, KeyDown, -1},
        {45, 24, KeyDown, 30},      {45, 44, KeyRight, -1},    {45, 44, KeyD, -1},        {45, 43, KeyD, 44},
        {45, 29, KeyRight, 30},     {45, 0, KeyLeft, -1},      {45, 0, KeyA, -1},         {45, 30, KeyA, 29},
        {45, 30, KeyLeft, 29},      {45, 7, KeyR, -1},         {45, 7, 0, -1},            {1, 0, KeyRight, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.count << " levels, highlight " << k.highlighted << ", key " << k.key);
        startWith(k.count);
        levelList(k.highlighted);
        onKey(k.key);
        EXPECT_EQ(game().play.screen, LevelSelect);
        if (k.after < 0) {
            EXPECT_EQ(game().play.level, k.highlighted);
            EXPECT_EQ(redraws(), 0);
        } else {
            EXPECT_EQ(game().play.level, k.after);
            EXPECT_EQ(game().play.page, k.after / 30);
            EXPECT_EQ(redraws(), 1);
        }
    }
}

// With drawing off the page still follows the highlight: back on page 0 by
// the arrow keys, Page Up does nothing (it once took the highlight to -25).
TEST_F(Input, LevelListPageFollowsTheHighlightWithDrawingOff) {
    for (bool drawing : {true, false}) {
        SCOPED_TRACE(drawing ? "drawing on" : "drawing off");
        startWith(45);
        levelList(35);
        display().drawing = drawing;
        for (int key : {KeyLeft, KeyUp, KeyUp, KeyUp, KeyUp, KeyUp, KeyPageUp}) headless::queueKey(key);
        drawScreen();
        EXPECT_EQ(game().play.level, 4);
        EXPECT_EQ(game().play.page, 0);
        onKey(KeyPageDown);
        EXPECT_EQ(game().play.level, 34);
        EXPECT_EQ(game().play.page, 1);
    }
}

TEST_F(Input, LevelListStartsTheHighlightedLevel) {
    for (int key : {KeyEnter, KeySpace}) {
        levelList(17);
        onKey(key);
        EXPECT_EQ(game().play.screen, Playing);
        EXPECT_EQ(game().play.level, 17);
        EXPECT_EQ(levelOnBoard(), 17);
        EXPECT_EQ(game().play.outcome, InPlay);
        EXPECT_EQ(redraws(), 2);
    }
}

// --- Playing ----------------------------------------------------------------

TEST_F(Input, PlayingIgnoresClicksAndR) {
    playing(3);
    spoilBoard();
    for (const Click& c : {Click{78, 193}, Click{78, 256}, Click{78, 319}, Click{151, 280}, Click{373, 370},
                           Click{12, 12}, Click{100, 340}})
        onMouseClick(c.x, c.y);
    onKey(KeyR);
    onKey(KeyPageDown);
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_TRUE(boardSpoiled());
    EXPECT_EQ(redraws(), 0);
    EXPECT_EQ(headless::stats().animationFrames, 0);
}

TEST_F(Input, PlayingEscapePausesWithoutTouchingTheOutcome) {
    for (Outcome result : {InPlay, Won, Lost}) {
        playing(3);
        game().play.outcome = result;
        onKey(KeyEscape);
        EXPECT_EQ(game().play.screen, Result);
        EXPECT_EQ(game().play.outcome, result);
        EXPECT_EQ(redraws(), 1);
    }
}

TEST_F(Input, PlayingKeysReachTheTankOnlyInPlay) {
    struct Case {
        int key, dx, dy;
        float angle;
    };
    const Case cases[] = {
        {KeyRight, 1, 0, 0},  {KeyD, 1, 0, 0},    {KeyDown, 0, 1, 90},  {KeyS, 0, 1, 90},
        {KeyLeft, -1, 0, 180}, {KeyA, -1, 0, 180}, {KeyUp, 0, -1, 270}, {KeyW, 0, -1, 270},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.key);
        playing(0);
        // Facing across first, so that the key turns the tank.
        game().play.tank.dx = k.dy;
        game().play.tank.dy = k.dx;
        game().play.tank.angle = 45;
        onKey(k.key);
        EXPECT_EQ(game().play.tank.dx, k.dx);
        EXPECT_EQ(game().play.tank.dy, k.dy);
        EXPECT_EQ(game().play.tank.angle, k.angle);
        EXPECT_EQ(game().play.tank.x, 3);
        EXPECT_EQ(game().play.tank.y, 7);
    }
    // Space fires from the tank along its facing: the wall above is hit.
    playing(0);
    onKey(KeySpace);
    EXPECT_EQ(game().play.board.at(3, 4).state, 6);

    // Before any tank start the tank faces nowhere: a shot is ignored
    // rather than walking its own cell for ever.
    startLevel(game(), 0);
    game().play.tank.x = game().play.tank.y = game().play.tank.dx = game().play.tank.dy = 0;
    game().play.tank.angle = 0;
    headless::resetStats();
    onKey(KeySpace);
    EXPECT_EQ(game().play.outcome, InPlay);
    EXPECT_EQ(headless::stats().animationFrames, 0);
    EXPECT_EQ(game().play.board.at(0, 0).state, 0);

    // Once the level is decided, none of them does anything.
    for (Outcome result : {Won, Lost}) {
        for (int key : {KeyRight, KeyD, KeyDown, KeyS, KeyLeft, KeyA, KeyUp, KeyW, KeySpace, KeyR}) {
            SCOPED_TRACE(testing::Message() << "outcome " << result << " key " << key);
            playing(1);
            game().play.outcome = result;
            onKey(key);
            EXPECT_EQ(game().play.tank.x, 3);
            EXPECT_EQ(game().play.tank.y, 7);
            EXPECT_EQ(game().play.tank.dx, 0);
            EXPECT_EQ(game().play.tank.dy, -1);
            EXPECT_EQ(game().play.tank.angle, 270.0f);
            EXPECT_EQ(game().play.board.at(3, 4).state, 0);
            EXPECT_EQ(headless::stats().animationFrames, 0);
            EXPECT_EQ(headless::stats().pauses, 0);
            EXPECT_EQ(redraws(), 0);
        }
    }
}

TEST_F(Input, PlayingEnterAfterTheLevelIsDecided) {
    struct Case {
        int level;
        Outcome result;
        int after;  // -1: nothing
    };
    const Case cases[] = {
        {3, Lost, 3}, {3, Won, 4}, {44, Won, -1}, {44, Lost, 44}, {3, InPlay, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "level " << k.level << " outcome " << k.result);
        playing(k.level);
        game().play.outcome = k.result;
        spoilBoard();
        onKey(KeyEnter);
        EXPECT_EQ(game().play.screen, Playing);
        if (k.after < 0) {
            EXPECT_EQ(game().play.level, k.level);
            EXPECT_TRUE(boardSpoiled());
            EXPECT_EQ(game().play.outcome, k.result);
            EXPECT_EQ(redraws(), 0);
        } else {
            EXPECT_EQ(game().play.level, k.after);
            EXPECT_EQ(levelOnBoard(), k.after);
            EXPECT_FALSE(boardSpoiled());
            EXPECT_EQ(game().play.outcome, InPlay);
            EXPECT_EQ(redraws(), 1);  // startLevel's own; the screen stays
        }
    }
}

// --- Result -----------------------------------------------------------------

TEST_F(Input, ResultButtonEdges) {
    struct Case {
        Click click;
        int screen;  // what follows, from a pause; Result: nothing
        bool reload;
    };
    const Case cases[] = {
        {{78, 193}, Playing, false},    {{305, 248}, Playing, false},   {{77, 193}, Result, false},
        {{78, 192}, Result, false},     {{306, 200}, Result, false},    {{100, 249}, Result, false},
        {{100, 255}, Result, false},    {{78, 256}, Playing, true},     {{305, 311}, Playing, true},
        {{306, 300}, Result, false},    {{78, 312}, Result, false},     {{78, 318}, Result, false},
        {{78, 319}, LevelSelect, false}, {{305, 374}, LevelSelect, false}, {{77, 350}, Result, false},
        {{306, 350}, Result, false},    {{78, 375}, Result, false},     {{10, 10}, Result, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.click.x << "," << k.click.y);
        resultScreen(5, InPlay);
        spoilBoard();
        onMouseClick(k.click.x, k.click.y);
        EXPECT_EQ(game().play.screen, k.screen);
        EXPECT_EQ(game().play.level, 5);
        EXPECT_EQ(boardSpoiled(), !k.reload);
        EXPECT_EQ(redraws(), k.screen == Result ? 0 : k.reload ? 2 : 1);
    }
}

TEST_F(Input, ResultAfterALoss) {
    resultScreen(5, Lost);
    spoilBoard();
    onMouseClick(78, 193);
    onMouseClick(200, 220);
    EXPECT_EQ(game().play.screen, Result);
    EXPECT_EQ(redraws(), 0);
    for (int key : {KeySpace, KeyEnter, KeyR}) {
        resultScreen(5, Lost);
        spoilBoard();
        onKey(key);
        EXPECT_EQ(game().play.screen, Playing) << key;
        EXPECT_EQ(game().play.level, 5);
        EXPECT_EQ(game().play.outcome, InPlay);
        EXPECT_FALSE(boardSpoiled());
        EXPECT_EQ(redraws(), 2);
    }
    resultScreen(5, Lost);
    spoilBoard();
    onMouseClick(200, 280);
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_FALSE(boardSpoiled());
}

TEST_F(Input, ResultFromAPauseResumesWithoutReloading) {
    // Paused by Escape from game().play.
    for (int key : {KeySpace, KeyEnter}) {
        playing(5);
        spoilBoard();
        onKey(KeyEscape);
        ASSERT_EQ(game().play.screen, Result);
        headless::resetStats();
        onKey(key);
        EXPECT_EQ(game().play.screen, Playing);
        EXPECT_TRUE(boardSpoiled());
        EXPECT_EQ(redraws(), 1);
    }
    resultScreen(5, InPlay);
    spoilBoard();
    onMouseClick(200, 220);
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_TRUE(boardSpoiled());
    // R and the second button load the level again.
    resultScreen(5, InPlay);
    spoilBoard();
    onKey(KeyR);
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_FALSE(boardSpoiled());
    EXPECT_EQ(redraws(), 2);
}

TEST_F(Input, ResultAfterAWin) {
    for (int key : {KeySpace, KeyEnter}) {
        resultScreen(5, Won);
        onKey(key);
        EXPECT_EQ(game().play.screen, Playing);
        EXPECT_EQ(game().play.level, 6);
        EXPECT_EQ(levelOnBoard(), 6);
        EXPECT_EQ(game().play.outcome, InPlay);
        EXPECT_EQ(redraws(), 2);
    }
    resultScreen(5, Won);
    onMouseClick(78, 193);
    EXPECT_EQ(game().play.level, 6);
    EXPECT_EQ(game().play.screen, Playing);

    // The last level won: no next one, so the first button and its keys do
    // nothing; restart and the list still work.
    for (int key : {KeySpace, KeyEnter}) {
        resultScreen(44, Won);
        onKey(key);
        EXPECT_EQ(game().play.screen, Result);
        EXPECT_EQ(game().play.level, 44);
        EXPECT_EQ(redraws(), 0);
    }
    resultScreen(44, Won);
    onMouseClick(78, 193);
    EXPECT_EQ(game().play.screen, Result);
    EXPECT_EQ(redraws(), 0);
    spoilBoard();
    onMouseClick(78, 256);
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_EQ(game().play.level, 44);
    EXPECT_EQ(game().play.outcome, InPlay);
    EXPECT_FALSE(boardSpoiled());
}

TEST_F(Input, ResultBackToTheList) {
    for (Outcome result : {InPlay, Won, Lost}) {
        resultScreen(33, result);
        onKey(KeyEscape);
        EXPECT_EQ(game().play.screen, LevelSelect);
        EXPECT_EQ(game().play.level, 33);
        EXPECT_EQ(game().play.page, 1);
        EXPECT_EQ(redraws(), 1);
        resultScreen(33, result);
        onMouseClick(200, 340);
        EXPECT_EQ(game().play.screen, LevelSelect);
    }
    resultScreen(3, InPlay);
    for (int key : std::vector<int>{KeyW, KeyLeft, KeyPageUp, 0}) onKey(key);
    EXPECT_EQ(game().play.screen, Result);
    EXPECT_EQ(redraws(), 0);
}

// --- The callbacks ----------------------------------------------------------

TEST_F(Input, ReleasesAndOtherButtonsNeverAct) {
    levelList(10);
    headless::queueKey(KeyRight, 0);
    platform::pollEvents();
    EXPECT_EQ(game().play.level, 10);
    headless::queueKey(KeyRight, 1);
    platform::pollEvents();
    EXPECT_EQ(game().play.level, 11);
    // A held key repeats (action 2), and each repeat acts.
    headless::queueKey(KeyRight, 2);
    headless::queueKey(KeyRight, 2);
    platform::pollEvents();
    EXPECT_EQ(game().play.level, 13);
    EXPECT_EQ(redraws(), 3);

    // Clicks on the title's "Game" button: other buttons and releases.
    game().play.screen = Title;
    headless::resetStats();
    headless::queueClick(200.0, 280.0, 1, 1);
    headless::queueClick(200.0, 280.0, 2, 1);
    headless::queueClick(200.0, 280.0, 0, 0);
    platform::pollEvents();
    EXPECT_EQ(game().play.screen, Title);
    EXPECT_EQ(redraws(), 0);
    headless::queueClick(200.0, 280.0, 0, 1);
    platform::pollEvents();
    EXPECT_EQ(game().play.screen, LevelSelect);
}

TEST_F(Input, CursorPositionsAreTruncated) {
    game().play.screen = Title;
    headless::queueClick(150.99, 280.0);
    drawScreen();
    EXPECT_EQ(game().play.screen, Title);
    headless::queueClick(151.01, 258.99);
    drawScreen();
    EXPECT_EQ(game().play.screen, Title);
    headless::queueClick(151.5, 259.5);
    drawScreen();
    EXPECT_EQ(game().play.screen, LevelSelect);
}

TEST_F(Input, EventsWaitingDuringARedrawAreHandledInsideIt) {
    // Enter and Right wait together on the list at level 3. Enter's
    // startLevel(3) redraws the list, and that redraw's poll hands Right to
    // the list: the highlight moves to 4. Then Enter's switch to play runs:
    // level 3 is on the board while the index says 4.
    levelList(3);
    headless::queueKey(KeyEnter);
    headless::queueKey(KeyRight);
    drawScreen();
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_EQ(game().play.level, 4);
    EXPECT_EQ(levelOnBoard(), 3);
    // The main loop's, startLevel's, Right's and the switch's.
    EXPECT_EQ(redraws(), 4);
    EXPECT_TRUE(headless::queue().empty());

    // Space and Escape after a loss: the restart's redraw shows the result
    // screen still, so Escape goes to the list, and then the restart's own
    // switch to play comes last.
    resultScreen(5, Lost);
    spoilBoard();
    headless::queueKey(KeySpace);
    headless::queueKey(KeyEscape);
    drawScreen();
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_EQ(game().play.level, 5);
    EXPECT_EQ(game().play.outcome, InPlay);
    EXPECT_FALSE(boardSpoiled());
    EXPECT_EQ(redraws(), 4);
}

// With steady input (the player set) the same events wait for the playing
// screen: Right turns the tank of level 3 (an animation frame, no redraw of
// the screen), and Escape pauses the restarted level 5.
TEST_F(Input, SteadyInputWaitsForThePlayingScreen) {
    playerSet().steadyInput = true;
    levelList(3);
    headless::queueKey(KeyEnter);
    headless::queueKey(KeyRight);
    drawScreen();
    EXPECT_EQ(game().play.screen, Playing);
    EXPECT_EQ(game().play.level, 3);
    EXPECT_EQ(levelOnBoard(), 3);
    EXPECT_EQ(game().play.tank.dx, 1) << "Right reached the tank";
    EXPECT_EQ(redraws(), 3);  // the main loop's, startLevel's and the switch's

    resultScreen(5, Lost);
    headless::queueKey(KeySpace);
    headless::queueKey(KeyEscape);
    drawScreen();
    EXPECT_EQ(game().play.screen, Result);
    EXPECT_EQ(game().play.level, 5);
    EXPECT_EQ(game().play.outcome, InPlay);
    EXPECT_TRUE(headless::queue().empty());
}

// A long burst of input, each event handled by a handler that polls again as
// a redraw does: every event arrives once, in order, and the nesting stops
// at its bound instead of at the end of the stack.
namespace burst {
std::vector<int> seen;
int depth = 0, deepest = 0;
void onKey(int key) {
    seen.push_back(key);
    ++depth;
    deepest = std::max(deepest, depth);
    platform::pollEvents();
    --depth;
}
void onClick(int x, int) { onKey(-x); }
}  // namespace burst

TEST(InputBurst, DeliveredInOrderWithBoundedNesting) {
    platform::setInputHandlers(burst::onKey, burst::onClick);
    const int count = 300000;
    for (int i = 0; i < count; ++i) {
        if (i % 7 == 3)
            headless::queueClick(i % 1000, 5);
        else
            headless::queueKey(i % 1000);
    }
    platform::pollEvents();
    ASSERT_EQ(burst::seen.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) ASSERT_EQ(burst::seen[i], i % 7 == 3 ? -(i % 1000) : i % 1000) << i;
    EXPECT_EQ(burst::deepest, platform::MaxDeliveryDepth);
    EXPECT_TRUE(headless::queue().empty());
}

// Every key named in the game's code above the platform has a row in the one
// key table, so the desktop, the browser and the replay all deliver it; the
// rows are distinct in every column.
TEST(KeyTable, EveryHandledKeyReachesEveryPlatform) {
    std::map<std::string, long> values;  // enum name -> number, read from input.h
    const std::string header = readFile(std::string(BRIMVALE_SOURCE_DIR) + "/platform/input.h");
    const std::regex enumRow(R"((Key[A-Z][A-Za-z]*) = (-?\d+),)");
    for (std::sregex_iterator it(header.begin(), header.end(), enumRow), end; it != end; ++it)
        values[(*it)[1]] = std::stol((*it)[2]);
    ASSERT_GT(values.size(), 10u);

    std::set<std::string> handled;
    const std::regex use(R"(\b(Key[A-Z][A-Za-z]*)\b)");
    for (const char* dir : {"ui", "game", "app"})
        for (const auto& entry : std::filesystem::directory_iterator(std::string(BRIMVALE_SOURCE_DIR) + "/" + dir)) {
            const std::string text = readFile(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), use), end; it != end; ++it)
                if (values.count((*it)[1]) && (*it)[1] != "KeyOther") handled.insert((*it)[1]);
        }
    EXPECT_GE(handled.size(), 15u);
    for (const std::string& name : handled) {
        const int key = static_cast<int>(values[name]);
        EXPECT_EQ(platform::keyFromDesktop(key), key) << name << " has no row in GameKeys";
    }

    std::set<std::string> names, codes;
    std::set<int> keys;
    for (const platform::KeyRow& row : platform::GameKeys) {
        EXPECT_TRUE(keys.insert(row.key).second && names.insert(row.name).second && codes.insert(row.domCode).second)
            << row.name;
        EXPECT_EQ(platform::keyFromDomCode(row.domCode), row.key) << row.domCode;
        EXPECT_EQ(platform::keyFromName(row.name), row.key) << row.name;
    }
    EXPECT_EQ(platform::keyFromDomCode("KeyQ"), KeyOther);
    EXPECT_EQ(platform::keyFromName("q"), KeyOther);
    EXPECT_EQ(platform::keyFromDesktop('Q'), KeyOther);
}

// A touch that stays put: Space on the tank's cell while playing (the level's
// tank starts at (3, 7) facing up, at the brick wall), a click anywhere else
// and on every other screen; delivered from the queue like any event.
TEST_F(Input, TapsAreSpaceOnTheTankAndClicksElsewhere) {
    for (const Click& c : {Click{71, 180}, Click{96, 180}, Click{80, 167}, Click{80, 192}, Click{200, 280}}) {
        playing(3);
        onTap(c.x, c.y);
        EXPECT_EQ(headless::stats().animationFrames, 0) << c.x << "," << c.y;
        EXPECT_EQ(game().play.screen, Playing);
    }
    for (const Click& c : {Click{72, 168}, Click{95, 191}}) {
        playing(3);
        headless::queue().push_back(platform::Event{platform::Event::Tap, 0, c.x + 0.9, c.y + 0.9, 1, 0});
        platform::pollEvents();
        EXPECT_GT(headless::stats().animationFrames, 0) << c.x << "," << c.y;
        EXPECT_NE(game().play.board.at(3, 4).state, 0) << "the shot reached the brick wall";
    }
    game().play.screen = Title;
    onTap(200, 280);  // the Play button
    EXPECT_EQ(game().play.screen, LevelSelect);
}
