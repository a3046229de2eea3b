// The game's command line: every option, the order they override in, and every refusal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/support.h"
#include "common/options.h"

namespace {

struct Read {
    int status;
    GameOptions options;
    std::string out, err;
};

Read read(std::vector<std::string> args) {
    Read r;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    r.status = readCommandLine(static_cast<int>(argv.size()), argv.data(), r.options);
    r.out = testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    cli::setProgramName("brimvale-tool");
    return r;
}

bool allOff(const PlayerSet& s) {
    return !s.save && !s.undo && !s.counter && !s.sound && !s.muted && !s.gamepad && !s.desktop;
}

}  // namespace

TEST(CommandLine, NothingGivenIsTheClassicGame) {
    const Read r = read({});
    EXPECT_EQ(r.status, -1);
    EXPECT_TRUE(allOff(r.options.set));
    EXPECT_EQ(r.options.scale, 1);
    EXPECT_FALSE(r.options.syncedSwaps);  // the driver's own swap interval
    EXPECT_EQ(r.options.level, 0);
    EXPECT_EQ(levelFileOf(r.options), "data.lvl");
    EXPECT_TRUE(r.err.empty() && r.out.empty());
}

TEST(CommandLine, EveryOptionAndLaterOnesOverride) {
    Read r = read({"--data", "d", "--level", "3", "--scale", "2", "--save", "--undo", "--counter", "--sound", "--mute"});
    ASSERT_EQ(r.status, -1) << r.err;
    const PlayerSet& s = r.options.set;
    EXPECT_TRUE(s.save && s.undo && s.counter && s.sound && s.muted);
    EXPECT_EQ(r.options.level, 3);
    EXPECT_EQ(r.options.scale, 2);
    EXPECT_EQ(levelFileOf(r.options), "d/data.lvl");

    r = read({"--player", "--no-save", "--no-counter", "--scale", "3"});
    EXPECT_TRUE(!r.options.set.save && r.options.set.undo && !r.options.set.counter && r.options.set.sound);
    EXPECT_EQ(r.options.scale, 3);
    r = read({"--player"});
    EXPECT_TRUE(r.options.set.save && r.options.set.undo && r.options.set.counter && r.options.set.sound &&
                r.options.set.gamepad && r.options.set.desktop);
    EXPECT_EQ(r.options.scale, 0);  // auto
    EXPECT_TRUE(r.options.syncedSwaps);
    r = read({"--player", "--no-gamepad"});
    EXPECT_TRUE(!r.options.set.gamepad && r.options.set.desktop);
    r = read({"--gamepad"});
    EXPECT_TRUE(r.options.set.gamepad && !r.options.set.desktop && !r.options.set.save);
    r = read({"--player", "--scale", "1", "--undo", "--classic"});
    EXPECT_TRUE(allOff(r.options.set));
    EXPECT_FALSE(r.options.syncedSwaps);
    EXPECT_EQ(r.options.scale, 1);
    r = read({"--classic", "--undo", "--no-undo", "--sound", "--no-sound", "--scale", "auto"});
    EXPECT_TRUE(allOff(r.options.set));
    EXPECT_EQ(r.options.scale, 0);

    r = read({"--progress", "p.txt", "--levels", "a.lvl", "--data", "d"});
    EXPECT_TRUE(r.options.set.save);
    EXPECT_EQ(r.options.set.progressFile, "p.txt");
    EXPECT_EQ(levelFileOf(r.options), "a.lvl");
    EXPECT_EQ(levelFileOf(read({"b.lvl"}).options), "b.lvl");  // the positional file
    // The level file given either way: the later one plays; after "--" every
    // argument is a file name.
    EXPECT_EQ(levelFileOf(read({"a.lvl", "--levels", "b.lvl"}).options), "b.lvl");
    EXPECT_EQ(levelFileOf(read({"--levels", "b.lvl", "a.lvl"}).options), "a.lvl");
    r = read({"--undo", "--", "--help"});
    EXPECT_EQ(r.status, -1) << r.err;
    EXPECT_TRUE(r.options.set.undo);
    EXPECT_EQ(levelFileOf(r.options), "--help");
}

TEST(CommandLine, HelpAndVersionPrintAndEnd) {
    Read r = read({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--levels", "--data", "--level", "--scale", "--save", "--no-save", "--undo", "--no-undo",
                               "--counter", "--sound", "--mute", "--gamepad", "--no-gamepad", "--player", "--classic", "--version", "--progress"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    r = read({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "brimvale 1.0\n");
}

TEST(CommandLine, BadOptionsAndValuesAreOneLineAndStatus2) {
    const std::vector<std::vector<std::string>> refused = {
        {"--bogus"},         {"-x"},          {"--scale"},          {"--scale", "0"},      {"--scale", "9"},
        {"--scale", "2x"},   {"--scale", ""}, {"--scale", "AUTO"},  {"--level"},           {"--level", "0"},
        {"--level", "-1"},   {"--level", "x"}, {"--level", "65537"}, {"--levels"},         {"--data"},
        {"--progress", ""},  {"a.lvl", "b.lvl"}, {"--save", "--nosave"}, {"--levels", ""}, {"--data", ""},
        {""},                {"--", ""},      {"--", "a.lvl", "b.lvl"}};
    for (const auto& args : refused) {
        const Read r = read(args);
        EXPECT_EQ(r.status, 2) << "'" << args[0] << "'";
        EXPECT_EQ(r.err.rfind("brimvale: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

#ifdef BRIMVALE_GAME_PROGRAM
// The real program refuses before it opens a window or reads a file, and
// refuses a level beyond the file after reading it, still before any window.
TEST(CommandLine, TheGameRefusesBeforeAnyWindow) {
    const std::string game = std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") + BRIMVALE_GAME_PROGRAM + "' ";
    std::string out;
    EXPECT_EQ(testsupport::runCommand(game + "--scale 0 2>&1", &out), 2);
    EXPECT_EQ(out, "brimvale: --scale needs a whole number from 1 to 8 or 'auto', not '0'\n");
    const std::string dir = testsupport::makeDataDir("cli", {testsupport::filledRecord(1)});
    out.clear();
    EXPECT_EQ(testsupport::runCommand(game + "--data " + dir + " --level 2 2>&1", &out), 2);
    EXPECT_EQ(out, "brimvale: --level 2: the level file holds 1 level\n");
    out.clear();
    EXPECT_EQ(testsupport::runCommand(game + "--version", &out), 0);
    EXPECT_EQ(out, "brimvale 1.0\n");
    // What the system did not take fails the program (stdout on the full device).
    for (const std::string option : {"--help", "--version"}) {
        out.clear();
        EXPECT_EQ(testsupport::runCommand(game + option + " 2>&1 >/dev/full", &out), 1) << option;
        EXPECT_EQ(out, "brimvale: cannot write to standard output (No space left on device)\n") << option;
    }
}
#endif
