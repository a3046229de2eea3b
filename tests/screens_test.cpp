// What each screen draws, checked against pictures composed here from the
// documented placements, and against single pixels worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "game/painter.h"
#include "platform/headless.h"
#include "render/canvas.h"
#include "render/screen.h"
#include "tests/support.h"
#include "ui/screens.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

const Bgr highlight{0x00, 0x00, 0xAA};
const Bgr numberTint{0x17, 0x23, 0x25};

// Level records: ground with the tank at (3, 7), a pool, a block, a wall.
Record level(int n) {
    Record r = filledRecord(2);
    r[7 * 16 + 3] = 10;
    r[5 * 16 + 5] = 1;
    r[5 * 16 + 6] = 1;
    r[6 * 16 + 6] = 5;
    r[2 * 16 + 9] = 3;
    r[15 * 16 + 15] = static_cast<std::uint8_t>(n % 2 ? 4 : 11);
    return r;
}

std::vector<Record> levels(int count) {
    std::vector<Record> out;
    for (int i = 0; i < count; ++i) out.push_back(level(i));
    return out;
}

// Every digit frame d gets one transparent pixel at column d, row 5, so the
// digit drawn in a place can be told from the others although all digits
// are tinted.
void markDigits() {
    for (int d = 0; d < 10; ++d) packImageMutable(2, 5)[((25 * d + 5) * 14 + d) * 4 + 3] = 0;
}

::testing::AssertionResult screenEquals(const Canvas& want) {
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 384; ++x) {
            const Bgr got = screenPixel(x, y), w = picturePixel(want.pixels, 384, x, y);
            if (got != w)
                return ::testing::AssertionFailure()
                       << "screen pixel " << x << "," << y << ": got (" << int(got.b) << "," << int(got.g) << ","
                       << int(got.r) << ") want (" << int(w.b) << "," << int(w.g) << "," << int(w.r) << ")";
        }
    return ::testing::AssertionSuccess();
}

// The level-select screen composed independently.
struct ExpectedSelect {
    Canvas canvas{384, 384};
    Sprite cell{&canvas, packImage(2, 4), 51, 50};
    Sprite digit{&canvas, packImage(2, 5), 14, 25};
    Sprite arrowFrame{&canvas, packImage(2, 6), 57, 57};
    Sprite arrow{&canvas, packImage(2, 7), 25, 15};

    ExpectedSelect() {
        digit.setFrameSize(14, 25);
        canvas.blit(packImage(2, 0), 0, 0, 384, 384);
    }
    // A level cell at (x, y) showing `digits` at the given left edges.
    void levelCell(int x, int y, std::vector<std::pair<int, int>> digits, bool lit) {
        const std::uint32_t tint = lit ? 0xAA0000u : 0x252317u;
        if (lit)
            cell.drawTinted(x, y, 0, tint);
        else
            cell.draw(x, y, 0);
        for (const auto& d : digits) digit.drawFrameTinted(d.first, y + 12, 0, d.second, tint);
    }
    // Two-digit numbers, as every test below uses.
    void twoDigits(int x, int y, int n, bool lit) { levelCell(x, y, {{x + 11, n / 10}, {x + 25, n % 10}}, lit); }
    void previousArrow() {
        arrowFrame.draw(9, 318, 0);
        arrow.draw(24, 338, 0);
    }
    void nextArrow() {
        arrowFrame.draw(70, 318, 0);
        arrow.draw(89, 339, 180);
    }
};

class Screens : public ::testing::Test {
protected:
    void start(int count) {
        setUpGame(levels(count));
        markDigits();
    }
    void SetUp() override { start(3); }
};

}  // namespace

TEST_F(Screens, TitleIsThePictureAsItIs) {
    game().play.screen = Title;
    drawScreen();
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 384; ++x) ASSERT_EQ(screenPixel(x, y), syntheticPixel(1, 27, x, y)) << x << "," << y;
    EXPECT_EQ(headless::stats().screenFrames, 1);
    EXPECT_EQ(headless::stats().swaps, 1);
    EXPECT_EQ(headless::stats().polls, 1);
}

TEST_F(Screens, LevelSelectSecondPageOf45) {
    start(45);
    game().play.level = 31;
    game().play.page = 7;  // stale: the drawing works it out again
    setScreen(LevelSelect);
    EXPECT_EQ(game().play.screen, LevelSelect);
    EXPECT_EQ(game().play.page, 1);
    EXPECT_EQ(headless::stats().screenFrames, 1);

    ExpectedSelect want;
    const int rows[] = {11, 72, 133};
    const int cols[] = {11, 73, 135, 197, 259, 321};
    for (int n = 31; n <= 45; ++n) {
        const int k = n - 31;
        want.twoDigits(cols[k % 6], rows[k / 6], n, n == 32);
    }
    want.previousArrow();
    EXPECT_TRUE(screenEquals(want.canvas));

    // By hand: the highlighted cell numbered 32 at (73, 11) in the tint.
    EXPECT_EQ(screenPixel(73 + 5, 11 + 5), highlight);
    EXPECT_EQ(screenPixel(73 + 11 + 4, 11 + 12 + 9), highlight);
    // Cell 31 at (11, 11) untinted, its digits in the number tint; the
    // hole of digit 3 (column 3, row 5) and of digit 1 show the cell.
    EXPECT_EQ(screenPixel(11 + 5, 11 + 5), syntheticPixel(2, 4, 5, 5));
    EXPECT_EQ(screenPixel(11 + 11 + 4, 11 + 12 + 9), numberTint);
    EXPECT_EQ(screenPixel(11 + 11 + 3, 11 + 12 + 5), syntheticPixel(2, 4, 11 + 3, 12 + 5));
    EXPECT_EQ(screenPixel(11 + 25 + 1, 11 + 12 + 5), syntheticPixel(2, 4, 25 + 1, 12 + 5));
    EXPECT_EQ(screenPixel(11 + 25 + 3, 11 + 12 + 5), numberTint);
    // The last row holds 43, 44, 45 at x 11, 73, 135; nothing beyond.
    EXPECT_EQ(screenPixel(135 + 5, 133 + 5), syntheticPixel(2, 4, 5, 5));
    EXPECT_EQ(screenPixel(197 + 5, 133 + 5), syntheticPixel(2, 0, 197 + 5, 133 + 5));
    EXPECT_EQ(screenPixel(11 + 5, 194 + 5), syntheticPixel(2, 0, 11 + 5, 194 + 5));
    // The previous-page arrow only.
    EXPECT_EQ(screenPixel(9 + 5, 318 + 5), syntheticPixel(2, 6, 5, 5));
    EXPECT_EQ(screenPixel(70 + 5, 318 + 5), syntheticPixel(2, 0, 70 + 5, 318 + 5));
}

TEST_F(Screens, LevelSelectFullSecondPageStillShowsTheNextArrow) {
    start(60);
    game().play.level = 59;
    setScreen(LevelSelect);
    EXPECT_EQ(game().play.page, 1);
    ExpectedSelect want;
    for (int n = 31; n <= 60; ++n) {
        const int k = n - 31;
        want.twoDigits(11 + 62 * (k % 6), 11 + 61 * (k / 6), n, n == 60);
    }
    want.previousArrow();
    want.nextArrow();
    EXPECT_TRUE(screenEquals(want.canvas));
    // The last cell, 60 at (321, 255), is lit; the next arrow's glyph is
    // turned half round: its last pixel comes first, one up and left.
    EXPECT_EQ(screenPixel(321 + 5, 255 + 5), highlight);
    EXPECT_EQ(screenPixel(75, 323), syntheticPixel(2, 6, 5, 5));
    EXPECT_EQ(screenPixel(88, 338), syntheticPixel(2, 7, 24, 14));
    EXPECT_EQ(screenPixel(88 + 12, 338 + 7), syntheticPixel(2, 7, 12, 7));
}

TEST_F(Screens, LevelSelectPageWithOneCell) {
    start(61);
    game().play.level = 60;
    setScreen(LevelSelect);
    EXPECT_EQ(game().play.page, 2);
    ExpectedSelect want;
    want.twoDigits(11, 11, 61, true);
    want.previousArrow();
    EXPECT_TRUE(screenEquals(want.canvas));
    EXPECT_EQ(screenPixel(16, 16), highlight);
    EXPECT_EQ(screenPixel(73 + 5, 11 + 5), syntheticPixel(2, 0, 78, 16));
}

TEST_F(Screens, LevelSelectFirstPage) {
    start(45);
    game().play.level = 0;
    setScreen(LevelSelect);
    EXPECT_EQ(game().play.page, 0);
    ExpectedSelect want;
    for (int i = 0; i < 30; ++i) {
        const int x = 11 + 62 * (i % 6), y = 11 + 61 * (i / 6), n = i + 1;
        if (n < 10)
            want.levelCell(x, y, {{x + 18, n}}, i == 0);
        else
            want.twoDigits(x, y, n, false);
    }
    want.nextArrow();
    EXPECT_TRUE(screenEquals(want.canvas));
}

TEST_F(Screens, LevelSelectWithoutLevelsShowsTheBackgroundAlone) {
    start(0);
    game().play.level = 0;
    setScreen(LevelSelect);
    ExpectedSelect want;
    EXPECT_TRUE(screenEquals(want.canvas));
}

TEST_F(Screens, NumbersAreCentredInTheirCell) {
    struct Case {
        int number;
        std::vector<std::pair<int, int>> digits;  // left edge, digit
    };
    const Case cases[] = {
        {7, {{29, 7}}},
        {42, {{22, 4}, {36, 2}}},
        {123, {{15, 1}, {29, 2}, {43, 3}}},
        {999, {{15, 9}, {29, 9}, {43, 9}}},
        // Only three places fit a cell: beyond 999 the last three show.
        {1234, {{15, 2}, {29, 3}, {43, 4}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.number);
        std::memset(sprites().screenCanvas.pixels, 0x33, 384 * 384 * 3);
        drawNumber(11, 11, k.number, 0x252317);
        const Bgr fill{0x33, 0x33, 0x33};
        for (int y = 0; y < 384; ++y)
            for (int x = 0; x < 384; ++x) {
                Bgr want = fill;
                for (const auto& d : k.digits)
                    if (x >= d.first && x < d.first + 14 && y >= 23 && y < 48)
                        want = (x == d.first + d.second && y == 23 + 5) ? fill : numberTint;
                ASSERT_EQ(picturePixel(sprites().screenCanvas.pixels, 384, x, y), want) << x << "," << y;
            }
    }
}

// --- The board screens ----------------------------------------------------

namespace {

class BoardScreens : public Screens {
protected:
    void SetUp() override {
        start(3);
        startLevel(game(), 0);
        // A cell with no terrain but an object byte: the background shows.
        game().play.board.at(1, 0) = Cell{0, 5, 0};
        headless::resetStats();
    }

    // The board as the playing screen lays it, without the tank.
    static void boardInto(Canvas& c) {
        for (int b = 0; b < 4; ++b)
            for (int a = 0; a < 4; ++a) c.blit(packImage(1, 30), 96 * a, 96 * b, 96, 96);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (game().play.board.at(x, y).terrain != 0) c.blit(cellImage(game(), x, y, true), 24 * x, 24 * y, 24, 24);
    }

    static Canvas* expectedResult(bool tank, bool firstButton) {
        auto* c = new Canvas(384, 384);
        boardInto(*c);
        if (tank) Sprite(c, packImage(1, 23), 24, 24).draw(24 * game().play.tank.x, 24 * game().play.tank.y, game().play.tank.angle);
        Sprite overlay(c, packImage(2, 12), 24, 24);
        for (int b = 0; b < 16; ++b)
            for (int a = 0; a < 16; ++a) overlay.draw(24 * a, 24 * b, 0);
        if (firstButton) c->blit(packImage(2, 14), 77, 192, 229, 57);
        c->blit(packImage(2, 15), 77, 255, 229, 57);
        c->blit(packImage(2, 13), 77, 318, 229, 57);
        return c;
    }
};

}  // namespace

TEST_F(BoardScreens, PlayingShowsTheBoardAndTheTankOnItsTerrain) {
    game().play.tank.angle = 90;  // in the middle of nothing: any angle draws
    setScreen(Playing);
    Canvas want(384, 384);
    boardInto(want);
    Canvas tank(24, 24);
    tank.blit(cellImage(game(), 3, 7, false), 0, 0, 24, 24);
    Sprite(&tank, packImage(1, 23), 24, 24).draw(0, 0, 90);
    want.blit(tank.pixels, 72, 168, 24, 24);
    EXPECT_TRUE(screenEquals(want));

    // By hand: the empty cell (1, 0) shows the background tile, the pool
    // its water, the tank at 90 keeps the ground in its last column.
    for (int y = 0; y < 24; ++y)
        for (int x = 24; x < 48; ++x) ASSERT_EQ(screenPixel(x, y), syntheticPixel(1, 30, x, y));
    EXPECT_EQ(screenPixel(5 * 24 + 10, 5 * 24 + 10), syntheticPixel(1, 25, 10, 10));
    EXPECT_EQ(screenPixel(72 + 23, 168 + 9), syntheticPixel(1, 14, 23, 9));
    EXPECT_EQ(screenPixel(72 + 0, 168 + 5), syntheticPixel(1, 23, 5, 23));
    // The background tile repeats every 96 pixels.
    game().play.board.at(5, 4).terrain = 0;
    drawScreen();
    EXPECT_EQ(screenPixel(5 * 24 + 1, 4 * 24 + 2), syntheticPixel(1, 30, 120 - 96 + 1, 2));
    EXPECT_EQ(headless::stats().screenFrames, 2);
}

TEST_F(BoardScreens, PlayingAfterALossDrawsNoTank) {
    game().play.outcome = Lost;
    setScreen(Playing);
    Canvas want(384, 384);
    boardInto(want);
    EXPECT_TRUE(screenEquals(want));
    EXPECT_EQ(screenPixel(72 + 5, 168 + 5), syntheticPixel(1, 14, 5, 5));
}

TEST_F(BoardScreens, ResultForEachOutcome) {
    struct Case {
        const char* name;
        Outcome outcome;
        int level;
        bool tank, first;
    };
    const Case cases[] = {
        {"paused", InPlay, 0, true, true},
        {"paused on the last level", InPlay, 2, true, true},
        {"won", Won, 1, false, true},
        {"won the last level", Won, 2, false, false},
        {"lost", Lost, 0, false, false},
        {"lost the last level", Lost, 2, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        startLevel(game(), k.level);
        game().play.board.at(1, 0) = Cell{0, 5, 0};
        game().play.outcome = k.outcome;
        setScreen(Result);
        std::unique_ptr<Canvas> want(expectedResult(k.tank, k.first));
        EXPECT_TRUE(screenEquals(*want));

        // By hand. The overlay is transparent in its first row: there the
        // tank (turned to 270, so its column 23 lies along the top) shows.
        EXPECT_EQ(screenPixel(72 + 5, 168), k.tank ? syntheticPixel(1, 23, 23, 5) : syntheticPixel(1, 14, 5, 0));
        // First button, or the overlay where it would be.
        EXPECT_EQ(screenPixel(177, 222), k.first ? syntheticPixel(2, 14, 100, 30) : syntheticPixel(2, 12, 177 % 24, 222 % 24));
        EXPECT_EQ(screenPixel(177, 285), syntheticPixel(2, 15, 100, 30));
        EXPECT_EQ(screenPixel(177, 348), syntheticPixel(2, 13, 100, 30));
        EXPECT_EQ(screenPixel(77, 255), syntheticPixel(2, 15, 0, 0));
        EXPECT_EQ(screenPixel(305, 311), syntheticPixel(2, 15, 228, 56));
        // Outside the buttons, the overlay over everything.
        EXPECT_EQ(screenPixel(10, 10), syntheticPixel(2, 12, 10, 10));
        EXPECT_EQ(screenPixel(76, 300), syntheticPixel(2, 12, 76 % 24, 300 % 24));
        EXPECT_EQ(screenPixel(306, 300), syntheticPixel(2, 12, 306 % 24, 300 % 24));
    }
}

TEST_F(BoardScreens, AnUnknownScreenDrawsNothingNew) {
    for (int state : {3, 5, -1}) {
        SCOPED_TRACE(state);
        for (int i = 0; i < ScreenBytes; ++i) display().buffer[i] = static_cast<std::uint8_t>(i * 13 + state);
        const std::vector<std::uint8_t> before(display().buffer, display().buffer + ScreenBytes);
        headless::resetStats();
        game().play.screen = static_cast<Screen>(state);
        drawScreen();
        EXPECT_EQ(0, std::memcmp(before.data(), display().buffer, ScreenBytes));
        // The frame still ends: shown, swapped, polled.
        EXPECT_EQ(headless::stats().screenFrames, 1);
        EXPECT_EQ(headless::stats().swaps, 1);
        EXPECT_EQ(headless::stats().polls, 1);
    }
}
