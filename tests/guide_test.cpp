// The guide of the player set, played through the replay with the build's
// own data: result banners, titles, marks, hints, solutions played back,
// recorded sessions, and the progress it keeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/play_state.h"
#include "platform/input.h"
#include "render/screen.h"
#include "tests/support.h"
#include "tools/levels/level_files.h"
#include "tools/session/replay.h"
#include "solver/solver.h"
#include "ui/conveniences.h"
#include "ui/guide_play.h"
#include "ui/history.h"
#include "ui/progress.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

const std::string data = BRIMVALE_DATA_BUILD_DIR;

std::string line(const std::string& report, const std::string& key) {
    const std::string text = "\n" + report;
    const std::size_t at = text.find("\n" + key + " ");
    return at == std::string::npos ? std::string() : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

std::vector<std::uint8_t> screen() { return std::vector<std::uint8_t>(display().buffer, display().buffer + ScreenBytes); }

// The pixels differing between two screens, inside the rows y0..y1 or outside them.
int differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int y0, int y1, bool inside) {
    int n = 0;
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            if ((y >= y0 && y < y1) == inside && std::memcmp(&a[(y * ScreenWidth + x) * 3], &b[(y * ScreenWidth + x) * 3], 3))
                ++n;
    return n;
}

std::string solution(int level) {
    const ToolRun r = runTool("solve --data " + data + " --level " + std::to_string(level));
    return r.out.substr(r.out.find(' ', r.out.find("solved ") + 7) + 1);
}

// Presses one group more on the game as it stands (searches run to their end).
void press(const std::string& events) {
    std::vector<session::EventGroup> groups;
    std::string error;
    ASSERT_TRUE(session::parseEvents({events}, groups, error)) << error;
    session::playGroups(groups);
}

std::string hintOf(const std::string& title) {
    const std::size_t at = title.find("hint: ");
    return at == std::string::npos ? std::string() : title.substr(at + 6);
}

std::vector<leveltext::Level> shippedSources() {
    std::vector<std::string> files;
    for (const char* name : {"01-first-steps.txt", "02-shores-and-ruins.txt", "03-channels-and-galleries.txt",
                             "04-masterworks.txt"})
        files.push_back(std::string(BRIMVALE_SOURCE_DIR) + "/data/levels/" + name);
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    for (const std::string& f : files) leveltext::parseFile(f, levels, diagnostics);
    return levels;
}

}  // namespace

TEST(Guide, WonLostAndPausedScreensDifferWhileTheClassicOnesStayAsTheyWere) {
    const PlayerSet player = session::launcherSet();
    const std::string win = solution(0);
    const std::string wonReport = replayInProcess(data, 0, win, player);
    const auto won = screen();
    EXPECT_EQ(line(wonReport, "outcome"), "outcome Won");
    replayInProcess(data, 7, "Up Up", player);
    const auto lost = screen();
    replayInProcess(data, 0, "Right Escape", player);
    const auto paused = screen();
    EXPECT_GT(differing(won, lost, 40, 112, true), 2000);
    EXPECT_GT(differing(won, paused, 40, 112, true), 2000);
    EXPECT_GT(differing(lost, paused, 40, 112, true), 2000);
    // Without the guide, the same games show the screens they always have:
    // the guide's screens differ from them only in the banner.
    replayInProcess(data, 0, win);
    EXPECT_EQ(differing(won, screen(), 40, 112, false), 0);
    EXPECT_GT(differing(won, screen(), 40, 112, true), 2000);
    replayInProcess(data, 0, "Right Escape");
    EXPECT_EQ(screen(), paused);  // the pause is unchanged
}

TEST(Guide, TitlesInTheWindowTitleAndNumbersOnlyWithoutThem) {
    const PlayerSet player = session::launcherSet();
    EXPECT_EQ(line(replayInProcess(data, 1, "", player), "title"),
              "title Brimvale - level 2: The Long Way Round - presses 0 - fewest 17");
    // A level file without titles beside it: numbers only.
    const std::string dir = makeDataDir("guide-untitled", {filledRecord(Ground)});
    EXPECT_EQ(line(replayInProcess(dir, 0, "", player), "title"), "title Brimvale - level 1 - presses 0");
    // The first press hides the title banner and still plays.
    replayInProcess(data, 0, "", player);
    const auto banner = screen();
    const std::string moved = replayInProcess(data, 0, "Right", player);
    EXPECT_EQ(line(moved, "title"), "title Brimvale - level 1: Turn, Then Roll - presses 1 - fewest 21");
    EXPECT_GT(differing(banner, screen(), 156, 228, true), 5000);
}

TEST(Guide, FollowingHintsFromEveryShippedLevelWinsInItsOptimum) {
    const PlayerSet player = session::launcherSet();
    const std::string report = replayInProcess(data, 0, "", player);
    const int levels = std::stoi(line(report, "levels").substr(7));
    const std::string par = readFile(data + "/data.par");
    for (int level = 0; level < levels; ++level) {
        replayInProcess(data, level, "", player);
        const int fewest = parOf(level);
        const auto started = std::chrono::steady_clock::now();
        press("H");
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (level < 60) std::printf("hint time: level %d (page %d): %.3f s\n", level + 1, level / 30 + 1, seconds);
        int presses = 0;
        for (; presses <= fewest && game().play.outcome == InPlay; ++presses) {
            const std::string hint = hintOf(counterTitle());
            ASSERT_FALSE(hint.empty()) << "level " << level + 1 << " after " << presses << ": " << counterTitle();
            press(hint);
            if (game().play.outcome == InPlay) press("H");
        }
        EXPECT_EQ(game().play.outcome, Won) << "level " << level + 1;
        EXPECT_EQ(presses, fewest) << "level " << level + 1;
    }
}

TEST(Guide, HintAfterAFatalOrTrappingPressSaysThereIsNoWin) {
    const PlayerSet player = session::launcherSet();
    EXPECT_EQ(line(replayInProcess(data, 7, "Up Up H", player), "title"),
              "title Brimvale - level 8: Face to Face - presses 1 - fewest 6 - hint: no way to win from here");
    // Each shipped trap (presses that lose the level for good) found by H.
    const std::vector<leveltext::Level> levels = shippedSources();
    int traps = 0;
    for (std::size_t i = 0; i < levels.size() && traps < 4; ++i) {
        if (levels[i].trap.empty()) continue;
        ++traps;
        const std::string report = replayInProcess(data, static_cast<int>(i), solver::tokens(levels[i].trap) + " H", player);
        if (line(report, "outcome") != "outcome InPlay") continue;  // a trap that ends the level itself
        EXPECT_NE(line(report, "title").find("hint: no way to win from here"), std::string::npos)
            << "level " << i + 1 << ": " << line(report, "title");
    }
    EXPECT_GT(traps, 0);
}

namespace {

// The board, the tank and where the game is, compared whole.
bool samePlay(const PlayState& a, const PlayState& b) {
    return std::memcmp(&a.board, &b.board, sizeof(Board)) == 0 && a.tank.x == b.tank.x && a.tank.y == b.tank.y &&
           a.tank.dx == b.tank.dx && a.tank.dy == b.tank.dy && a.tank.angle == b.tank.angle &&
           a.screen == b.screen && a.outcome == b.outcome && a.level == b.level;
}

}  // namespace

TEST(Guide, LookingAheadLeavesTheGameInPlayAlone) {
    const PlayerSet player = session::launcherSet();
    // A hint searches and follows its win on games of its own: the game in
    // play, its press count and its undo are as they were.
    replayInProcess(data, 1, "Right Up", player);
    const PlayState before = game().play;
    press("H");
    ASSERT_FALSE(hintOf(counterTitle()).empty()) << counterTitle();
    EXPECT_TRUE(samePlay(game().play, before));
    EXPECT_EQ(history::presses(), 2);
    press("U");
    replayInProcess(data, 1, "Right", player);
    const PlayState undone = game().play;
    replayInProcess(data, 1, "Right Up H U", player);
    EXPECT_TRUE(samePlay(game().play, undone));
    // A solution watched from the pause comes back to the paused game.
    replayInProcess(data, 1, "Right Up Escape", player);
    const PlayState paused = game().play;
    press("S");
    EXPECT_EQ(guide::watchedWins(), 1);
    EXPECT_TRUE(samePlay(game().play, paused));
}

TEST(Guide, SolutionsAndOwnBestWinsPlayToAWinAndComeBack) {
    PlayerSet player = session::launcherSet();
    std::string report = replayInProcess(data, 7, "Up Up S", player);
    EXPECT_EQ(line(report, "watched-wins"), "watched-wins 1");
    EXPECT_EQ(line(report, "outcome"), "outcome Lost");  // back on the result screen as it was
    report = replayInProcess(data, 0, "Right Escape S", player);
    EXPECT_EQ(line(report, "watched-wins"), "watched-wins 1");
    EXPECT_EQ(line(report, "screen"), "screen Result");
    // The browser's on-screen S: the same on the pause; nothing while playing
    // or on the list, where the key S turns the tank or moves the highlight.
    EXPECT_EQ(line(replayInProcess(data, 0, "Right Escape Solution", player), "watched-wins"), "watched-wins 1");
    EXPECT_EQ(line(replayInProcess(data, 0, "Solution", player), "tank"), line(replayInProcess(data, 0, "", player), "tank"));
    EXPECT_NE(line(replayInProcess(data, 0, "S", player), "tank"), line(replayInProcess(data, 0, "", player), "tank"));
    EXPECT_EQ(line(replayInProcess(data, -1, "Enter Solution", player), "index"), "index 0");
    // V: the own best win, kept with its presses in the saved progress.
    const std::string dir = tempDir("guide-v");
    player.save = true;
    player.progressFile = dir + "/progress.txt";
    replayInProcess(data, 0, solution(0), player);
    const std::string saved = readFile(player.progressFile);
    EXPECT_NE(saved.find("presses "), std::string::npos);
    report = replayInProcess(data, -1, "Enter V", player);
    EXPECT_EQ(line(report, "watched-wins"), "watched-wins 1");
    EXPECT_EQ(line(report, "screen"), "screen LevelSelect");
    // Nothing kept: V says so and plays nothing.
    player.progressFile = dir + "/none.txt";
    EXPECT_EQ(line(replayInProcess(data, -1, "Enter Right V", player), "watched-wins"), "watched-wins 0");
}

TEST(Guide, HelpedWinsAreKeptApartAndOldProgressStillLoads) {
    const std::string dir = tempDir("guide-progress");
    const std::string file = dir + "/progress.txt";
    setUpGame({filledRecord(Ground), filledRecord(Water)});
    const std::string key = progress::hashText(progress::levelHashAt(0));
    writeFile(file, "brimvale progress 1\nmuted 0\nwon " + key + " 12\n");  // an older file
    std::string warning;
    ASSERT_EQ(progress::load(file, "levels", warning), progress::LoadResult::Loaded) << warning;
    EXPECT_EQ(progress::best(0), 12);
    EXPECT_TRUE(progress::noteWin(0, 9, true, "RRF"));  // a helped best of its own
    EXPECT_TRUE(progress::noteWin(1, 9, true, "RRF"));  // helped: kept apart
    EXPECT_EQ(progress::best(0), 12);
    EXPECT_EQ(progress::helpedBest(0), 9);
    EXPECT_EQ(progress::best(1), -1);
    EXPECT_EQ(progress::bestMoves(1), "RRF");
    EXPECT_TRUE(progress::noteWin(1, 11, false, "LLUD"));  // unaided beats helped for the moves
    EXPECT_EQ(progress::bestMoves(1), "LLUD");
    std::string error;
    ASSERT_TRUE(progress::save(file, error)) << error;
    ASSERT_EQ(progress::load(file, "levels", warning), progress::LoadResult::Loaded) << warning;
    EXPECT_EQ(progress::best(1), 11);
    EXPECT_EQ(progress::helpedBest(1), 9);
    EXPECT_EQ(progress::bestMoves(1), "LLUD");
    // A win after H is marked helped in the saved progress.
    PlayerSet player = session::launcherSet();
    player.save = true;
    player.progressFile = dir + "/helped.txt";
    replayInProcess(data, 1, "H " + solution(1), player);
    EXPECT_NE(readFile(player.progressFile).find("helped "), std::string::npos);
    EXPECT_EQ(readFile(player.progressFile).find("won "), std::string::npos);
}

TEST(Guide, RecordedEventsReplayToTheSameScreen) {
    const std::string dir = tempDir("guide-events");
    writeFile(dir + "/session.txt",
              "# A Brimvale session recorded with --record: one event a line.\n"
              "# options --undo --counter --guide --sound --level 8\n"
              "up\nup\nu\nspace\n");
    const ToolRun r = runTool("replay --data " + data + " --events " + dir + "/session.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "title"), "title Brimvale - level 8: Face to Face - presses 1 - fewest 6");
    const std::string same = replayInProcess(data, 7, "Up Up U Space", session::launcherSet());
    EXPECT_EQ(line(r.out, "tank"), line(same, "tank"));

    // A session of the player set names it, then what was turned off after it.
    writeFile(dir + "/player.txt", "# options --player --no-sound --no-undo --level 3\nright\n");
    session::ReplaySetup setup;
    setup.set.save = true;
    setup.set.progressFile = dir + "/mine.txt";
    std::vector<std::string> tokens;
    std::string error;
    ASSERT_TRUE(session::readEventFile(dir + "/player.txt", tokens, setup, error)) << error;
    EXPECT_TRUE(setup.set.steadyInput && setup.set.guide && setup.set.counter && setup.set.save);
    EXPECT_FALSE(setup.set.sound || setup.set.undo);
    EXPECT_EQ(setup.set.progressFile, dir + "/mine.txt");
    EXPECT_EQ(setup.start, 2);
    EXPECT_EQ(tokens, std::vector<std::string>{"right"});
}
