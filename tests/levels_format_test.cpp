// Tests of the level text format: glyphs, errors and warnings, the dump.
// The compiler's messages name file, line and column; any level file makes
// the round trip through the dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "game/cell_kinds.h"
#include "tests/support.h"
#include "game/level_text.h"

using namespace leveltext;

namespace {

const std::string wallRow = "################";
const std::string floorRow = "#..............#";

// A well-formed level: a title, a moves line, and rows with `rows[i]`
// replacing the default rows where given.
std::string levelText(const std::string& title, std::vector<std::string> rows = {}) {
    std::string text = "title " + title + "\nmoves 3\n";
    for (int y = 0; y < 16; ++y) {
        std::string row = (y == 0 || y == 15) ? wallRow : floorRow;
        if (y == 1) row = "#T.............#";
        if (y < static_cast<int>(rows.size()) && !rows[y].empty()) row = rows[y];
        text += row + "\n";
    }
    return text;
}

struct Parsed {
    bool ok;
    std::vector<Level> levels;
    std::vector<Diagnostic> diagnostics;
    std::string firstError() const {
        for (const auto& d : diagnostics)
            if (!d.warning) return d.text();
        return "";
    }
};

Parsed parse(const std::string& text, const std::string& name = "set.txt") {
    Parsed p;
    p.ok = parseSource(text, name, p.levels, p.diagnostics);
    return p;
}

}  // namespace

TEST(LevelGlyphs, EveryCellKindHasItsOwnGlyphAndTheRestNone) {
    std::set<char> seen;
    for (int code = 0; code < CellKindCount; ++code) {
        const char g = glyphFor(static_cast<std::uint8_t>(code));
        ASSERT_NE(g, 0) << code;
        EXPECT_NE(g, ' ') << code;
        EXPECT_NE(g, ';') << code;
        EXPECT_NE(g, '\\') << code;
        EXPECT_TRUE(seen.insert(g).second) << "glyph of code " << code << " used twice";
        EXPECT_EQ(codeForGlyph(g), code);
    }
    for (int code = CellKindCount; code < 256; ++code) EXPECT_EQ(glyphFor(static_cast<std::uint8_t>(code)), 0) << code;
    EXPECT_EQ(codeForGlyph('Z'), -1);
    EXPECT_EQ(codeForGlyph(' '), -1);
}

TEST(LevelGlyphs, TheDocumentedGlyphs) {
    // The glyphs that docs/levels.md and every level source rely on.
    const std::string expected = "_~.%#Or7JLTG>v<^bdqp+-|s:x";
    for (std::size_t code = 0; code < expected.size(); ++code)
        EXPECT_EQ(glyphFor(static_cast<std::uint8_t>(code)), expected[code]) << code;
}

TEST(LevelCompiler, CompilesTitleMovesAndCells) {
    Parsed p = parse("; a comment\n\n" + levelText("First Steps", {"", "#T~%O>v<^G+-|s:#", "#r7JLbdqpx_....#"}));
    ASSERT_TRUE(p.ok) << p.firstError();
    ASSERT_EQ(p.levels.size(), 1u);
    const Level& l = p.levels[0];
    EXPECT_EQ(l.title, "First Steps");
    EXPECT_EQ(l.moves, 3);
    EXPECT_EQ(l.line, 3);
    const int row1[16] = {4, 10, 1, 3, 5, 12, 13, 14, 15, 11, 20, 21, 22, 23, 24, 4};
    const int row2[16] = {4, 6, 7, 8, 9, 16, 17, 18, 19, 25, 0, 2, 2, 2, 2, 4};
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(l.cells[16 + x], row1[x]) << x;
        EXPECT_EQ(l.cells[32 + x], row2[x]) << x;
        EXPECT_EQ(l.cells[x], 4);
        EXPECT_EQ(l.cells[15 * 16 + x], 4);
    }
}

TEST(LevelCompiler, EscapesWriteAnyByteInEitherCase) {
    Parsed p = parse(levelText("Escapes", {"", "#T\\1a\\FF\\00\\02.........#"}));
    ASSERT_TRUE(p.ok) << p.firstError();
    EXPECT_EQ(p.levels[0].cells[18], 0x1a);
    EXPECT_EQ(p.levels[0].cells[19], 0xff);
    EXPECT_EQ(p.levels[0].cells[20], 0);
    EXPECT_EQ(p.levels[0].cells[21], 2);
}

TEST(LevelCompiler, SeveralLevelsCommentsAndCrLf) {
    std::string text = levelText("One") + "\n; between\n" + levelText("Two") + "   \n";
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    Parsed p = parse(crlf);
    ASSERT_TRUE(p.ok) << p.firstError();
    ASSERT_EQ(p.levels.size(), 2u);
    EXPECT_EQ(p.levels[1].title, "Two");
    EXPECT_EQ(p.levels[1].cells[17], 10);
}

TEST(LevelCompiler, RowsMayCarryATrailingComment) {
    Parsed p = parse(levelText("Notes", {"", "#T.............#   ; the start"}));
    EXPECT_TRUE(p.ok) << p.firstError();
}

TEST(LevelCompiler, UnknownGlyphNamesLineAndColumn) {
    Parsed p = parse(levelText("Bad", {"", "", "", "#....Z.........#"}), "levels/a.txt");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.firstError(), "levels/a.txt:6:6: error: unknown glyph 'Z'");
}

TEST(LevelCompiler, ASpaceIsNoGlyph) {
    Parsed p = parse(levelText("Bad", {"", "", "#... ..........#"}));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.firstError(), "set.txt:5:5: error: row 3 has 4 cells; a row has 16");
}

TEST(LevelCompiler, ShortAndLongRows) {
    Parsed shortRow = parse(levelText("Short", {"", "", "#.............#"}));
    EXPECT_FALSE(shortRow.ok);
    EXPECT_EQ(shortRow.firstError(), "set.txt:5:16: error: row 3 has 15 cells; a row has 16");
    Parsed longRow = parse(levelText("Long", {"", "", "", "", "#...............#"}));
    EXPECT_FALSE(longRow.ok);
    EXPECT_EQ(longRow.firstError(), "set.txt:7:17: error: row 5 has more than 16 cells");
}

TEST(LevelCompiler, BadEscape) {
    Parsed p = parse(levelText("Esc", {"", "", "#..\\g1.........#"}));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.firstError().rfind("set.txt:5:4: error: bad escape '\\g1': write a byte as \\ and two hex digits", 0),
              0u)
        << p.firstError();
}

TEST(LevelCompiler, TooFewRowsBeforeTheNextTitleOrTheEnd) {
    std::string text = levelText("Full");
    std::string cut = "title Cut\n" + wallRow + "\n" + floorRow + "\n";
    Parsed p = parse(cut + text);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.firstError(), "set.txt:4:1: error: level 'Cut' has 2 rows; a level has 16");
    ASSERT_EQ(p.levels.size(), 1u);  // the next level still compiles
    Parsed atEnd = parse(text + cut);
    EXPECT_EQ(atEnd.firstError(), "set.txt:22:1: error: level 'Cut' has 2 rows; a level has 16");
    Parsed noRows = parse("title Nothing\nmoves 4\n");
    EXPECT_EQ(noRows.firstError(), "set.txt:3:1: error: level 'Nothing' has no rows; a level has 16");
}

TEST(LevelCompiler, ASeventeenthRowAndRowsWithoutTitle) {
    Parsed extra = parse(levelText("Full") + floorRow + "\n");
    EXPECT_FALSE(extra.ok);
    EXPECT_EQ(extra.firstError(),
              "set.txt:19:1: error: level 'Full' already has its 16 rows; start the next level with 'title NAME'");
    Parsed untitled = parse(wallRow + "\n");
    EXPECT_EQ(untitled.firstError(), "set.txt:1:1: error: expected 'title NAME' to start a level");
}

TEST(LevelCompiler, BlankLineInsideTheRows) {
    std::string text = levelText("Gap");
    const std::size_t sixthRow = text.find(floorRow, text.find(floorRow) + 1);
    text.insert(sixthRow, "\n");
    Parsed p = parse(text);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.firstError(), "set.txt:6:1: error: level 'Gap': blank line inside its rows (row 4 of 16 expected)");
}

TEST(LevelCompiler, TitleAndMovesMistakes) {
    EXPECT_EQ(parse("title\n").firstError(), "set.txt:1:6: error: 'title' needs a name");
    std::string text = levelText("M");
    text.replace(text.find("moves 3"), 7, "moves three");
    EXPECT_EQ(parse(text).firstError(), "set.txt:2:7: error: 'moves' needs a whole number of key presses");
    std::string twice = levelText("M");
    twice.insert(twice.find("moves 3"), "moves 4\n");
    EXPECT_EQ(parse(twice).firstError(), "set.txt:3:1: error: level 'M' already has a 'moves' line");
    EXPECT_EQ(parse("moves 4\n").firstError(),
              "set.txt:1:1: error: 'moves' belongs between a level's title and its rows");
}

TEST(LevelCompiler, TrapLinesAndTheirMistakes) {
    std::string text = levelText("M");
    text.insert(text.find("moves 3"), "trap Up  Space Left\n");
    Parsed p = parse(text);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.levels[0].trap, (std::vector<std::uint8_t>{2, 4, 0}));
    Parsed again = parse(formatLevel(p.levels[0]));
    EXPECT_EQ(again.levels[0].trap, p.levels[0].trap);
    std::string bad = levelText("M");
    bad.insert(bad.find("moves 3"), "trap Up Jump\n");
    EXPECT_EQ(parse(bad).firstError(), "set.txt:2:9: error: 'trap' takes Left Right Up Down Space, not 'Jump'");
    bad = levelText("M");  // the bad word's own column, past an indent and a tab
    bad.insert(bad.find("moves 3"), "moves 3\n  trap Left Up\tJump\n");
    EXPECT_EQ(parse(bad).firstError(), "set.txt:3:16: error: 'trap' takes Left Right Up Down Space, not 'Jump'");
    bad = levelText("M");
    bad.insert(bad.find("moves 3"), "trap\n");
    EXPECT_EQ(parse(bad).firstError(), "set.txt:2:6: error: 'trap' needs presses: Left Right Up Down Space");
    bad = levelText("M");
    bad.insert(bad.find("moves 3"), "trap Up\ntrap Down\n");
    EXPECT_EQ(parse(bad).firstError(), "set.txt:3:1: error: level 'M' already has a 'trap' line");
}

TEST(LevelCompiler, NeedsLinesAndTheirMistakes) {
    std::string text = levelText("M");
    text.insert(text.find("moves 3"), "needs shove  water anti-tank\n");
    Parsed p = parse(text);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.levels[0].needs, 2 | 4 | 256);
    EXPECT_NE(formatLevel(p.levels[0]).find("needs water shove anti-tank\n"), std::string::npos);
    EXPECT_EQ(parse(formatLevel(p.levels[0])).levels[0].needs, p.levels[0].needs);
    std::string bad = levelText("M");
    bad.insert(bad.find("moves 3"), "needs push fly\n");
    EXPECT_EQ(parse(bad).firstError(),
              "set.txt:2:12: error: 'needs' takes push water shove brick fixed-mirror movable-mirror glass slot "
              "anti-tank shield, not 'fly'");
    bad = levelText("M");
    bad.insert(bad.find("moves 3"), "needs\n");
    EXPECT_EQ(parse(bad).firstError().substr(0, 46), "set.txt:2:6: error: 'needs' names at least one");
    bad = levelText("M");
    bad.insert(bad.find("moves 3"), "needs push\nneeds glass\n");
    EXPECT_EQ(parse(bad).firstError(), "set.txt:3:1: error: level 'M' already has a 'needs' line");
}

TEST(LevelCompiler, MissingOrDoubleTankStartIsOnlyAWarning) {
    Parsed none = parse(levelText("Nowhere", {"", floorRow}));
    EXPECT_TRUE(none.ok);
    ASSERT_EQ(none.diagnostics.size(), 1u);
    EXPECT_TRUE(none.diagnostics[0].warning);
    EXPECT_EQ(none.diagnostics[0].text(),
              "set.txt:1:1: warning: level 'Nowhere' has no tank start ('T'): the tank stays where it stood");
    Parsed two = parse(levelText("Twice", {"", "", "#T.............#"}));
    EXPECT_TRUE(two.ok);
    ASSERT_EQ(two.diagnostics.size(), 1u);
    EXPECT_EQ(two.diagnostics[0].text(),
              "set.txt:1:1: warning: level 'Twice' has 2 tank starts: the tank starts at the last");
}

TEST(LevelDump, EveryByteValueRoundTrips) {
    std::vector<Record> records(2, Record(RecordBytes));
    for (int i = 0; i < 256; ++i) {
        records[0][i] = static_cast<std::uint8_t>(i);
        records[1][i] = static_cast<std::uint8_t>(255 - i);
    }
    std::mt19937 rng(20240611);
    for (int n = 0; n < 20; ++n) {
        Record r(RecordBytes);
        for (auto& b : r) b = static_cast<std::uint8_t>(rng() % (n % 2 ? CellKindCount : 256));
        records.push_back(r);
    }
    const std::string text = dumpRecords(records, "mixed.lvl");
    Parsed p = parse(text, "dump.txt");
    ASSERT_TRUE(p.ok) << p.firstError();
    ASSERT_EQ(p.levels.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(p.levels[i].cells, records[i]) << "level " << i;
        EXPECT_EQ(p.levels[i].title, "Level " + std::to_string(i + 1));
        EXPECT_EQ(p.levels[i].moves, -1);
    }
    EXPECT_NE(text.find("\\1a"), std::string::npos);
    EXPECT_NE(text.find("\\ff"), std::string::npos);
}

TEST(LevelDump, FormatLevelKeepsTitleAndMoves) {
    Parsed p = parse(levelText("Kept Title"));
    ASSERT_TRUE(p.ok);
    Parsed again = parse(formatLevel(p.levels[0]));
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.levels[0].title, "Kept Title");
    EXPECT_EQ(again.levels[0].moves, 3);
    EXPECT_EQ(again.levels[0].cells, p.levels[0].cells);
}

// Line endings such as "\r\r\n" or "\r\t\n" once left a carriage return in
// the title, which the formatted level lost (fuzz_level_text checks this
// round trip).
TEST(LevelDump, ATitleKeepsNoCarriageReturn) {
    for (const char* ending : {"\r\r\n", "\r\t\n", " \r \r\n"}) {
        std::string text = levelText("Kept Title");
        text.replace(text.find('\n'), 1, ending);
        Parsed p = parse(text);
        ASSERT_TRUE(p.ok) << p.firstError();
        EXPECT_EQ(p.levels[0].title, "Kept Title");
        EXPECT_EQ(parse(formatLevel(p.levels[0])).levels[0].title, "Kept Title");
    }
}

TEST(LevelTool, BuildDumpBuildIsByteForByte) {
    const std::string dir = testsupport::tempDir("levels-tool");
    std::string bytes;
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 256; ++i) bytes += static_cast<char>((i * (r + 1) + r) & 255);
    testsupport::writeFile(dir + "/in.lvl", bytes);
    const std::string tool = BRIMVALE_TOOL;
    ASSERT_EQ(testsupport::runCommand(tool + " levels dump " + dir + "/in.lvl -o " + dir + "/in.txt"), 0);
    ASSERT_EQ(testsupport::runCommand(tool + " levels build " + dir + "/in.txt -o " + dir + "/out.lvl 2>/dev/null"), 0);
    EXPECT_EQ(testsupport::readFile(dir + "/out.lvl"), bytes);
    std::string printed;
    ASSERT_EQ(testsupport::runCommand(tool + " levels dump " + dir + "/in.lvl", &printed), 0);
    EXPECT_EQ(printed, testsupport::readFile(dir + "/in.txt"));
}

TEST(LevelTool, ErrorsFailTheBuildAndWriteNothing) {
    const std::string dir = testsupport::tempDir("levels-bad");
    testsupport::writeFile(dir + "/bad.txt", levelText("Broken", {"", "", "#...?..........#"}));
    std::string err;
    const std::string tool = BRIMVALE_TOOL;
    const int status =
        testsupport::runCommand(tool + " levels build " + dir + "/bad.txt -o " + dir + "/out.lvl 2>&1", &err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find(dir + "/bad.txt:5:5: error: unknown glyph '?'"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.lvl"));
    // A source that cannot be read is named once, at the head of its line.
    std::filesystem::create_directory(dir + "/folder.txt");
    ASSERT_EQ(testsupport::runCommand(tool + " levels build " + dir + "/folder.txt " + dir + "/none.txt -o " + dir +
                                          "/out.lvl 2>&1",
                                      &err),
              1);
    EXPECT_NE(err.find(dir + "/folder.txt:0:0: error: cannot open (is a folder)\n"), std::string::npos) << err;
    EXPECT_NE(err.find(dir + "/none.txt:0:0: error: cannot open (No such file or directory)\n"), std::string::npos)
        << err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.lvl"));
}
