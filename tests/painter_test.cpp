// Cell pictures: the stored tiles, objects over their terrain, and the shores
// of water and sunk blocks, pixel by pixel.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/painter.h"
#include "render/canvas.h"
#include "render/screen.h"
#include "tests/support.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

// An expected 24 x 24 picture.
struct Picture {
    Bgr px[24][24];  // [row][column]

    static Picture of(int pack, int block) {
        Picture p;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) p.px[y][x] = syntheticPixel(pack, block, x, y);
        return p;
    }
    // Strip `block` of pack 2 along a row, pixel i at column col + i.
    void row(int y, int col, int block) {
        for (int i = 0; i < 12; ++i) px[y][col + i] = strip(block, i);
    }
    // Strip `block` down a column, pixel i at row r + i.
    void column(int x, int r, int block) {
        for (int i = 0; i < 12; ++i) px[r + i][x] = strip(block, i);
    }
    static Bgr strip(int block, int i) { return syntheticPixel(2, block, i, 0); }
};

::testing::AssertionResult looksLike(const std::uint8_t* picture, const Picture& want) {
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const Bgr got = picturePixel(picture, 24, x, y);
            if (got != want.px[y][x]) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << ": got (" << int(got.b) << "," << int(got.g) << ","
                       << int(got.r) << ") want (" << int(want.px[y][x].b) << "," << int(want.px[y][x].g) << ","
                       << int(want.px[y][x].r) << ")";
            }
        }
    return ::testing::AssertionSuccess();
}

class Painter : public ::testing::Test {
protected:
    void SetUp() override {
        setUpGame({filledRecord(2)});
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) game().play.board.at(x, y) = Cell{Ground, 0, 0};
    }
    static void set(int x, int y, std::uint8_t terrain, std::uint8_t object = 0) {
        game().play.board.at(x, y) = Cell{terrain, object, 0};
    }
};

}  // namespace

TEST_F(Painter, TheSyntheticStripsDiffer) {
    // The shore tests below rely on it.
    for (int i = 0; i < 12; ++i) {
        EXPECT_NE(Picture::strip(1, i), Picture::strip(2, i));
        EXPECT_NE(Picture::strip(2, i), Picture::strip(3, i));
        EXPECT_NE(Picture::strip(1, i), Picture::strip(3, i));
        if (i > 0) {
            EXPECT_NE(Picture::strip(1, i), Picture::strip(1, 0));
        }
    }
}

TEST_F(Painter, ALoneWaterCellHasFourShores) {
    set(5, 5, Water);
    Picture want = Picture::of(1, 25);
    want.column(23, 0, 1);   // east, upper
    want.column(23, 12, 3);  // east, lower
    want.row(0, 0, 1);       // north, left
    want.row(0, 12, 3);      // north, right
    want.column(0, 12, 3);   // west, lower
    want.column(0, 0, 1);    // west, upper
    want.row(23, 12, 1);     // south, right
    want.row(23, 0, 3);      // south, left
    const std::uint8_t* got = cellImage(game(), 5, 5, true);
    EXPECT_EQ(got, sprites().waterCanvas.pixels);
    EXPECT_TRUE(looksLike(got, want));
    // The corners come from the last half drawn over them.
    EXPECT_EQ(picturePixel(got, 24, 23, 0), Picture::strip(3, 11));
    EXPECT_EQ(picturePixel(got, 24, 0, 0), Picture::strip(1, 0));
    EXPECT_EQ(picturePixel(got, 24, 0, 23), Picture::strip(3, 0));
    EXPECT_EQ(picturePixel(got, 24, 23, 23), Picture::strip(1, 11));
    // A shore is one pixel wide.
    EXPECT_EQ(picturePixel(got, 24, 1, 1), syntheticPixel(1, 25, 1, 1));
    EXPECT_EQ(picturePixel(got, 24, 22, 22), syntheticPixel(1, 25, 22, 22));
    // The same without objects: a water cell has none.
    EXPECT_TRUE(looksLike(cellImage(game(), 5, 5, false), want));
}

TEST_F(Painter, NoShoreAlongTheBoardsEdge) {
    {
        // Top-left corner: only east and south shores, with plain strips at
        // the corners that touch the edge (the diagonal outside is water).
        set(0, 0, Water);
        Picture want = Picture::of(1, 25);
        want.column(23, 0, 1);
        want.column(23, 12, 3);
        want.row(23, 12, 1);
        want.row(23, 0, 3);
        EXPECT_TRUE(looksLike(cellImage(game(), 0, 0, true), want));
    }
    {
        // Bottom-right corner: north and west, plain strips.
        set(15, 15, Water);
        Picture want = Picture::of(1, 25);
        want.row(0, 0, 1);
        want.row(0, 12, 3);
        want.column(0, 12, 3);
        want.column(0, 0, 1);
        EXPECT_TRUE(looksLike(cellImage(game(), 15, 15, true), want));
    }
    {
        // Top edge: three sides, plain strips everywhere.
        set(7, 0, Water);
        Picture want = Picture::of(1, 25);
        want.column(23, 0, 1);
        want.column(23, 12, 3);
        want.column(0, 12, 3);
        want.column(0, 0, 1);
        want.row(23, 12, 1);
        want.row(23, 0, 3);
        EXPECT_TRUE(looksLike(cellImage(game(), 7, 0, true), want));
    }
    {
        // Left edge, sunk block: the same rules.
        set(0, 9, SunkBlock);
        Picture want = Picture::of(1, 26);
        want.column(23, 0, 1);
        want.column(23, 12, 3);
        want.row(0, 0, 1);
        want.row(0, 12, 3);
        want.row(23, 12, 1);
        want.row(23, 0, 3);
        EXPECT_TRUE(looksLike(cellImage(game(), 0, 9, true), want));
    }
}

TEST_F(Painter, DryEastWetNorthDryNorthEastTakesTheCornerStrip) {
    set(5, 5, Water);
    set(5, 4, Water);
    Picture want = Picture::of(1, 25);
    want.column(23, 0, 2);   // step 1, corner strip
    want.column(23, 12, 3);
    want.column(0, 12, 3);
    want.column(0, 0, 2);    // west upper: north wet, north-west dry
    want.row(23, 12, 1);
    want.row(23, 0, 3);
    EXPECT_TRUE(looksLike(cellImage(game(), 5, 5, true), want));
    EXPECT_EQ(picturePixel(cellImage(game(), 5, 5, true), 24, 23, 0), Picture::strip(2, 0));
}

TEST_F(Painter, EachHalfTakesTheCornerStripWhenItsCornerIsOpen) {
    struct Case {
        const char* name;
        int adjX, adjY;    // the wet neighbour beside the dry side
        int diagX, diagY;  // the corner between them
        bool vertical;
        int fixed, start;  // column (vertical) or row, and first pixel
        int plain;         // the strip used when the corner is wet too
    };
    const Case cases[] = {
        {"east upper", 0, -1, 1, -1, true, 23, 0, 1},  {"east lower", 0, 1, 1, 1, true, 23, 12, 3},
        {"north left", -1, 0, -1, -1, false, 0, 0, 1}, {"north right", 1, 0, 1, -1, false, 0, 12, 3},
        {"west lower", 0, 1, -1, 1, true, 0, 12, 3},   {"west upper", 0, -1, -1, -1, true, 0, 0, 1},
        {"south right", 1, 0, 1, 1, false, 23, 12, 1}, {"south left", -1, 0, -1, 1, false, 23, 0, 3},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        for (bool wetCorner : {false, true}) {
            SetUp();
            set(7, 7, Water);
            set(7 + k.adjX, 7 + k.adjY, Water);
            if (wetCorner) set(7 + k.diagX, 7 + k.diagY, Water);
            const std::uint8_t* got = cellImage(game(), 7, 7, true);
            // Pixels 1 to 10 of the half: no other half reaches them.
            for (int i = 1; i <= 10; ++i) {
                const int x = k.vertical ? k.fixed : k.start + i;
                const int y = k.vertical ? k.start + i : k.fixed;
                EXPECT_EQ(picturePixel(got, 24, x, y), Picture::strip(wetCorner ? k.plain : 2, i))
                    << "pixel " << i << (wetCorner ? " corner wet" : " corner dry");
            }
        }
    }
}

TEST_F(Painter, ASunkBlockAndWaterShareNoShore) {
    set(5, 5, Water);
    set(6, 5, SunkBlock);
    Picture water = Picture::of(1, 25);
    water.row(0, 0, 1);
    water.row(0, 12, 2);     // east wet, north-east dry
    water.column(0, 12, 3);
    water.column(0, 0, 1);
    water.row(23, 12, 2);    // east wet, south-east dry
    water.row(23, 0, 3);
    EXPECT_TRUE(looksLike(cellImage(game(), 5, 5, true), water));

    Picture sunk = Picture::of(1, 26);
    sunk.column(23, 0, 1);
    sunk.column(23, 12, 3);
    sunk.row(0, 0, 2);       // west wet, north-west dry
    sunk.row(0, 12, 3);
    sunk.row(23, 12, 1);
    sunk.row(23, 0, 2);      // west wet, south-west dry
    EXPECT_TRUE(looksLike(cellImage(game(), 6, 5, true), sunk));
}

TEST_F(Painter, WaterAllRoundButADryDiagonalHasNoShoreAtAll) {
    set(5, 5, Water);
    set(5, 4, Water);
    set(6, 5, Water);
    set(5, 6, SunkBlock);
    set(4, 5, Water);
    // All four diagonals stay dry ground.
    EXPECT_TRUE(looksLike(cellImage(game(), 5, 5, true), Picture::of(1, 25)));
}

TEST_F(Painter, StoredPicturesByCode) {
    struct Case {
        std::uint8_t code;
        int pack, block;
    };
    const Case cases[] = {
        {0, 1, 14},  {2, 1, 14},  {10, 1, 14}, {26, 1, 14}, {99, 1, 14}, {255, 1, 14},
        {4, 1, 24},  {6, 1, 18},  {7, 1, 19},  {8, 1, 20},  {9, 1, 21},  {11, 1, 13},
        {20, 2, 10}, {21, 2, 8},  {22, 2, 9},  {24, 1, 12}, {25, 2, 11},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.code));
        set(3, 4, k.code);
        EXPECT_EQ(cellImage(game(), 3, 4, true), packImage(k.pack, k.block));
        EXPECT_EQ(cellImage(game(), 3, 4, false), packImage(k.pack, k.block));
    }
    // A brick wall by its damage stage.
    for (int stage = 0; stage <= 10; ++stage) {
        game().play.board.at(3, 4) = Cell{BrickWall, 0, static_cast<std::uint8_t>(stage)};
        EXPECT_EQ(cellImage(game(), 3, 4, true), packImage(1, 1 + stage)) << stage;
    }
    game().play.board.at(3, 4) = Cell{BrickWall, 0, 6};
    EXPECT_EQ(cellImage(game(), 3, 4, true), packImage(1, 7));
    // Outside the board, the solid wall.
    for (const auto& p : {std::pair<int, int>{16, 3}, {-1, 0}, {3, 16}, {0, -1}, {-5, 20}})
        EXPECT_EQ(cellImage(game(), p.first, p.second, true), packImage(1, 24)) << p.first << "," << p.second;
}

TEST_F(Painter, ABlockOverItsGround) {
    set(3, 4, Ground, MovableBlock);
    EXPECT_EQ(cellImage(game(), 3, 4, false), packImage(1, 14));
    const std::uint8_t* got = cellImage(game(), 3, 4, true);
    EXPECT_EQ(got, sprites().objectCanvas.pixels);
    // Synthetic sprites: row 0 transparent, row 1 half, the rest opaque.
    for (int x = 0; x < 24; ++x) {
        EXPECT_EQ(picturePixel(got, 24, x, 0), syntheticPixel(1, 14, x, 0)) << x;
        const Bgr g = syntheticPixel(1, 14, x, 1), b = syntheticPixel(1, 0, x, 1);
        EXPECT_EQ(picturePixel(got, 24, x, 1),
                  (Bgr{blendComponent(g.b, b.b, 128), blendComponent(g.g, b.g, 128), blendComponent(g.r, b.r, 128)}))
            << x;
        for (int y = 2; y < 24; ++y) ASSERT_EQ(picturePixel(got, 24, x, y), syntheticPixel(1, 0, x, y)) << x << "," << y;
    }
    // On a terrain above 25 the ground picture is under the block.
    set(3, 4, 77, MovableBlock);
    EXPECT_EQ(picturePixel(cellImage(game(), 3, 4, true), 24, 6, 0), syntheticPixel(1, 14, 6, 0));
    // On rubble, the rubble.
    set(3, 4, Rubble, MovableBlock);
    EXPECT_EQ(picturePixel(cellImage(game(), 3, 4, true), 24, 6, 0), syntheticPixel(1, 12, 6, 0));
    EXPECT_EQ(picturePixel(cellImage(game(), 3, 4, true), 24, 6, 9), syntheticPixel(1, 0, 6, 9));
}

TEST_F(Painter, ABlockOnASunkBlockShowsTheShoresUnderIt) {
    set(8, 8, SunkBlock, MovableBlock);
    const std::uint8_t* got = cellImage(game(), 8, 8, true);
    EXPECT_EQ(got, sprites().objectCanvas.pixels);
    // Row 0 of the block is transparent: the north shore shows.
    EXPECT_EQ(picturePixel(got, 24, 5, 0), Picture::strip(1, 5));
    EXPECT_EQ(picturePixel(got, 24, 17, 0), Picture::strip(3, 5));
    EXPECT_EQ(picturePixel(got, 24, 5, 5), syntheticPixel(1, 0, 5, 5));
    // Without objects: the sunk block with its shores, on waterCanvas.
    const std::uint8_t* bare = cellImage(game(), 8, 8, false);
    EXPECT_EQ(bare, sprites().waterCanvas.pixels);
    EXPECT_EQ(picturePixel(bare, 24, 5, 5), syntheticPixel(1, 26, 5, 5));
    EXPECT_EQ(picturePixel(bare, 24, 23, 5), Picture::strip(1, 5));
}

TEST_F(Painter, AntiTanksTurnAndMirrorsPickTheirFrame) {
    // Destination (3, 5) of each turn, and the source pixel it shows.
    const int want[4][2] = {{3, 5}, {5, 20}, {20, 18}, {18, 3}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(12 + k);
        set(2, 2, Ground, static_cast<std::uint8_t>(12 + k));
        const std::uint8_t* got = cellImage(game(), 2, 2, true);
        EXPECT_EQ(picturePixel(got, 24, 3, 5), syntheticPixel(1, 29, want[k][0], want[k][1]));
    }
    // At 90 the last column keeps the ground.
    set(2, 2, Ground, 13);
    EXPECT_EQ(picturePixel(cellImage(game(), 2, 2, true), 24, 23, 9), syntheticPixel(1, 14, 23, 9));
    for (int f = 0; f < 4; ++f) {
        SCOPED_TRACE(16 + f);
        set(2, 2, Ground, static_cast<std::uint8_t>(16 + f));
        const std::uint8_t* got = cellImage(game(), 2, 2, true);
        EXPECT_EQ(picturePixel(got, 24, 3, 5), syntheticPixel(1, 22, 3, 24 * f + 5));
        EXPECT_EQ(picturePixel(got, 24, 20, 23), syntheticPixel(1, 22, 20, 24 * f + 23));
    }
    // Without objects the ground alone.
    EXPECT_EQ(cellImage(game(), 2, 2, false), packImage(1, 14));
}

TEST_F(Painter, DrawCellPutsThePictureInItsPlace) {
    std::memset(display().buffer, 0, ScreenBytes);
    set(15, 15, Goal);
    set(0, 0, Ground, MovableBlock);
    drawCell(game(), 15, 15, true);
    drawCell(game(), 0, 0, false);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(screenPixel(360 + x, 360 + y), syntheticPixel(1, 13, x, y));
            ASSERT_EQ(screenPixel(x, y), syntheticPixel(1, 14, x, y));
        }
    EXPECT_EQ(screenPixel(24, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(screenPixel(0, 24), (Bgr{0, 0, 0}));
    EXPECT_EQ(screenPixel(359, 360), (Bgr{0, 0, 0}));
    drawCell(game(), 0, 0, true);
    EXPECT_EQ(screenPixel(4, 4), syntheticPixel(1, 0, 4, 4));
}
