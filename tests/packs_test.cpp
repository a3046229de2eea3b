// The two image packs: where every block lies, short and missing files, and
// the canvases and sprites built on them.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/command_line.h"
#include "start/startup.h"
#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/painter.h"
#include "render/screen.h"
#include "ui/screens.h"
#include "tests/support.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

std::vector<std::uint8_t> readAll(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

// The block offsets of the two files, as the packs are laid out.
const std::size_t pack1Offsets[31] = {
    0x0,     0x900,   0xFC0,   0x1680,  0x1D40,  0x2400,  0x2AC0,  0x3180,  0x3840,  0x3F00, 0x45C0,
    0x4C80,  0x5340,  0x5A00,  0x60C0,  0x6780,  0x7080,  0x7980,  0x8280,  0x8940,  0x9000, 0x96C0,
    0x9D80,  0xC180,  0xCA80,  0xD140,  0xD800,  0xDEC0,  0x79EC0, 0x81CC0, 0x825C0,
};
const std::size_t pack2Offsets[16] = {
    0x0,     0x6C000, 0x6C024, 0x6C048, 0x6C06C, 0x6E844, 0x71EF4, 0x751B8,
    0x75794, 0x75E54, 0x76514, 0x76BD4, 0x77294, 0x77B94, 0x8148B, 0x8AD82,
};

std::size_t blockBytes(int pack, int block) {
    const std::size_t* offsets = pack == 1 ? pack1Offsets : pack2Offsets;
    const int count = pack == 1 ? 31 : 16;
    const std::size_t end = block + 1 < count ? offsets[block + 1] : (pack == 1 ? 561600u : 607865u);
    return end - offsets[block];
}

Bgr fileColour(const std::vector<std::uint8_t>& file, std::size_t offset) {
    return Bgr{file[offset], file[offset + 1], file[offset + 2]};
}

Bgr canvasAt(const Canvas* c, int x, int y) { return picturePixel(c->pixels, c->width, x, y); }

class Packs : public ::testing::Test {
protected:
    void SetUp() override { setUpGame({filledRecord(2)}); }
};

}  // namespace

TEST_F(Packs, WholeFilesFillEveryBlockAtItsOffset) {
    std::string error;
    const std::string dir = tempDir("whole");
    writeSyntheticPacks(dir);
    const auto file1 = readAll(dir + "/data01.pak");
    const auto file2 = readAll(dir + "/data02.pak");
    ASSERT_EQ(file1.size(), 561600u);
    ASSERT_EQ(file2.size(), 607865u);
    // Spoil the memory first: loading must not leave anything of it.
    std::memset(packImageMutable(1, 0), 0xEE, 561600);
    std::memset(packImageMutable(2, 0), 0xEE, 607865);
    ASSERT_TRUE(loadImagePacks(dir, error));
    for (int pack = 1; pack <= 2; ++pack) {
        const auto& file = pack == 1 ? file1 : file2;
        const std::size_t* offsets = pack == 1 ? pack1Offsets : pack2Offsets;
        for (int block = 0; block < (pack == 1 ? 31 : 16); ++block) {
            SCOPED_TRACE(testing::Message() << "pack " << pack << " block " << block);
            EXPECT_EQ(packBlockOffset(pack, block), offsets[block]);
            EXPECT_EQ(packBlock(pack, block).bytes(), blockBytes(pack, block));
            const std::uint8_t* image = packImage(pack, block);
            EXPECT_EQ(0, std::memcmp(image, file.data() + offsets[block], blockBytes(pack, block)));
        }
    }
    // The first byte of the background pattern is the blue of its top-left
    // pixel, 0x825C0 into the file.
    EXPECT_EQ(packImage(1, 30)[0], file1[0x825C0]);
    EXPECT_EQ(packImage(1, 30)[0], syntheticPackByte(1, 30, 0));
    EXPECT_EQ(fileColour(file1, 0x825C0), syntheticPixel(1, 30, 0, 0));
}

TEST_F(Packs, FramesOfDigitsAndMirrorsComeFromTheirRows) {
    const auto file1 = readAll(syntheticDataDir() + "/data01.pak");
    const auto file2 = readAll(syntheticDataDir() + "/data02.pak");
    // Digit 7 begins 175 rows (175 * 14 * 4 bytes) into block 5 of pack 2.
    EXPECT_EQ(0, std::memcmp(packImage(2, 5) + 175 * 14 * 4, file2.data() + 0x6E844 + 175 * 14 * 4, 25 * 14 * 4));
    sprites().digitSprite.drawFrame(100, 200, 0, 7);
    for (int i = 0; i < 25; ++i)
        for (int j = 0; j < 14; ++j)
            ASSERT_EQ(canvasAt(&sprites().screenCanvas, 100 + j, 200 + i), fileColour(file2, 0x6E844 + ((175 + i) * 14 + j) * 4))
                << j << "," << i;

    // Mirror frame 3: rows 72 to 95 of block 22 of pack 1.
    sprites().mirrorSprite.drawFrame(0, 0, 0, 3);
    for (int i = 0; i < 24; ++i)
        for (int j = 0; j < 24; ++j)
            ASSERT_EQ(canvasAt(&sprites().objectCanvas, j, i), fileColour(file1, 0x9D80 + ((72 + i) * 24 + j) * 4))
                << j << "," << i;

    // The last explosion frame: rows 312 to 335 of block 28.
    std::memset(sprites().objectCanvas.pixels, 0, 24 * 24 * 3);
    sprites().explosionSprite.drawFrame(0, 0, 0, 13);
    EXPECT_EQ(canvasAt(&sprites().objectCanvas, 0, 0), fileColour(file1, 0x79EC0 + (312 * 24) * 4));
    EXPECT_EQ(canvasAt(&sprites().objectCanvas, 23, 23), fileColour(file1, 0x79EC0 + (335 * 24 + 23) * 4));
}

TEST_F(Packs, ShortFilesLeaveTheRestZero) {
    std::string error;
    // data02.pak cut after the level-select background: every later block
    // is zero, even over a whole load that came before.
    const std::string dir = tempDir("short2");
    writeSyntheticPacks(dir, std::string::npos, 442368);
    ASSERT_TRUE(loadImagePacks(dir, error));
    buildSpriteSet();
    for (std::size_t i = 0; i < 442368; ++i) ASSERT_EQ(packImage(2, 0)[i], syntheticPackByte(2, 0, i)) << i;
    for (std::size_t i = 442368; i < 607865; ++i) ASSERT_EQ(packImage(2, 0)[i], 0) << i;
    const auto file1 = readAll(dir + "/data01.pak");
    EXPECT_EQ(0, std::memcmp(packImage(1, 0), file1.data(), 561600));

    // Its sprites draw nothing, its tiles are black.
    std::memset(sprites().screenCanvas.pixels, 0x55, 384 * 384 * 3);
    sprites().levelCellSprite.draw(11, 11, 0);
    sprites().digitSprite.drawFrameTinted(30, 30, 0, 4, 0x123456);
    sprites().arrowFrameSprite.draw(9, 318, 0);
    sprites().arrowSprite.draw(89, 339, 180);
    sprites().resultOverlaySprite.draw(0, 0, 0);
    for (int i = 0; i < 384 * 384 * 3; ++i) ASSERT_EQ(sprites().screenCanvas.pixels[i], 0x55) << i;
    game().play.board.at(3, 3).terrain = HorizontalSlot;
    game().play.board.at(4, 3).terrain = Scorch;
    for (int i = 0; i < 24 * 24 * 3; ++i) {
        ASSERT_EQ(cellImage(game(), 3, 3, false)[i], 0);
        ASSERT_EQ(cellImage(game(), 4, 3, false)[i], 0);
    }

    // data01.pak cut five bytes into the background pattern: those five
    // bytes arrive, the rest of the block stays zero, block 29 is whole.
    const std::string dir1 = tempDir("short1");
    writeSyntheticPacks(dir1, 0x825C0 + 5);
    ASSERT_TRUE(loadImagePacks(dir1, error));
    for (std::size_t i = 0; i < 2304; ++i) ASSERT_EQ(packImage(1, 29)[i], syntheticPackByte(1, 29, i));
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(packImage(1, 30)[i], syntheticPackByte(1, 30, i));
    for (std::size_t i = 5; i < 27648; ++i) ASSERT_EQ(packImage(1, 30)[i], 0) << i;
    EXPECT_EQ(packImage(2, 15)[39158], syntheticPackByte(2, 15, 39158));

    // Empty files: everything zero.
    const std::string dir0 = tempDir("empty");
    writeSyntheticPacks(dir0, 0, 0);
    ASSERT_TRUE(loadImagePacks(dir0, error));
    for (std::size_t i = 0; i < 561600; ++i) ASSERT_EQ(packImage(1, 0)[i], 0) << i;
    for (std::size_t i = 0; i < 607865; ++i) ASSERT_EQ(packImage(2, 0)[i], 0) << i;
}

TEST_F(Packs, BytesBeyondTheLastBlockAreIgnored) {
    std::string error;
    const std::string dir = tempDir("long");
    writeSyntheticPacks(dir);
    for (const char* name : {"/data01.pak", "/data02.pak"}) {
        std::FILE* f = std::fopen((dir + name).c_str(), "ab");
        ASSERT_NE(f, nullptr);
        for (int i = 0; i < 1000; ++i) std::fputc(0xAB, f);
        std::fclose(f);
    }
    ASSERT_TRUE(loadImagePacks(dir, error));
    EXPECT_EQ(packImage(2, 15)[39158], syntheticPackByte(2, 15, 39158));
    EXPECT_EQ(packImage(1, 30)[27647], syntheticPackByte(1, 30, 27647));
    EXPECT_EQ(packImage(2, 0)[0], syntheticPackByte(2, 0, 0));
}

TEST(PacksDeathTest, AMissingPackEndsTheProgramAbnormally) {
    const std::string noFirst = tempDir("no1");
    writeSyntheticPacks(noFirst);
    std::remove((noFirst + "/data01.pak").c_str());
    EXPECT_EXIT(startOrSay(noFirst, noFirst + "/data.lvl"), ::testing::KilledBySignal(SIGABRT), "data01\\.pak");

    const std::string noSecond = tempDir("no2");
    writeSyntheticPacks(noSecond);
    std::remove((noSecond + "/data02.pak").c_str());
    EXPECT_EXIT(startOrSay(noSecond, noSecond + "/data.lvl"), ::testing::KilledBySignal(SIGABRT), "data02\\.pak");

    // Neither present: the first one named is data01.pak.
    const std::string none = tempDir("none");
    EXPECT_EXIT(startOrSay(none, none + "/data.lvl"), ::testing::KilledBySignal(SIGABRT), "data01\\.pak");

    // The start-up itself says nothing and ends nothing: it returns what went wrong.
    std::string error;
    testing::internal::CaptureStderr();
    EXPECT_EQ(startGame(noSecond, noSecond + "/data.lvl", error), Started::NoPacks);
    EXPECT_EQ(startGame(none, none + "/data.lvl", error), Started::NoPacks);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(error.find("data01.pak"), std::string::npos) << error;
}

TEST_F(Packs, TheSpriteSetHasItsEighteenObjects) {
    struct CanvasCase {
        Canvas* canvas;
        int w, h;
    };
    const CanvasCase canvases[] = {
        {&sprites().tankCanvas, 24, 24}, {&sprites().waterCanvas, 24, 24}, {&sprites().objectCanvas, 24, 24}, {&sprites().screenCanvas, 384, 384}};
    for (const CanvasCase& c : canvases) {
        ASSERT_NE(c.canvas, nullptr);
        EXPECT_EQ(c.canvas->width, c.w);
        EXPECT_EQ(c.canvas->height, c.h);
        ASSERT_NE(c.canvas->pixels, nullptr);
    }
    EXPECT_NE(&sprites().tankCanvas, &sprites().waterCanvas);
    EXPECT_NE(&sprites().waterCanvas, &sprites().objectCanvas);
    EXPECT_NE(&sprites().objectCanvas, &sprites().tankCanvas);

    struct SpriteCase {
        const char* name;
        Sprite* sprite;
        Canvas* canvas;
        int pack, block, w, h, frameW, frameH;
    };
    const SpriteCase cases[] = {
        {"tank", &sprites().tankSprite, &sprites().tankCanvas, 1, 23, 24, 24, 0, 0},
        {"beam straight", &sprites().beamStraightSprite, &sprites().objectCanvas, 1, 15, 24, 24, 0, 0},
        {"beam corner", &sprites().beamCornerSprite, &sprites().objectCanvas, 1, 16, 24, 24, 0, 0},
        {"beam cross", &sprites().beamCrossSprite, &sprites().objectCanvas, 1, 17, 24, 24, 0, 0},
        {"mirror", &sprites().mirrorSprite, &sprites().objectCanvas, 1, 22, 24, 24, 24, 24},
        {"block", &sprites().blockSprite, &sprites().objectCanvas, 1, 0, 24, 24, 0, 0},
        {"anti-tank", &sprites().antiTankSprite, &sprites().objectCanvas, 1, 29, 24, 24, 0, 0},
        {"explosion", &sprites().explosionSprite, &sprites().objectCanvas, 1, 28, 24, 24, 24, 24},
        {"screen tank", &sprites().screenTankSprite, &sprites().screenCanvas, 1, 23, 24, 24, 0, 0},
        {"level cell", &sprites().levelCellSprite, &sprites().screenCanvas, 2, 4, 51, 50, 0, 0},
        {"digit", &sprites().digitSprite, &sprites().screenCanvas, 2, 5, 14, 25, 14, 25},
        {"arrow frame", &sprites().arrowFrameSprite, &sprites().screenCanvas, 2, 6, 57, 57, 0, 0},
        {"arrow", &sprites().arrowSprite, &sprites().screenCanvas, 2, 7, 25, 15, 0, 0},
        {"result overlay", &sprites().resultOverlaySprite, &sprites().screenCanvas, 2, 12, 24, 24, 0, 0},
    };
    for (const SpriteCase& s : cases) {
        SCOPED_TRACE(s.name);
        ASSERT_NE(s.sprite, nullptr);
        EXPECT_EQ(s.sprite->canvas, s.canvas);
        EXPECT_EQ(s.sprite->image, packImage(s.pack, s.block));
        EXPECT_EQ(s.sprite->width, s.w);
        EXPECT_EQ(s.sprite->height, s.h);
        EXPECT_EQ(s.sprite->frameWidth, s.frameW);
        EXPECT_EQ(s.sprite->frameHeight, s.frameH);
        EXPECT_EQ(s.sprite->frame, 0);
        EXPECT_EQ(s.sprite->tintOn, 0);
    }
    // One image for both tanks: a change to it shows in both.
    EXPECT_EQ(sprites().tankSprite.image, sprites().screenTankSprite.image);
    packImageMutable(1, 23)[(5 * 24 + 5) * 4 + 0] = 0x01;
    packImageMutable(1, 23)[(5 * 24 + 5) * 4 + 1] = 0x02;
    packImageMutable(1, 23)[(5 * 24 + 5) * 4 + 2] = 0x03;
    sprites().tankSprite.draw(0, 0, 0);
    sprites().screenTankSprite.draw(48, 24, 0);
    EXPECT_EQ(canvasAt(&sprites().tankCanvas, 5, 5), (Bgr{1, 2, 3}));
    EXPECT_EQ(canvasAt(&sprites().screenCanvas, 53, 29), (Bgr{1, 2, 3}));
    // Fresh canvases are black.
    EXPECT_EQ(canvasAt(&sprites().waterCanvas, 7, 9), (Bgr{0, 0, 0}));
}

TEST_F(Packs, StartUpWithAShortSecondPackShowsBlackTilesAndNoSprites) {
    const std::string dir = tempDir("startshort");
    writeSyntheticPacks(dir, std::string::npos, 442368);
    Record r = filledRecord(2);
    r[7 * 16 + 3] = 10;
    r[0] = 21;  // a slot, from the lost part of the pack
    std::vector<Record> records(31, r);
    writeLevelFile(dir + "/data.lvl", records);
    resetGameState();
    ASSERT_TRUE(startOrSay(dir, dir + "/data.lvl"));
    // The level list: its background whole; cells, digits and arrows gone.
    game().play.level = 30;
    setScreen(LevelSelect);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 384; ++x) ASSERT_EQ(screenPixel(x, y), syntheticPixel(2, 0, x, y)) << x << "," << y;
    // In play the slot is a black tile; the tank (pack 1) still shows.
    setScreen(Playing);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) ASSERT_EQ(screenPixel(x, y), (Bgr{0, 0, 0})) << x << "," << y;
    EXPECT_EQ(screenPixel(72 + 5, 168 + 0 + 1), syntheticPixel(1, 23, 22, 5));
}
