// The cell-kind table as its readers meet it: every row written in level
// text, loaded into its layer, and drawn with a picture of its own.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/levels.h"
#include "game/painter.h"
#include "game/play_state.h"
#include "tests/support.h"
#include "game/glyphs.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

// Row 1 of a board holds every kind in code order, from (0, 1) on; two
// rows suffice while there are at most 32 kinds.
std::vector<std::string> everyKindInRows() {
    std::vector<std::string> rows(3, std::string(BoardSize, '.'));
    for (int code = 0; code < CellKindCount; ++code) rows[1 + code / BoardSize][code % BoardSize] = cellKinds[code].glyph;
    return rows;
}

}  // namespace

TEST(CellKinds, EveryRowReadsFromLevelTextAndLoadsIntoItsLayer) {
    static_assert(CellKindCount <= 2 * BoardSize, "the test board holds two rows of kinds");
    leveltext::Record record;
    std::string error;
    ASSERT_TRUE(leveltext::recordFromRows(everyKindInRows(), Ground, record, error)) << error;
    for (int code = 0; code < CellKindCount; ++code) EXPECT_EQ(record[BoardSize + code], code) << cellKinds[code].name;

    setUpGame({record});
    startLevel(game(), 0);
    for (int code = 0; code < CellKindCount; ++code) {
        SCOPED_TRACE(cellKinds[code].name);
        const Cell& cell = game().play.board.at(code % BoardSize, 1 + code / BoardSize);
        if (cellKinds[code].isObject()) {
            EXPECT_EQ(cell.object, code);
            EXPECT_EQ(cell.terrain, Ground);
        } else if (code == TankStart) {
            EXPECT_EQ(cell.terrain, Ground);
            EXPECT_EQ(game().play.tank.x, code % BoardSize);
            EXPECT_EQ(game().play.tank.y, 1 + code / BoardSize);
        } else {
            EXPECT_EQ(cell.terrain, code);
            EXPECT_EQ(cell.object, 0);
        }
    }
}

TEST(CellKinds, EveryRowDrawsItsOwnPicture) {
    // Only the kinds drawn as plain ground share a picture (ground's).
    setUpGame({filledRecord(Ground)});
    std::vector<std::vector<std::uint8_t>> seen;
    std::set<std::string> palette;
    for (int code = 0; code < CellKindCount; ++code) {
        const CellKind& kind = cellKinds[code];
        SCOPED_TRACE(kind.name);
        EXPECT_TRUE(palette.insert(kind.palette).second) << "a palette name used twice";
        game().play.board.at(5, 5) = kind.isObject() ? Cell{Ground, kind.code, 0} : Cell{kind.code, 0, 0};
        const std::uint8_t* image = cellImage(game(), 5, 5, true);
        std::vector<std::uint8_t> pixels(image, image + 24 * 24 * 3);
        const bool drawnAsGround = kind.look == Look::Tile && kind.picture.pack == 1 &&
                                   kind.picture.block == static_cast<int>(Pack1Block::Ground);
        for (int other = 0; other < static_cast<int>(seen.size()); ++other) {
            const bool otherAsGround = cellKinds[other].picture.block == kind.picture.block &&
                                       cellKinds[other].picture.pack == kind.picture.pack && drawnAsGround;
            EXPECT_EQ(pixels == seen[other], otherAsGround) << "against " << cellKinds[other].name;
        }
        seen.push_back(pixels);
    }
}
