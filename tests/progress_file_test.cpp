// The saved-progress file at its edges: what --progress may name, pipes and
// huge files, two games saving to one file, any level path, left-over links.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "tests/support.h"
#include "ui/history.h"
#include "ui/progress.h"
#include "ui/ui_state.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "ui/window_game.h"

using namespace testsupport;

namespace {

const std::string Header = "brimvale progress 1\n";

Record level(int goalX) {
    Record r = filledRecord(SolidWall);
    for (int x = 1; x < 15; ++x) r[5 * 16 + x] = Ground;
    r[5 * 16 + 2] = TankStart;
    r[5 * 16 + goalX] = Goal;
    return r;
}

std::string wonLine(int goalX, int presses) {
    return "won " + progress::hashText(progress::levelHash(level(goalX).data())) + " " + std::to_string(presses) + "\n";
}

// The kind of what `path` names, without following a link: 'f' a regular
// file, 'd', 'c', 'p', 'l'; '-' when nothing is there.
char kindOf(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return '-';
    if (S_ISREG(st.st_mode)) return 'f';
    if (S_ISDIR(st.st_mode)) return 'd';
    if (S_ISCHR(st.st_mode)) return 'c';
    if (S_ISFIFO(st.st_mode)) return 'p';
    return S_ISLNK(st.st_mode) ? 'l' : '?';
}

bool anythingSetAside(const std::string& dir) {
    return kindOf(dir + "/progress.bad") != '-';
}

}  // namespace

// A device, a folder, a pipe, a link to a device or a file that is not saved
// progress, named by --progress: one line and status 2, before any window,
// and each left exactly as it was. An empty file or the game's own is used.
TEST(ProgressFile, ANamedFileThatIsNoProgressIsRefusedAndLeftAlone) {
    const std::string data = makeDataDir("named", {level(4)});
    const std::string dir = tempDir("named-progress");
    std::vector<std::string> names = {"folder", "pipe", "text", "device", "link"};
    ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0644), 0);
    writeFile(dir + "/text", "my notes\n");
    // A node like the system's null device, of our own (root only).
    const bool device = mknod((dir + "/device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (!device) names.erase(names.begin() + 3, names.end());
    else ASSERT_EQ(symlink("device", (dir + "/link").c_str()), 0);
    std::vector<std::string> programs = {std::string("'") + BRIMVALE_TOOL + "' replay --data '" + data + "'"};
#ifdef BRIMVALE_GAME_PROGRAM
    programs.push_back(std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") + BRIMVALE_GAME_PROGRAM + "' --data '" + data +
                       "'");
#endif
    for (const std::string& program : programs)
        for (const std::string& name : names) {
            const char kind = kindOf(dir + "/" + name);
            std::string out;
            EXPECT_EQ(runCommand(program + " --progress '" + dir + "/" + name + "' 2>&1", &out), 2) << program << name;
            EXPECT_NE(out.find("--progress " + dir + "/" + name + ": "), std::string::npos) << out;
            const std::string said = name == "text" ? ": not a saved progress file (it does not begin"
                                     : name == "folder" ? ": is a folder, not a saved progress file"
                                     : name == "pipe"   ? ": is a pipe, not a saved progress file"
                                                        : ": is a device, not a saved progress file";
            EXPECT_NE(out.find(said), std::string::npos) << out;
            EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
            EXPECT_EQ(kindOf(dir + "/" + name), kind) << name;
            EXPECT_FALSE(anythingSetAside(dir));
        }
    EXPECT_EQ(readFile(dir + "/text"), "my notes\n");
    // An empty file, and one the game wrote, take the saved progress.
    writeFile(dir + "/empty", "");
    const ToolRun r = runTool("replay --data '" + data + "' --start 0 --progress '" + dir + "/empty' Right Right Right");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(readFile(dir + "/empty").find(wonLine(4, 3)), std::string::npos) << readFile(dir + "/empty");
    EXPECT_EQ(runTool("replay --data '" + data + "' --progress '" + dir + "/empty'").status, 0);
}

// Saved progress is read only from a regular file of at most 1 MiB: a pipe
// or a link to a device is neither read nor moved, and saving stays off; a
// larger file is kept aside whole, with the usual warning.
TEST(ProgressFile, OnlyARegularFileOfAtMostOneMiBIsRead) {
    setUpGame({level(4)});
    const std::string dir = tempDir("progress-kinds");
    std::string warning;
    ASSERT_EQ(mkfifo((dir + "/progress.txt").c_str(), 0644), 0);
    EXPECT_EQ(progress::load(dir + "/progress.txt", "levels", warning), progress::LoadResult::Unusable);
    EXPECT_NE(warning.find("not be saved"), std::string::npos) << warning;
    EXPECT_EQ(kindOf(dir + "/progress.txt"), 'p');
    EXPECT_FALSE(anythingSetAside(dir));
    if (mknod((dir + "/zero").c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0) {
        ASSERT_EQ(unlink((dir + "/progress.txt").c_str()), 0);
        ASSERT_EQ(symlink("zero", (dir + "/progress.txt").c_str()), 0);
        warning.clear();
        EXPECT_EQ(progress::load(dir + "/progress.txt", "levels", warning), progress::LoadResult::Unusable);
        EXPECT_NE(warning.find("not be saved"), std::string::npos) << warning;
        EXPECT_EQ(kindOf(dir + "/progress.txt"), 'l');
        EXPECT_FALSE(anythingSetAside(dir));
    }
    ASSERT_EQ(unlink((dir + "/progress.txt").c_str()), 0);
    // Exactly 1 MiB is read; a byte more is set aside.
    std::string big = Header + wonLine(4, 9);
    big += std::string(1024 * 1024 - big.size(), '\n');
    writeFile(dir + "/progress.txt", big);
    EXPECT_EQ(progress::load(dir + "/progress.txt", "levels", warning), progress::LoadResult::Loaded) << warning;
    EXPECT_EQ(progress::best(0), 9);
    writeFile(dir + "/progress.txt", big + "\n");
    warning.clear();
    EXPECT_EQ(progress::load(dir + "/progress.txt", "levels", warning), progress::LoadResult::SetAside);
    EXPECT_NE(warning.find("1 MiB"), std::string::npos) << warning;
    EXPECT_NE(warning.find("kept it as " + dir + "/progress.bad"), std::string::npos) << warning;
    EXPECT_EQ(progress::best(0), -1);
    EXPECT_EQ(readFile(dir + "/progress.bad"), big + "\n");
    EXPECT_EQ(kindOf(dir + "/progress.txt"), '-');
}

// Two games on one file: each save merges what the file holds by then,
// under a lock on progress.txt.lock, the fewest presses winning per level.
TEST(ProgressFile, TwoGamesSavingToOneFileKeepEachOthersWins) {
    setUpGame({level(4), level(5), level(6)});
    const std::string file = tempDir("progress-two") + "/progress.txt";
    std::string warning, error;
    ASSERT_EQ(progress::load(file, "/mine.lvl", warning), progress::LoadResult::Loaded) << warning;
    progress::noteStart(2);
    progress::noteWin(0, 5);
    progress::noteWin(2, 8);
    // Meanwhile the other game saved its wins and its own last levels.
    writeFile(file, Header + "muted 1\n" + wonLine(4, 3) + wonLine(5, 7) + wonLine(6, 9) + "last " +
                        progress::hashText(progress::levelHashAt(1)) + " /theirs.lvl\nlast " +
                        progress::hashText(progress::levelHashAt(0)) + " /mine.lvl\n");
    static bool lockHeld;
    static std::string lockFile;
    lockFile = file + ".lock";
    uiConnections().progressFile.beforeRename = [] {
        const int fd = open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
        lockHeld = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (fd >= 0) close(fd);
    };
    lockHeld = false;
    const bool saved = progress::save(file, error);
    uiConnections().progressFile.beforeRename = nullptr;
    ASSERT_TRUE(saved) << error;
    EXPECT_TRUE(lockHeld);
    for (const char* levelFile : {"/mine.lvl", "/theirs.lvl"}) {
        ASSERT_EQ(progress::load(file, levelFile, warning), progress::LoadResult::Loaded) << warning;
        EXPECT_EQ(progress::best(0), 3);
        EXPECT_EQ(progress::best(1), 7);
        EXPECT_EQ(progress::best(2), 8);
        EXPECT_TRUE(progress::muted());
        EXPECT_EQ(progress::lastPlayed(), levelFile[1] == 'm' ? 2 : 1);
    }
}

// The last level played is kept by the level file's path, whatever bytes
// it holds: a line break, a backslash, control bytes, trailing spaces, none.
TEST(ProgressFile, ALevelPathOfAnyBytesRoundTrips) {
    setUpGame({level(4), level(5), level(6)});
    const std::string file = tempDir("progress-paths") + "/progress.txt";
    const std::vector<std::string> paths = {"/a\nb.lvl", "/c\\nd.lvl", std::string("/\x01\r\t\x7f\xff\\x4 ", 11),
                                            "/plain.lvl", ""};
    std::string warning, error;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ASSERT_EQ(progress::load(file, paths[i], warning), progress::LoadResult::Loaded) << warning;
        progress::noteStart(static_cast<int>(i % 2 + 1));
        ASSERT_TRUE(progress::save(file, error)) << error;
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ASSERT_EQ(progress::load(file, paths[i], warning), progress::LoadResult::Loaded) << warning;
        EXPECT_EQ(progress::lastPlayed(), static_cast<int>(i % 2 + 1)) << i;
    }
}

// A left-over link where a temporary file might go is never followed.
TEST(ProgressFile, ALeftOverLinkBesideTheFileIsNeverFollowed) {
    setUpGame({level(4)});
    const std::string dir = tempDir("progress-link");
    writeFile(dir + "/victim", "precious\n");
    ASSERT_EQ(symlink((dir + "/victim").c_str(), (dir + "/progress.txt.new").c_str()), 0);
    std::string warning, error;
    ASSERT_EQ(progress::load(dir + "/progress.txt", "levels", warning), progress::LoadResult::Loaded);
    progress::noteWin(0, 2);
    ASSERT_TRUE(progress::save(dir + "/progress.txt", error)) << error;
    EXPECT_EQ(readFile(dir + "/victim"), "precious\n");
    EXPECT_EQ(kindOf(dir + "/progress.txt.new"), 'l');
    EXPECT_EQ(readFile(dir + "/progress.txt"), Header + "muted 0\n" + wonLine(4, 2));
}

// Undo keeps the last 100,000 steps; the counter still counts every press.
TEST(Undo, KeepsTheLastHundredThousandSteps) {
    setUpGame({level(4)});
    startLevel(game(), 0);
    history::clear();
    auto mark = [](int n) {
        game().play.board.at(0, 0).state = static_cast<std::uint8_t>(n);
        game().play.board.at(1, 0).state = static_cast<std::uint8_t>(n >> 8);
        game().play.board.at(2, 0).state = static_cast<std::uint8_t>(n >> 16);
    };
    auto marked = [] {
        return game().play.board.at(0, 0).state | game().play.board.at(1, 0).state << 8 | game().play.board.at(2, 0).state << 16;
    };
    const int pressesMade = 100005;
    for (int n = 1; n <= pressesMade; ++n) {
        history::beginPress();
        mark(n);
        history::endPress();
    }
    EXPECT_EQ(history::presses(), pressesMade);
    int undone = 0;
    while (history::undo()) ++undone;
    EXPECT_EQ(undone, 100000);
    EXPECT_EQ(marked(), pressesMade - 100000);
    EXPECT_EQ(history::presses(), pressesMade - 100000);
}
