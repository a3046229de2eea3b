// Level text played by the game: the same boards as the level file built
// from it, refused with one line when it does not parse, titles for the
// guide, and the link to the browser page made from it.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "game/level_text.h"
#include "game/levels.h"
#include "tests/support.h"
#include "ui/guide.h"

namespace {

using testsupport::readFile;
using testsupport::runTool;
using testsupport::writeFile;

std::vector<std::string> shippedSources() {
    const std::string folder = std::string(BRIMVALE_SOURCE_DIR) + "/data/levels";
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A room of our own (not shipped): the tank, a block before water, the goal.
const std::string ownLevel =
    "; a comment before it\r\n"
    "title Own Room\r\n"
    "moves 9\r\n" +
    [] {
        std::string rows;
        for (int y = 0; y < 16; ++y)
            rows += y == 6   ? "####T...O~..####\r\n"
                    : y == 7 ? "####........####\r\n"
                    : y == 8 ? "####......G.####\r\n"
                             : "################\r\n";
        return rows;
    }();

TEST(LevelTextPlay, EveryShippedSourcePlaysTheBoardsOfTheBuiltLevelFile) {
    const std::string built = readFile(std::string(BRIMVALE_DATA_BUILD_DIR) + "/data.lvl");
    std::size_t at = 0;
    int firstCount = 0;
    const std::vector<std::string> sources = shippedSources();
    ASSERT_EQ(sources.size(), 4u);
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        Levels levels;
        std::vector<std::string> titles;
        std::string error;
        ASSERT_TRUE(loadLevels(levels, source, error, &titles)) << error;
        const std::size_t bytes = static_cast<std::size_t>(levels.count) * LevelRecordBytes;
        ASSERT_GT(levels.count, 0);
        ASSERT_LE(at + bytes, built.size());
        EXPECT_EQ(std::string(levels.data.begin(), levels.data.end()), built.substr(at, bytes));
        ASSERT_EQ(titles.size(), static_cast<std::size_t>(levels.count));
        EXPECT_EQ(titles[0].empty(), false);
        // The board the game puts in play, tank and all, level by level.
        Game text{PlayState{}, levels, nullptr, nullptr}, lvl{PlayState{}, Levels{}, nullptr, nullptr};
        setLevels(lvl.levels, reinterpret_cast<const std::uint8_t*>(built.data() + at), levels.count);
        for (int i = 0; i < levels.count; ++i) {
            placeLevel(text, i);
            placeLevel(lvl, i);
            EXPECT_EQ(std::memcmp(&text.play.board, &lvl.play.board, sizeof(Board)), 0) << "level " << i + 1;
            EXPECT_EQ(text.play.tank.x * 16 + text.play.tank.y, lvl.play.tank.x * 16 + lvl.play.tank.y);
        }
        if (source == sources[0]) firstCount = levels.count;
        at += bytes;
    }
    EXPECT_EQ(at, built.size()) << "the sources hold every built level";
    // The replay plays a source as it plays the built file: the same
    // screen and report after the same presses (level 3 of the second file).
    const std::string dir = testsupport::tempDir("text-replay");
    const std::string data = BRIMVALE_DATA_BUILD_DIR;
    const std::string presses = " Right Up Space Left Left Down";
    const auto text = runTool("replay --data " + data + " --levels " + sources[1] + " --start 2 --png " + dir +
                              "/text.png" + presses);
    const auto lvl = runTool("replay --data " + data + " --levels " + data + "/data.lvl --start " +
                             std::to_string(firstCount + 2) + " --png " + dir + "/lvl.png" + presses);
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(lvl.status, 0) << lvl.err;
    EXPECT_EQ(readFile(dir + "/text.png"), readFile(dir + "/lvl.png"));
}

TEST(LevelTextPlay, TextThatDoesNotParseIsRefusedInOneLineAndRecordsStayRecords) {
    const std::string dir = testsupport::tempDir("text-bad");
    const std::string readme = dir + "/README.md", typo = dir + "/typo.txt", comments = dir + "/comments.txt",
                      binary = dir + "/binary.lvl";
    writeFile(readme, "# Brimvale\n\nA puzzle game.\n" + std::string(300, 'x') + "\n");
    std::string bad = ownLevel;
    bad[bad.find("O~")] = 'Z';
    writeFile(typo, bad);
    writeFile(comments, "; nothing but a comment\n\n");
    // A record of printable codes beside control ones stays a record.
    std::string record(256, '#');
    record[17] = 2;  // ground
    writeFile(binary, record + "trailing");
    const std::string typoWhy = typo + ":10:9: error: unknown glyph 'Z'";
    const std::pair<std::string, std::string> refused[] = {
        {readme, readme + ":1:1: error: expected 'title NAME' to start a level"},
        {typo, typoWhy},
        {comments, comments + ": level text without a level (a level starts with 'title NAME', see docs/levels.md)"}};
    Levels levels;
    setLevels(levels, reinterpret_cast<const std::uint8_t*>(record.data()), 1);
    for (const auto& [file, why] : refused) {
        SCOPED_TRACE(file);
        std::string error;
        EXPECT_FALSE(loadLevels(levels, file, error));
        EXPECT_EQ(error, why);
        EXPECT_EQ(levels.count, 1) << "the levels loaded before stay";
#ifdef BRIMVALE_GAME_PROGRAM
        std::string out;
        EXPECT_EQ(testsupport::runCommand(std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") + BRIMVALE_GAME_PROGRAM +
                                              "' --data " + BRIMVALE_DATA_BUILD_DIR + " '" + file + "' 2>&1",
                                          &out),
                  1);
        EXPECT_EQ(out, "brimvale: " + why + "\n");
#endif
        const auto replay = runTool("replay --data " + std::string(BRIMVALE_DATA_BUILD_DIR) + " --levels " + file);
        EXPECT_EQ(replay.status, 2);
        EXPECT_NE(replay.err.find(why), std::string::npos) << replay.err;
        EXPECT_EQ(runTool("solve --levels " + file).status, 2);
        EXPECT_EQ(runTool("levels link " + file + " 1").status, 1);
    }
    std::string error;
    ASSERT_TRUE(loadLevels(levels, binary, error)) << error;
    EXPECT_EQ(levels.count, 1);
    EXPECT_EQ(levels.data[17], 2);
}

TEST(LevelTextPlay, TheGuideShowsTheTitlesOfLevelText) {
    const std::string dir = testsupport::makeDataDir("text-titles", {});
    std::string two = ownLevel + "\n" + ownLevel;
    two.replace(two.rfind("Own Room"), 8, "Second Room");
    writeFile(dir + "/data.lvl", two);
    PlayerSet guided;
    guided.guide = true;
    testsupport::replayInProcess(dir, 1, "", guided);
    EXPECT_EQ(guide::titleOf(0), "Own Room");
    EXPECT_EQ(guide::titleOf(1), "Second Room");
}

TEST(LevelTextPlay, TheLinkOfLevelTextIsTheLinkOfItsRecord) {
    const std::string dir = testsupport::tempDir("text-link");
    writeFile(dir + "/own.txt", ownLevel + "\n" + ownLevel);
    ASSERT_EQ(runTool("levels build " + dir + "/own.txt -o " + dir + "/own.lvl").status, 0);
    const auto fromText = runTool("levels link " + dir + "/own.txt 2 --base https://x.test/p/index.html");
    const auto fromLvl = runTool("levels link " + dir + "/own.lvl --level 2 --base https://x.test/p/index.html");
    ASSERT_EQ(fromText.status, 0) << fromText.err;
    EXPECT_EQ(fromText.out, fromLvl.out);
    const std::string record = readFile(dir + "/own.lvl").substr(256);
    EXPECT_EQ(fromText.out, "https://x.test/p/index.html#" +
                                levelLinkFragment(reinterpret_cast<const std::uint8_t*>(record.data()), 1) + "\n");
    // 256 bytes: 85 groups of three and one byte left, 342 characters, no padding.
    EXPECT_EQ(fromText.out.size(), std::string("https://x.test/p/index.html#level=").size() + 342 + 1);
    const auto bad = runTool("levels link " + dir + "/own.txt two");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("not 'two'"), std::string::npos) << bad.err;
    EXPECT_EQ(runTool("levels link " + dir + "/own.txt 3").status, 1);
}

}  // namespace
