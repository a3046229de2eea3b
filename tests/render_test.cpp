// Canvas and Sprite against their arithmetic, the screen buffer copy and the
// pause rounding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/headless.h"
#include "render/canvas.h"
#include "render/screen.h"
#include "tests/support.h"

using testsupport::Bgr;

namespace {

// A 4-byte picture whose colour names its source pixel: blue = 10 * column
// + 1, green = 10 * row + 2, red 200 - column - row, all opaque. No pixel
// is black, so every written canvas pixel shows which source pixel it got.
std::vector<std::uint8_t> codedImage(int w, int h, std::uint8_t alpha = 255) {
    std::vector<std::uint8_t> img(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &img[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = static_cast<std::uint8_t>(10 * x + 1);
            p[1] = static_cast<std::uint8_t>(10 * y + 2);
            p[2] = static_cast<std::uint8_t>(200 - x - y);
            p[3] = alpha;
        }
    return img;
}

Bgr coded(int x, int y) {
    return Bgr{static_cast<std::uint8_t>(10 * x + 1), static_cast<std::uint8_t>(10 * y + 2),
               static_cast<std::uint8_t>(200 - x - y)};
}

Bgr at(const Canvas& c, int x, int y) { return testsupport::picturePixel(c.pixels, c.width, x, y); }

const Bgr black{0, 0, 0};

// Which canvas pixels are not black.
std::vector<bool> written(const Canvas& c) {
    std::vector<bool> out(static_cast<std::size_t>(c.width) * c.height);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) out[y * c.width + x] = at(c, x, y) != black;
    return out;
}

int countWritten(const Canvas& c) {
    int n = 0;
    for (bool w : written(c)) n += w;
    return n;
}

// The written pixels form exactly the box x0..x1, y0..y1.
void expectBox(const Canvas& c, int x0, int x1, int y0, int y1) {
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const bool inside = x >= x0 && x <= x1 && y >= y0 && y <= y1;
            EXPECT_EQ(at(c, x, y) != black, inside) << "pixel " << x << "," << y;
        }
}

}  // namespace

// --- Sprite turning -------------------------------------------------------

TEST(SpriteTurn, RightAnglesCoverTheirBoxAndShowTheTurnedPicture) {
    const auto img = codedImage(24, 24);
    const int X = 3, Y = 4;
    {
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(X, Y, 0);
        expectBox(c, X, X + 23, Y, Y + 23);
        for (int i = 0; i < 24; ++i)
            for (int j = 0; j < 24; ++j) ASSERT_EQ(at(c, X + j, Y + i), coded(j, i));
    }
    {
        // A quarter turn clockwise: the left column comes out as the top
        // row, read from the bottom up; the box moves one column left.
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(X, Y, 90);
        expectBox(c, X, X + 22, Y, Y + 23);
        EXPECT_EQ(at(c, X, Y), coded(0, 23));
        for (int i = 0; i < 24; ++i)
            for (int k = 0; k <= 22; ++k) ASSERT_EQ(at(c, X + k, Y + i), coded(i, 23 - k)) << k << "," << i;
    }
    {
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(X, Y, 180);
        expectBox(c, X, X + 22, Y, Y + 22);
        for (int m = 0; m <= 22; ++m)
            for (int k = 0; k <= 22; ++k) ASSERT_EQ(at(c, X + k, Y + m), coded(23 - k, 23 - m)) << k << "," << m;
    }
    {
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(X, Y, 270);
        expectBox(c, X, X + 23, Y, Y + 22);
        for (int m = 0; m <= 22; ++m)
            for (int j = 0; j < 24; ++j) ASSERT_EQ(at(c, X + j, Y + m), coded(23 - m, j)) << j << "," << m;
    }
}

TEST(SpriteTurn, SourceRowAndColumnThatATurnLoses) {
    const auto img = codedImage(24, 24);
    auto shows = [&](float angle, int sx, int sy) {
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(3, 3, angle);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x)
                if (at(c, x, y) == coded(sx, sy)) return true;
        return false;
    };
    for (int k = 0; k < 24; ++k) {
        EXPECT_FALSE(shows(90, k, 0)) << "90: row 0 col " << k;
        EXPECT_FALSE(shows(180, k, 0)) << "180: row 0 col " << k;
        EXPECT_FALSE(shows(180, 0, k)) << "180: col 0 row " << k;
        EXPECT_FALSE(shows(270, 0, k)) << "270: col 0 row " << k;
    }
    EXPECT_TRUE(shows(90, 5, 1));
    EXPECT_TRUE(shows(270, 1, 5));
}

TEST(SpriteTurn, NoCorrectionOffTheThreeExactAngles) {
    const auto img = codedImage(24, 24);
    const int X = 3, Y = 4;
    {
        // 91 is nearly 90 but the box is not moved: its first column stays
        // blank and its last one is written, the other way round from 90.
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(X, Y, 91);
        for (int i = 0; i < 24; ++i) EXPECT_EQ(at(c, X, Y + i), black) << i;
        int lastColumn = 0;
        for (int i = 0; i < 24; ++i) lastColumn += at(c, X + 23, Y + i) != black;
        EXPECT_GT(lastColumn, 20);
        for (int i = 0; i < 30; ++i) EXPECT_EQ(at(c, X - 1, i), black);
    }
    {
        // -90 turns like 270 but is not moved up a row.
        Canvas c(30, 30);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(X, Y, -90);
        expectBox(c, X, X + 23, Y + 1, Y + 23);
        for (int i = 1; i < 24; ++i)
            for (int j = 0; j < 24; ++j) ASSERT_EQ(at(c, X + j, Y + i), coded(24 - i, j)) << j << "," << i;
    }
}

TEST(SpriteTurn, FortyFiveDegreesFills478Positions) {
    const auto img = codedImage(24, 24);
    Canvas c(24, 24);
    Sprite s(&c, img.data(), 24, 24);
    s.draw(0, 0, 45);
    EXPECT_EQ(countWritten(c), 478);
    // The centre stays where it was.
    EXPECT_EQ(at(c, 12, 12), coded(12, 12));
}

TEST(SpriteTurn, NonSquareSpriteKeepsItsBox) {
    // 25 x 15, turned half round like the next-page arrow: half sizes 12
    // and 7, and the box of 25 x 15 moved up and left by one.
    const auto img = codedImage(25, 15);
    Canvas c(40, 30);
    Sprite s(&c, img.data(), 25, 15);
    s.draw(5, 5, 180);
    // sx = 24 - j, sy = 14 - i: with an odd width every column maps.
    expectBox(c, 4, 28, 4, 18);
    EXPECT_EQ(at(c, 4, 4), coded(24, 14));
    EXPECT_EQ(at(c, 28, 18), coded(0, 0));
}

// --- Alpha, tint, frames ----------------------------------------------------

TEST(SpriteBlend, OpaqueCopiesTransparentSkipsPartialBlendsEachChannel) {
    // One pixel of each kind on a grey canvas.
    std::vector<std::uint8_t> img(3 * 1 * 4);
    const std::uint8_t px[3][4] = {{17, 130, 251, 255}, {99, 98, 97, 0}, {200, 60, 10, 128}};
    std::memcpy(img.data(), px, sizeof px);
    Canvas c(3, 1);
    for (int i = 0; i < 9; ++i) c.pixels[i] = static_cast<std::uint8_t>(100 + i);
    Sprite s(&c, img.data(), 3, 1);
    s.draw(0, 0, 0);
    EXPECT_EQ(at(c, 0, 0), (Bgr{17, 130, 251}));
    EXPECT_EQ(at(c, 1, 0), (Bgr{103, 104, 105}));
    // a = 128/255: 127/255 of the canvas plus 128/255 of the sprite, cut.
    // blue: (127*106 + 128*200)/255 = 153.19; green: (127*107 + 128*60)/255
    // = 83.40; red: (127*108 + 128*10)/255 = 58.80.
    EXPECT_EQ(at(c, 2, 0), (Bgr{153, 83, 58}));
}

TEST(SpriteBlend, ExtendedPrecisionKeepsAnEqualComponent) {
    EXPECT_EQ(blendComponent(10, 10, 5), 10);
    // The same sum in plain double lands just below 10.
    const double a = 5 / 255.0;
    EXPECT_EQ(static_cast<int>((1 - a) * 10.0 + a * 10.0), 9);
    // Through a draw: a faint pixel over its own colour changes nothing.
    const std::uint8_t img[4] = {10, 10, 10, 5};
    Canvas c(1, 1);
    std::memset(c.pixels, 10, 3);
    Sprite s(&c, img, 1, 1);
    s.draw(0, 0, 0);
    EXPECT_EQ(at(c, 0, 0), (Bgr{10, 10, 10}));
    // And the ends: alpha 255 gives the source, a sum is truncated.
    EXPECT_EQ(blendComponent(0, 255, 255), 255);
    EXPECT_EQ(blendComponent(255, 0, 255), 0);
}

TEST(SpriteBlend, TheQuickBlendMatchesTheExtendedStepsEverywhere) {
    // Every alpha, canvas and sprite component: 16.6 million cases.
    long wholeNumbersBelow = 0;
    for (int a = 1; a < 256; ++a)
        for (int d = 0; d < 256; ++d)
            for (int s = 0; s < 256; ++s) {
                const auto A = static_cast<std::uint8_t>(a), D = static_cast<std::uint8_t>(d),
                           S = static_cast<std::uint8_t>(s);
                const std::uint8_t extended = blendComponentExtended(D, S, A);
                ASSERT_EQ(blendComponent(D, S, A), extended) << "alpha " << a << " over " << d << " of " << s;
                if (((255 - a) * d + a * s) % 255 == 0 && extended != ((255 - a) * d + a * s) / 255)
                    ++wholeNumbersBelow;
            }
    // Some whole-number sums do come out one lower: the slow path matters.
    EXPECT_GT(wholeNumbersBelow, 0);
}

TEST(SpriteBlend, TheExtendedStepsRoundAsTheX87UnitOnEveryMachine) {
    // A hash of all 16.7 million results, recorded from 80-bit long double
    // arithmetic; where long double is that format, each case is compared.
    std::uint64_t hash = 1469598103934665603ull;
    for (int a = 0; a < 256; ++a)
        for (int d = 0; d < 256; ++d)
            for (int s = 0; s < 256; ++s) {
                const auto A = static_cast<std::uint8_t>(a), D = static_cast<std::uint8_t>(d),
                           S = static_cast<std::uint8_t>(s);
                const std::uint8_t extended = blendComponentExtended(D, S, A);
                hash = (hash ^ extended) * 1099511628211ull;
#if defined(__x86_64__) || defined(__i386__)
                const long double fraction = static_cast<long double>(a) / 255;
                const long double sum = (1 - fraction) * d + fraction * s;
                ASSERT_EQ(extended, static_cast<std::uint8_t>(sum)) << "alpha " << a << " over " << d << " of " << s;
#endif
            }
    EXPECT_EQ(hash, 0x2b5f50682381abdcull);
}

TEST(SpriteBlend, OneColourSpritesBlendEveryCanvasByteAsPixelByPixel) {
    // Such a sprite goes through a table; each byte value in each channel,
    // plain and tinted, and again after another colour replaced the table.
    Canvas c(16, 16);
    const std::uint32_t colours[3] = {0x12345678, 0x6E120A08, 0x6E120A08};
    for (int round = 0; round < 3; ++round) {
        const std::uint32_t colour = colours[round];
        std::vector<std::uint8_t> img(16 * 16 * 4);
        for (std::size_t i = 0; i < img.size(); ++i) img[i] = static_cast<std::uint8_t>(colour >> (8 * (i % 4)));
        std::vector<std::uint8_t> before(16 * 16 * 3);
        for (std::size_t i = 0; i < before.size(); ++i) before[i] = static_cast<std::uint8_t>(i * 7 + round);
        std::memcpy(c.pixels, before.data(), before.size());
        Sprite s(&c, img.data(), 16, 16);
        const bool tinted = round == 2;
        if (tinted)
            s.drawTinted(0, 0, 0, 0x203040);
        else
            s.draw(0, 0, 0);
        const std::uint8_t tint[3] = {0x40, 0x30, 0x20};
        for (std::size_t i = 0; i < before.size(); ++i)
            ASSERT_EQ(c.pixels[i], blendComponent(before[i], tinted ? tint[i % 3] : img[i % 3], img[3])) << round << " " << i;
    }
}

TEST(SpriteTint, ReplacesColourKeepsAlphaThenOwnColoursReturn) {
    // Row 0 opaque, row 1 half, row 2 transparent.
    std::vector<std::uint8_t> img = codedImage(2, 3);
    for (int x = 0; x < 2; ++x) {
        img[(1 * 2 + x) * 4 + 3] = 128;
        img[(2 * 2 + x) * 4 + 3] = 0;
    }
    Canvas c(2, 3);
    for (int i = 0; i < 18; ++i) c.pixels[i] = 40;
    Sprite s(&c, img.data(), 2, 3);
    // The highest byte is ignored; the lowest is blue.
    s.drawTinted(0, 0, 0, 0xFF123456u);
    EXPECT_EQ(at(c, 0, 0), (Bgr{0x56, 0x34, 0x12}));
    EXPECT_EQ(at(c, 1, 0), (Bgr{0x56, 0x34, 0x12}));
    const Bgr half{blendComponent(40, 0x56, 128), blendComponent(40, 0x34, 128), blendComponent(40, 0x12, 128)};
    EXPECT_EQ(at(c, 0, 1), half);
    EXPECT_EQ(at(c, 1, 1), half);
    EXPECT_EQ(at(c, 0, 2), (Bgr{40, 40, 40}));
    EXPECT_EQ(s.tintOn, 0);

    s.draw(0, 0, 0);
    EXPECT_EQ(at(c, 0, 0), coded(0, 0));
    EXPECT_EQ(at(c, 1, 0), coded(1, 0));
    EXPECT_EQ(at(c, 0, 2), (Bgr{40, 40, 40}));

    // A tinted frame draw, then untinted again.
    s.drawFrameTinted(0, 0, 0, 0, 0x00AA00u);
    EXPECT_EQ(at(c, 1, 0), (Bgr{0x00, 0xAA, 0x00}));
    s.draw(0, 0, 0);
    EXPECT_EQ(at(c, 1, 0), coded(1, 0));
}

TEST(SpriteFrames, FrameHeightPicksTheRowsAndTheFrameStays) {
    // Four frames of 14 x 25 stacked: 100 rows.
    const auto img = codedImage(14, 100);
    Canvas c(14, 25);
    Sprite s(&c, img.data(), 14, 25);
    s.setFrameSize(14, 25);
    s.drawFrame(0, 0, 0, 3);
    for (int i = 0; i < 25; ++i)
        for (int j = 0; j < 14; ++j) ASSERT_EQ(at(c, j, i), coded(j, 75 + i)) << j << "," << i;
    // A plain draw keeps frame 3.
    std::memset(c.pixels, 0, 14 * 25 * 3);
    s.draw(0, 0, 0);
    EXPECT_EQ(at(c, 0, 0), coded(0, 75));
    EXPECT_EQ(at(c, 13, 24), coded(13, 99));
    s.drawFrame(0, 0, 0, 1);
    EXPECT_EQ(at(c, 4, 0), coded(4, 25));
    EXPECT_EQ(at(c, 4, 24), coded(4, 49));

    // Without a frame size the frame number reads nothing else.
    Canvas d(14, 25);
    Sprite plain(&d, img.data(), 14, 25);
    plain.drawFrame(0, 0, 0, 3);
    EXPECT_EQ(at(d, 0, 0), coded(0, 0));
    EXPECT_EQ(at(d, 13, 24), coded(13, 24));
}

// --- Clipping -------------------------------------------------------------

TEST(SpriteClip, EveryCanvasEdge) {
    const auto img = codedImage(24, 24);
    struct Case {
        int x, y, x0, x1, y0, y1;
    };
    // Sprite at (x, y) on a 24 x 24 canvas: the box it may write.
    const Case cases[] = {
        {-10, 5, 0, 13, 5, 23},    // off the left
        {10, 5, 10, 23, 5, 23},    // off the right
        {3, -7, 3, 23, 0, 16},     // off the top
        {-2, 20, 0, 21, 20, 23},   // off the bottom and the left
        {23, 23, 23, 23, 23, 23},  // one pixel left
    };
    for (const Case& k : cases) {
        Canvas c(24, 24);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(k.x, k.y, 0);
        SCOPED_TRACE(testing::Message() << "at " << k.x << "," << k.y);
        expectBox(c, k.x0, k.x1, k.y0, k.y1);
        EXPECT_EQ(at(c, k.x0, k.y0), coded(k.x0 - k.x, k.y0 - k.y));
        EXPECT_EQ(at(c, k.x1, k.y1), coded(k.x1 - k.x, k.y1 - k.y));
    }
    // Wholly outside: nothing, and no stray write.
    for (int pos : {-24, 24, 100, -100}) {
        Canvas c(24, 24);
        Sprite s(&c, img.data(), 24, 24);
        s.draw(pos, 0, 0);
        s.draw(0, pos, 90);
        EXPECT_EQ(countWritten(c), 0);
    }
    // The right-angle correction can push the box off the canvas too.
    Canvas c(24, 24);
    Sprite s(&c, img.data(), 24, 24);
    s.draw(0, 0, 180);
    expectBox(c, 0, 22, 0, 22);
    EXPECT_EQ(at(c, 0, 0), coded(23, 23));
}

TEST(CanvasBlit, ClipsPixelByPixelAndTheSourceAdvances) {
    // A 12 x 2 strip: pixel i of row r is (i + 1, r + 1, 50 + i).
    std::vector<std::uint8_t> strip;
    for (int r = 0; r < 2; ++r)
        for (int i = 0; i < 12; ++i) {
            strip.push_back(static_cast<std::uint8_t>(i + 1));
            strip.push_back(static_cast<std::uint8_t>(r + 1));
            strip.push_back(static_cast<std::uint8_t>(50 + i));
        }
    {
        Canvas c(24, 24);
        c.blit(strip.data(), 23, 0, 12, 1);
        EXPECT_EQ(countWritten(c), 1);
        EXPECT_EQ(at(c, 23, 0), (Bgr{1, 1, 50}));
    }
    {
        // Two rows at column 23: the second row starts 12 source pixels on.
        Canvas c(24, 24);
        c.blit(strip.data(), 23, 5, 12, 2);
        EXPECT_EQ(countWritten(c), 2);
        EXPECT_EQ(at(c, 23, 5), (Bgr{1, 1, 50}));
        EXPECT_EQ(at(c, 23, 6), (Bgr{1, 2, 50}));
    }
    {
        // Off the left and the top: the skipped pixels still use up source.
        Canvas c(24, 24);
        c.blit(strip.data(), -3, -1, 12, 2);
        EXPECT_EQ(countWritten(c), 9);
        EXPECT_EQ(at(c, 0, 0), (Bgr{4, 2, 53}));
        EXPECT_EQ(at(c, 8, 0), (Bgr{12, 2, 61}));
    }
    {
        // A vertical strip (1 x 12) down the last column from row 20.
        Canvas c(24, 24);
        c.blit(strip.data(), 23, 20, 1, 12);
        EXPECT_EQ(countWritten(c), 4);
        EXPECT_EQ(at(c, 23, 20), (Bgr{1, 1, 50}));
        EXPECT_EQ(at(c, 23, 23), (Bgr{4, 1, 53}));
    }
    {
        Canvas c(24, 24);
        c.blit(strip.data(), 0, 0, 0, 5);
        c.blit(strip.data(), 0, 0, 5, 0);
        c.blit(strip.data(), 0, 0, -1, -1);
        EXPECT_EQ(countWritten(c), 0);
    }
}

// --- The screen buffer ----------------------------------------------------

TEST(ScreenBuffer, BlitToScreenTakesTopThenLeft) {
    std::memset(display().buffer, 0, ScreenBytes);
    std::vector<std::uint8_t> tile(24 * 24 * 3);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            tile[(y * 24 + x) * 3 + 0] = static_cast<std::uint8_t>(x + 1);
            tile[(y * 24 + x) * 3 + 1] = static_cast<std::uint8_t>(100 + y);
            tile[(y * 24 + x) * 3 + 2] = static_cast<std::uint8_t>(200 + (x ^ y) % 50);
        }
    blitToScreen(tile.data(), 24, 24, 48, 24);
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) {
            const bool inside = x >= 24 && x <= 47 && y >= 48 && y <= 71;
            const Bgr want = inside ? testsupport::picturePixel(tile.data(), 24, x - 24, y - 48) : black;
            ASSERT_EQ(testsupport::screenPixel(x, y), want) << x << "," << y;
        }
    // Nothing for an empty rectangle.
    blitToScreen(tile.data(), 0, 24, 0, 0);
    blitToScreen(tile.data(), 24, -1, 0, 0);
    EXPECT_EQ(testsupport::screenPixel(0, 0), black);
    std::memset(display().buffer, 0, ScreenBytes);
}

TEST(ScreenBuffer, PresentPutsTheCanvasAtColumnThenRow) {
    std::memset(display().buffer, 0, ScreenBytes);
    headless::resetStats();
    display().drawing = true;
    Canvas c(24, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 24; ++x) {
            std::uint8_t* p = c.pixels + c.index(x, y) * 3;
            p[0] = static_cast<std::uint8_t>(x + 1);
            p[1] = static_cast<std::uint8_t>(y + 1);
            p[2] = 77;
        }
    c.present(360, 48);
    EXPECT_EQ(testsupport::screenPixel(360, 48), (Bgr{1, 1, 77}));
    EXPECT_EQ(testsupport::screenPixel(383, 59), (Bgr{24, 12, 77}));
    EXPECT_EQ(testsupport::screenPixel(359, 48), black);
    EXPECT_EQ(testsupport::screenPixel(360, 60), black);
    EXPECT_EQ(testsupport::screenPixel(48, 360), black);
    EXPECT_EQ(headless::stats().textureUpdates, 1);
    std::memset(display().buffer, 0, ScreenBytes);
}

TEST(Pause, RoundsUpToWholeMillisecondsAndEveryCallCounts) {
    EXPECT_EQ(pauseMillisFor(10), 1u);
    EXPECT_EQ(pauseMillisFor(20), 1u);
    EXPECT_EQ(pauseMillisFor(50), 1u);
    EXPECT_EQ(pauseMillisFor(1), 1u);
    EXPECT_EQ(pauseMillisFor(1000), 1u);
    EXPECT_EQ(pauseMillisFor(1001), 2u);
    EXPECT_EQ(pauseMillisFor(0), 0u);
    EXPECT_EQ(pauseMillisFor(999999), 1000u);
    EXPECT_EQ(pauseMillisFor(1000000), 0u);
    EXPECT_EQ(pauseMillisFor(4000000000u), 0u);

    headless::resetStats();
    display().drawing = true;
    for (unsigned m : {10u, 20u, 50u, 0u, 1000000u, 1001u}) pauseMicros(m);
    EXPECT_EQ(headless::stats().pauses, 6);
    EXPECT_EQ(headless::stats().pausedMillis, 1 + 1 + 1 + 0 + 0 + 2);
}
