// The player set in play: undo with exact boards, the press counter, saved progress.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/board.h"
#include "render/screen.h"
#include "tests/support.h"
#include "ui/conveniences.h"
#include "ui/layout.h"
#include "ui/progress.h"
#include "ui/ui_state.h"

using namespace testsupport;

namespace {

// Level A: the tank at (2, 5) facing up; ground along row 5 to a brick wall
// at (10, 5); above it a fixed mirror at (3, 3) that turns a beam fired up
// towards an anti-tank at (7, 3) facing it; below, a block at (3, 6) over
// water at (3, 7); an anti-tank at (12, 8) guarding row 8.
Record levelA() {
    Record r = filledRecord(SolidWall);
    auto at = [&r](int x, int y) -> std::uint8_t& { return r[y * 16 + x]; };
    for (int x = 1; x < 15; ++x) at(x, 5) = at(x, 3) = at(x, 8) = Ground;
    for (int y = 3; y < 9; ++y) at(3, y) = Ground;
    at(2, 5) = TankStart;
    at(10, 5) = BrickWall;
    at(3, 3) = FixedMirrorRightBottom;
    at(7, 3) = AntiTankLeft;
    at(3, 6) = MovableBlock;
    at(3, 7) = Water;
    at(12, 8) = AntiTankLeft;
    return r;
}

// Level B: a goal right above the tank (won in one press); level C: a goal
// two cells to its right (three presses).
Record levelWithGoal(int gx) {
    Record r = filledRecord(SolidWall);
    for (int x = 1; x < 15; ++x) r[5 * 16 + x] = r[4 * 16 + x] = Ground;
    r[5 * 16 + 2] = TankStart;
    r[(gx == 2 ? 4 : 5) * 16 + gx] = Goal;
    return r;
}

// The state of a report: everything but the counts of redraws, frames and pauses.
std::string stateOf(const std::string& report) {
    std::string out, line;
    for (std::size_t pos = 0; pos < report.size();) {
        const std::size_t end = report.find('\n', pos);
        line = report.substr(pos, end - pos);
        pos = end + 1;
        if (line.rfind("redraws", 0) && line.rfind("frames", 0) && line.rfind("pauses", 0)) out += line + "\n";
    }
    return out;
}

PlayerSet undoSet() {
    PlayerSet s;
    s.undo = true;
    return s;
}

const std::vector<std::string> presses = {"Right", "Right", "Space", "Up", "Space", "Down", "Down", "Down", "Down"};

std::string firstPresses(std::size_t n) {
    std::string events;
    for (std::size_t i = 0; i < n; ++i) events += presses[i] + " ";
    return events;
}

std::string line(const std::string& report, const std::string& key) {
    const std::size_t at = report.find("\n" + key + " ");
    return at == std::string::npos ? "" : report.substr(at + 1, report.find('\n', at + 1) - at - 1);
}

}  // namespace

// A turn, a move, a brick shot, an anti-tank destroyed, a push into water, a
// step onto the sunk block and the fatal step: each taken back gives exactly
// the board before it.
TEST(Undo, EachPressTakenBackGivesTheBoardBeforeIt) {
    const std::string dir = makeDataDir("undo", {levelA()});
    std::vector<std::string> states;
    for (std::size_t n = 0; n <= presses.size(); ++n)
        states.push_back(stateOf(replayInProcess(dir, 0, firstPresses(n), undoSet())));
    ASSERT_NE(states[3], states[2]);                                 // the brick took a shot
    ASSERT_NE(states[5], states[4]);                                 // the anti-tank is gone
    ASSERT_NE(states[9].find("outcome Lost"), std::string::npos);   // the last step is fatal
    for (std::size_t n = 1; n <= presses.size(); ++n)
        EXPECT_EQ(stateOf(replayInProcess(dir, 0, firstPresses(n) + (n % 2 ? "U" : "Backspace"), undoSet())),
                  states[n - 1])
            << "after " << firstPresses(n);
    // All the way back, and one more does nothing.
    std::string back = firstPresses(presses.size());
    for (std::size_t n = 0; n <= presses.size(); ++n) back += " U";
    const std::string report = replayInProcess(dir, 0, back, undoSet());
    EXPECT_EQ(stateOf(report), states[0]);
    // A press that changed nothing (a shot into the wall behind) is no step.
    EXPECT_EQ(stateOf(replayInProcess(dir, 0, "Right Left Space U", undoSet())), states[1]);
}

TEST(Undo, AfterALossOnTheResultScreenAndNeverDuringThePress) {
    const std::string dir = makeDataDir("undo-loss", {levelA()});
    const std::string before = stateOf(replayInProcess(dir, 0, firstPresses(8), undoSet()));
    const std::string lost = stateOf(replayInProcess(dir, 0, firstPresses(9), undoSet()));
    // On the loss's result screen: back to playing as before the fatal step,
    // drawn once (one redraw more than the main loop's for the group).
    const std::string lostReport = replayInProcess(dir, 0, firstPresses(9), undoSet());
    ASSERT_NE(lostReport.find("screen Result"), std::string::npos);
    const std::string undone = replayInProcess(dir, 0, firstPresses(9) + "U", undoSet());
    EXPECT_EQ(stateOf(undone), before);
    EXPECT_EQ(std::stol(line(undone, "redraws").substr(8)), std::stol(line(lostReport, "redraws").substr(8)) + 2);
    // U queued behind the fatal step arrives inside its redraw: ignored.
    EXPECT_EQ(stateOf(replayInProcess(dir, 0, firstPresses(8) + "Down+U", undoSet())), lost);
    // Restart clears the history; without --undo, U and Backspace do nothing.
    EXPECT_EQ(stateOf(replayInProcess(dir, 0, firstPresses(2) + "Escape R U", undoSet())),
              stateOf(replayInProcess(dir, 0, "", undoSet())));
    EXPECT_EQ(stateOf(replayInProcess(dir, 0, firstPresses(2) + "U Backspace")),
              stateOf(replayInProcess(dir, 0, firstPresses(2))));
}

TEST(Counter, TheTitleNamesLevelPressesBestAndFewest) {
    const std::string dir = makeDataDir("counter", {levelA(), levelWithGoal(4)});
    PlayerSet set;
    set.counter = true;
    set.undo = true;
    EXPECT_EQ(line(replayInProcess(dir, -1, "", set), "title"), "title Brimvale (port by Orlenko)");
    EXPECT_EQ(line(replayInProcess(dir, 0, "Right Right Space Space Left U", set), "title"),
              "title Brimvale - level 1 - presses 4");
    writeFile(dir + "/data.par", progress::hashText(progress::levelHash(levelWithGoal(4).data())) + " 3\n");
    set.progressFile = tempDir("counter-progress") + "/progress.txt";
    set.save = true;
    replayInProcess(dir, 1, "Down Right Right Right", set);  // won in four presses
    EXPECT_EQ(line(replayInProcess(dir, 1, "Right", set), "title"),
              "title Brimvale - level 2 - presses 1 - best 4 - fewest 3");
    EXPECT_EQ(replayInProcess(dir, 1, "Right").find("title"), std::string::npos);  // asked for only
    // The build's data.par: every shipped level's recorded fewest presses and title by its key.
    const std::string shipped = readFile(std::string(BRIMVALE_DATA_BUILD_DIR) + "/data.lvl");
    const std::string par = readFile(std::string(BRIMVALE_DATA_BUILD_DIR) + "/data.par");
    EXPECT_EQ(static_cast<std::size_t>(std::count(par.begin(), par.end(), '\n')), shipped.size() / 256);
    EXPECT_EQ(par.substr(0, par.find('\n') + 1),
              progress::hashText(progress::levelHash(reinterpret_cast<const std::uint8_t*>(shipped.data()))) +
                  " 21 title Turn, Then Roll\n");
}

namespace {

std::vector<std::string> warnings;
void keepWarning(const std::string& w) { warnings.push_back(w); }

PlayerSet saveTo(const std::string& file) {
    PlayerSet s;
    s.save = true;
    s.progressFile = file;
    return s;
}

}  // namespace

// Won levels, fewest presses and the last level played survive the game,
// keyed by each level's bytes: a reordered file keeps the credit where it
// belongs, and the level list marks won levels in their own tint.
TEST(Progress, SavedReloadedAndKeyedByTheLevel) {
    const std::string dir = makeDataDir("progress", {levelA(), levelWithGoal(2), levelWithGoal(4)});
    const std::string file = tempDir("progress-home") + "/deep/brimvale/progress.txt";
    replayInProcess(dir, 1, "Up Enter", saveTo(file));  // level 2 won in one press, then level 3 started
    EXPECT_EQ(progress::best(1), 1);
    const std::string text = readFile(file);
    EXPECT_NE(text.find("won " + progress::hashText(progress::levelHash(levelWithGoal(2).data())) + " 1\n"),
              std::string::npos) << text;
    EXPECT_EQ(line(replayInProcess(dir, -1, "Space", saveTo(file)), "index"), "index 2");  // the last played
    std::vector<std::uint8_t> marked(display().buffer, display().buffer + sizeof display().buffer);
    // The same list without the win: only the won level's cell differs.
    const std::string onlyLast = tempDir("progress-last") + "/progress.txt";
    replayInProcess(dir, 2, "", saveTo(onlyLast));
    replayInProcess(dir, -1, "Space", saveTo(onlyLast));
    int differ = 0, outside = 0;
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * ScreenWidth + x) * 3;
            if (marked[i] == display().buffer[i] && marked[i + 1] == display().buffer[i + 1] && marked[i + 2] == display().buffer[i + 2])
                continue;
            ++differ;
            const int cx = layout::levelCellX(1), cy = layout::levelCellY(1);
            if (x < cx || x >= cx + layout::LevelCellWidth || y < cy || y >= cy + layout::LevelCellHeight) ++outside;
        }
    EXPECT_GT(differ, 20);
    EXPECT_EQ(outside, 0);
    // Reordered: the credit follows level 2's bytes, and so does the last level.
    writeLevelFile(dir + "/data.lvl", {levelWithGoal(4), levelA(), levelWithGoal(2)});
    EXPECT_EQ(line(replayInProcess(dir, -1, "Space", saveTo(file)), "index"), "index 0");
    EXPECT_EQ(progress::best(2), 1);
    EXPECT_EQ(progress::best(0), -1);
    EXPECT_EQ(progress::best(1), -1);
    // A slower win keeps the best; without --progress nothing is read.
    replayInProcess(dir, 2, "Left Up Right Up", saveTo(file));
    EXPECT_EQ(progress::best(2), 1);
    replayInProcess(dir, -1, "Space");
    EXPECT_EQ(progress::best(2), -1);
}

TEST(Progress, AnUnreadableFileIsKeptAsideWithOneWarning) {
    const std::string dir = makeDataDir("progress-bad", {levelWithGoal(2)});
    const std::string home = tempDir("progress-bad-home");
    setWarningSink(keepWarning);
    for (const char* bad : {"not progress\n", "brimvale progress 1\nwon 12 x\n"}) {
        warnings.clear();
        writeFile(home + "/progress.txt", bad);
        replayInProcess(dir, 0, "Up", saveTo(home + "/progress.txt"));
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find("progress.bad"), std::string::npos) << warnings[0];
        EXPECT_EQ(progress::best(0), 1);  // started afresh, and saved anew
    }
    EXPECT_EQ(readFile(home + "/progress.bad"), "not progress\n");
    EXPECT_EQ(readFile(home + "/progress.bad.1"), "brimvale progress 1\nwon 12 x\n");
    warnings.clear();
    replayInProcess(dir, -1, "", saveTo(home + "/progress.txt"));
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(progress::best(0), 1);
    setWarningSink(nullptr);
}

// A crash after the new file is written and before it replaces the old one
// leaves the old one whole.
TEST(Progress, ACrashBeforeTheRenameLeavesTheOldFile) {
    const std::string dir = makeDataDir("progress-crash", {levelWithGoal(2), levelWithGoal(4)});
    const std::string file = tempDir("progress-crash-home") + "/progress.txt";
    replayInProcess(dir, 0, "Up", saveTo(file));
    const std::string old = readFile(file);
    EXPECT_EXIT(
        {
            uiConnections().progressFile.beforeRename = [] { _exit(3); };
            replayInProcess(dir, 1, "Right Right Right", saveTo(file));
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EQ(readFile(file), old);
    bool leftOver = false;  // the new file, under its own name
    for (const auto& entry : std::filesystem::directory_iterator(file.substr(0, file.rfind('/'))))
        leftOver = leftOver || entry.path().filename().string().rfind("progress.txt.new.", 0) == 0;
    EXPECT_TRUE(leftOver);
    replayInProcess(dir, 1, "", saveTo(file));
    EXPECT_EQ(progress::best(0), 1);
    EXPECT_EQ(progress::best(1), -1);
}
