// The board queries, moving objects, and the level file with level start.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "game/painter.h"
#include "game/rules.h"
#include "platform/headless.h"
#include "render/screen.h"
#include "tests/support.h"
#include "ui/screens.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

void fillBoard(std::uint8_t terrain) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) game().play.board.at(x, y) = Cell{terrain, 0, 0};
}

// The cell (x, y) of the screen buffer equals `picture` (24 x 24 RGB).
::testing::AssertionResult screenCellIs(int x, int y, const std::uint8_t* picture) {
    for (int r = 0; r < 24; ++r)
        for (int c = 0; c < 24; ++c)
            if (screenPixel(24 * x + c, 24 * y + r) != picturePixel(picture, 24, c, r))
                return ::testing::AssertionFailure() << "cell " << x << "," << y << " differs at " << c << "," << r;
    return ::testing::AssertionSuccess();
}

std::vector<std::uint8_t> copyOf(const std::uint8_t* picture) { return {picture, picture + 24 * 24 * 3}; }

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override { setUpGame({filledRecord(2)}); }
};

}  // namespace

TEST_F(BoardTest, OffTheBoardIsAWallWaterAndBlindness) {
    for (std::uint8_t fill : {2, 1, 0}) {
        fillBoard(fill);
        const int off[][2] = {{-1, 5}, {16, 0}, {0, -1}, {5, 16}, {-1, -1}, {16, 16}, {-100, 3}, {3, 1000}};
        for (const auto& p : off) {
            SCOPED_TRACE(testing::Message() << p[0] << "," << p[1] << " fill " << int(fill));
            EXPECT_EQ(cellAt(game().play.board, p[0], p[1], true), 4);
            EXPECT_EQ(cellAt(game().play.board, p[0], p[1], false), 4);
            EXPECT_EQ(sightAt(game().play.board, p[0], p[1]), 0);
            EXPECT_TRUE(isWaterAt(game().play.board, p[0], p[1]));
        }
    }
    // The corners of the board itself answer for their cells.
    fillBoard(2);
    game().play.board.at(0, 0).terrain = 3;
    game().play.board.at(15, 0).terrain = 11;
    game().play.board.at(0, 15).object = 14;
    game().play.board.at(15, 15).terrain = 23;
    EXPECT_EQ(cellAt(game().play.board, 0, 0, true), 3);
    EXPECT_EQ(sightAt(game().play.board, 0, 0), 0);
    EXPECT_EQ(cellAt(game().play.board, 15, 0, true), 11);
    EXPECT_EQ(sightAt(game().play.board, 15, 0), 1);
    EXPECT_EQ(cellAt(game().play.board, 0, 15, true), 14);
    EXPECT_EQ(cellAt(game().play.board, 0, 15, false), 2);
    EXPECT_EQ(sightAt(game().play.board, 0, 15), 14);
    EXPECT_FALSE(isWaterAt(game().play.board, 0, 15));
    EXPECT_TRUE(isWaterAt(game().play.board, 15, 15));
    EXPECT_FALSE(isWaterAt(game().play.board, 14, 15));
}

TEST_F(BoardTest, EveryTerrainCodeThroughTheQueries) {
    // 1 where an anti-tank sees through, its own code for an anti-tank.
    const int sight[] = {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 12, 13, 14, 15, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1};
    static_assert(sizeof sight / sizeof sight[0] == CellKindCount, "a sight for every cell kind");
    fillBoard(2);
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        game().play.board.at(7, 9) = Cell{static_cast<std::uint8_t>(code), 0, 0};
        EXPECT_EQ(cellAt(game().play.board, 7, 9, true), code);
        EXPECT_EQ(cellAt(game().play.board, 7, 9, false), code);
        EXPECT_EQ(sightAt(game().play.board, 7, 9), code < CellKindCount ? sight[code] : 0);
        EXPECT_EQ(isWaterAt(game().play.board, 7, 9), code == 1 || code == 23);
    }
}

TEST_F(BoardTest, TheObjectComesFirstExceptForWater) {
    fillBoard(2);
    game().play.board.at(4, 4).object = 13;
    EXPECT_EQ(cellAt(game().play.board, 4, 4, true), 13);
    EXPECT_EQ(cellAt(game().play.board, 4, 4, false), 2);
    EXPECT_EQ(sightAt(game().play.board, 4, 4), 13);

    // A mirror on see-through ground blocks the sight; an anti-tank on a
    // wall is seen.
    game().play.board.at(5, 4).object = 16;
    EXPECT_EQ(sightAt(game().play.board, 5, 4), 0);
    game().play.board.at(6, 4) = Cell{3, 12, 0};
    EXPECT_EQ(sightAt(game().play.board, 6, 4), 12);
    // An object byte beyond the cell kinds blinds like a terrain one.
    game().play.board.at(7, 4).object = 200;
    EXPECT_EQ(sightAt(game().play.board, 7, 4), 0);
    EXPECT_EQ(cellAt(game().play.board, 7, 4, true), 200);

    // Water is a terrain matter: the object byte is not looked at.
    game().play.board.at(8, 4) = Cell{23, 15, 0};
    EXPECT_TRUE(isWaterAt(game().play.board, 8, 4));
    EXPECT_EQ(sightAt(game().play.board, 8, 4), 15);
    game().play.board.at(9, 4) = Cell{2, 1, 0};
    EXPECT_FALSE(isWaterAt(game().play.board, 9, 4));

    // Code 0 blocks nothing for the sight.
    game().play.board.at(10, 4).terrain = 0;
    EXPECT_EQ(sightAt(game().play.board, 10, 4), 1);
    EXPECT_FALSE(isWaterAt(game().play.board, 10, 4));
}

TEST_F(BoardTest, MoveObjectOntoLandKeepsTheCode) {
    fillBoard(2);
    game().play.board.at(5, 5).terrain = 23;
    game().play.board.at(6, 6).terrain = 24;
    struct Case {
        int fx, fy, tx, ty;
        std::uint8_t code;
    };
    const Case cases[] = {
        {2, 2, 3, 2, 14},  // anti-tank keeps its facing
        {4, 5, 5, 5, 5},   // block onto a sunk block stays a block
        {6, 5, 6, 6, 18},  // mirror keeps its orientation on rubble
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.code));
        game().play.board.at(k.fx, k.fy).object = k.code;
        const std::uint8_t fromTerrain = game().play.board.at(k.fx, k.fy).terrain;
        const std::uint8_t toTerrain = game().play.board.at(k.tx, k.ty).terrain;
        moveObject(game().play.board, k.fx, k.fy, k.tx, k.ty, k.code);
        drawMove(game(), k.fx, k.fy, k.tx, k.ty);
        EXPECT_EQ(game().play.board.at(k.fx, k.fy).object, 0);
        EXPECT_EQ(game().play.board.at(k.fx, k.fy).terrain, fromTerrain);
        EXPECT_EQ(game().play.board.at(k.tx, k.ty).object, k.code);
        EXPECT_EQ(game().play.board.at(k.tx, k.ty).terrain, toTerrain);
        // Both cells redrawn into the screen buffer: the old one bare, the
        // new one with the object.
        EXPECT_TRUE(screenCellIs(k.fx, k.fy, copyOf(cellImage(game(), k.fx, k.fy, false)).data()));
        EXPECT_TRUE(screenCellIs(k.tx, k.ty, copyOf(cellImage(game(), k.tx, k.ty, true)).data()));
    }
    // The moved anti-tank is drawn facing left: its row 23 lands in the
    // destination's first rows read backwards (180 degrees, box moved up
    // and left), and the last column shows the ground.
    EXPECT_EQ(screenPixel(3 * 24 + 0, 2 * 24 + 0), syntheticPixel(1, 29, 23, 23));
    EXPECT_EQ(screenPixel(3 * 24 + 23, 2 * 24 + 10), syntheticPixel(1, 14, 23, 10));
    // No frame was shown: the redraws only go into the buffer.
    EXPECT_EQ(headless::stats().animationFrames, 0);
    EXPECT_EQ(headless::stats().screenFrames, 0);
}

TEST_F(BoardTest, MoveObjectIntoWaterSinksABlockAndDrownsTheRest) {
    fillBoard(2);
    for (int x = 8; x < 12; ++x) game().play.board.at(x, 3).terrain = Water;
    // A block sinks: the water becomes a sunk block, no object on it.
    game().play.board.at(7, 3).object = 5;
    moveObject(game().play.board, 7, 3, 8, 3, 5);
    drawMove(game(), 7, 3, 8, 3);
    EXPECT_EQ(game().play.board.at(7, 3).object, 0);
    EXPECT_EQ(game().play.board.at(8, 3).terrain, 23);
    EXPECT_EQ(game().play.board.at(8, 3).object, 0);
    EXPECT_TRUE(screenCellIs(8, 3, copyOf(cellImage(game(), 8, 3, true)).data()));
    EXPECT_EQ(screenPixel(8 * 24 + 10, 3 * 24 + 10), syntheticPixel(1, 26, 10, 10));
    EXPECT_EQ(screenPixel(7 * 24 + 10, 3 * 24 + 10), syntheticPixel(1, 14, 10, 10));

    // Anti-tanks and mirrors vanish and leave the water as it was.
    for (std::uint8_t code : {12, 13, 14, 15, 16, 17, 18, 19}) {
        SCOPED_TRACE(int(code));
        game().play.board.at(9, 4).object = code;
        moveObject(game().play.board, 9, 4, 9, 3, code);
        drawMove(game(), 9, 4, 9, 3);
        EXPECT_EQ(game().play.board.at(9, 4).object, 0);
        EXPECT_EQ(game().play.board.at(9, 3).terrain, Water);
        EXPECT_EQ(game().play.board.at(9, 3).object, 0);
        EXPECT_EQ(screenPixel(9 * 24 + 10, 3 * 24 + 10), syntheticPixel(1, 25, 10, 10));
    }
    // The new sunk block joins the water: no shore between it and (9, 3).
    const auto water = copyOf(cellImage(game(), 9, 3, true));
    for (int r = 1; r < 23; ++r) EXPECT_EQ(picturePixel(water.data(), 24, 0, r), syntheticPixel(1, 25, 0, r)) << r;
}

// --- The level file -------------------------------------------------------

namespace {

class LevelFile : public ::testing::Test {
protected:
    void SetUp() override { setUpGame({filledRecord(2)}); }
    std::string dir = tempDir("levels");

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir + "/" + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path;
    }
};

}  // namespace

TEST_F(LevelFile, CountsWholeRecordsOnly) {
    std::string error;
    std::vector<std::uint8_t> bytes(1000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    ASSERT_TRUE(loadLevels(game().levels, write("a.lvl", bytes), error));
    EXPECT_EQ(game().levels.count, 3);
    EXPECT_EQ(0, std::memcmp(game().levels.data.data(), bytes.data(), 768));

    // Level 2 is bytes 512 to 767, row by row.
    startLevel(game(), 2);
    EXPECT_EQ(game().play.level, 2);
    const std::uint8_t b = bytes[512 + 5 * 16 + 9];
    EXPECT_EQ(cellAt(game().play.board, 9, 5, true), b);

    ASSERT_TRUE(loadLevels(game().levels, write("b.lvl", std::vector<std::uint8_t>(256, 4)), error));
    EXPECT_EQ(game().levels.count, 1);
    ASSERT_TRUE(loadLevels(game().levels, write("c.lvl", std::vector<std::uint8_t>(511, 4)), error));
    EXPECT_EQ(game().levels.count, 1);
}

TEST_F(LevelFile, AFileWithoutALevelIsRefusedWithAMessage) {
    const std::string missing = dir + "/missing.lvl";
    const std::string empty = write("empty.lvl", {});
    const std::string shortFile = write("short.lvl", std::vector<std::uint8_t>(255, 2));
    // A folder is no level file.
    for (const std::string& path : {missing, empty, shortFile, dir}) {
        SCOPED_TRACE(path);
        std::string err;
        const bool ok = loadLevels(game().levels, path, err);
        EXPECT_FALSE(ok);
        EXPECT_NE(err.find(path), std::string::npos) << err;
        // The levels loaded before stay usable.
        ASSERT_EQ(game().levels.count, 1);
        EXPECT_EQ(game().levels.data.data()[255], 2);
    }
}

TEST_F(LevelFile, TheLastTankStartWinsAndAllBecomeGround) {
    Record r = filledRecord(2);
    r[2 * 16 + 9] = 10;  // (9, 2)
    r[7 * 16 + 3] = 10;  // (3, 7): read later
    r[7 * 16 + 2] = 13;  // an anti-tank just before it
    setLevels(game().levels, r.data(), 1);
    game().play.tank.x = 12;
    game().play.tank.y = 12;
    game().play.tank.dx = 1;
    game().play.tank.dy = 0;
    game().play.tank.angle = 0;
    game().play.screen = LevelSelect;
    game().play.outcome = Lost;
    startLevel(game(), 0);
    EXPECT_EQ(game().play.tank.x, 3);
    EXPECT_EQ(game().play.tank.y, 7);
    EXPECT_EQ(game().play.tank.dx, 0);
    EXPECT_EQ(game().play.tank.dy, -1);
    EXPECT_EQ(game().play.tank.angle, 270.0f);
    EXPECT_EQ(game().play.board.at(9, 2).terrain, Ground);
    EXPECT_EQ(game().play.board.at(3, 7).terrain, Ground);
    EXPECT_EQ(game().play.board.at(9, 2).object, 0);
    EXPECT_EQ(game().play.board.at(2, 7).terrain, Ground);
    EXPECT_EQ(game().play.board.at(2, 7).object, 13);
    // The start clears the outcome, keeps the screen and draws it once.
    EXPECT_EQ(game().play.outcome, InPlay);
    EXPECT_EQ(game().play.screen, LevelSelect);
    EXPECT_EQ(headless::stats().screenFrames, 1);
}

TEST_F(LevelFile, CodesLandInTheirLayers) {
    Record r = filledRecord(2);
    const std::uint8_t objects[] = {5, 12, 13, 14, 15, 16, 17, 18, 19};
    for (int i = 0; i < 9; ++i) r[i] = objects[i];
    // Every other byte lands in the terrain as it is.
    const std::uint8_t terrains[] = {0, 1, 3, 4, 6, 7, 8, 9, 11, 20, 21, 22, 23, 24, Scorch, CellKindCount, 100, 200, 255};
    for (int i = 0; i < 19; ++i) r[32 + i] = terrains[i];
    setLevels(game().levels, r.data(), 1);
    // Leftovers of a game in progress: all replaced.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) game().play.board.at(x, y) = Cell{3, 5, 1};
    startLevel(game(), 0);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(game().play.board.at(i, 0).terrain, Ground) << i;
        EXPECT_EQ(game().play.board.at(i, 0).object, objects[i]) << i;
    }
    for (int i = 0; i < 19; ++i) {
        const Cell& c = game().play.board.at((32 + i) % 16, (32 + i) / 16);
        EXPECT_EQ(c.terrain, terrains[i]) << i;
        EXPECT_EQ(c.object, 0) << i;
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(game().play.board.at(x, y).state, 0);
    EXPECT_EQ(game().play.board.at(15, 15).terrain, Ground);
    EXPECT_EQ(game().play.board.at(15, 15).object, 0);
}

TEST_F(LevelFile, ALevelWithoutATankStartKeepsTheTankAsItStood) {
    Record first = filledRecord(2);
    first[7 * 16 + 3] = 10;
    const Record second = filledRecord(24);
    std::vector<std::uint8_t> bytes(first);
    bytes.insert(bytes.end(), second.begin(), second.end());
    setLevels(game().levels, bytes.data(), 2);
    game().play.screen = Playing;
    startLevel(game(), 0);
    // Turn right, then drive one cell: (4, 7), facing right, angle 0.
    turnOrMoveTank(game(), 1, 0, 0);
    turnOrMoveTank(game(), 1, 0, 0);
    ASSERT_EQ(game().play.tank.x, 4);
    ASSERT_EQ(game().play.tank.y, 7);
    startLevel(game(), 1);
    EXPECT_EQ(game().play.tank.x, 4);
    EXPECT_EQ(game().play.tank.y, 7);
    EXPECT_EQ(game().play.tank.dx, 1);
    EXPECT_EQ(game().play.tank.dy, 0);
    EXPECT_EQ(game().play.tank.angle, 0.0f);
    EXPECT_EQ(game().play.board.at(4, 7).terrain, Rubble);
    EXPECT_EQ(game().play.level, 1);
}

TEST_F(LevelFile, RestartUndoesEverythingDoneInPlay) {
    // Tank at (3, 7) facing up under a brick wall; a block to its right with
    // water beyond.
    Record r = filledRecord(2);
    r[7 * 16 + 3] = 10;
    r[4 * 16 + 3] = 3;
    r[7 * 16 + 4] = 5;
    r[7 * 16 + 5] = 1;
    setLevels(game().levels, r.data(), 1);
    game().play.screen = Playing;
    startLevel(game(), 0);
    fireLaser(game(), game().play.tank.x, game().play.tank.y, game().play.tank.dx, game().play.tank.dy, playerBeamColour);
    ASSERT_EQ(game().play.board.at(3, 4).state, 6);
    turnOrMoveTank(game(), 1, 0, 0);
    turnOrMoveTank(game(), 1, 0, 0);
    ASSERT_EQ(game().play.board.at(5, 7).terrain, SunkBlock);
    ASSERT_EQ(game().play.board.at(4, 7).object, 0);
    ASSERT_EQ(game().play.tank.x, 4);
    game().play.outcome = Lost;

    startLevel(game(), 0);
    EXPECT_EQ(game().play.board.at(3, 4).terrain, BrickWall);
    EXPECT_EQ(game().play.board.at(3, 4).state, 0);
    EXPECT_EQ(game().play.board.at(4, 7).terrain, Ground);
    EXPECT_EQ(game().play.board.at(4, 7).object, MovableBlock);
    EXPECT_EQ(game().play.board.at(5, 7).terrain, Water);
    EXPECT_EQ(game().play.board.at(5, 7).object, 0);
    EXPECT_EQ(game().play.tank.x, 3);
    EXPECT_EQ(game().play.tank.y, 7);
    EXPECT_EQ(game().play.tank.dx, 0);
    EXPECT_EQ(game().play.tank.dy, -1);
    EXPECT_EQ(game().play.tank.angle, 270.0f);
    EXPECT_EQ(game().play.outcome, InPlay);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(game().play.board.at(x, y).state, 0);
    // The stored level itself was never touched.
    EXPECT_EQ(0, std::memcmp(game().levels.data.data(), r.data(), 256));
}
