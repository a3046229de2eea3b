// Bad input to brimvale-tool and the game's loaders: one line and a failing status, never a crash or a false success.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "app/startup.h"
#include "assets/packs.h"
#include "game/levels.h"
#include "tests/support.h"
#include "tools/art/art_set.h"
#include "tools/art/pack.h"
#include "tools/common/files.h"
#include "ui/window_game.h"

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

ToolRun tool(const std::string& args, const std::string& stdoutTo = "") { return runTool(args, stdoutTo); }

// A refusal: the status, and exactly one line on stderr that holds `names`.
void expectRefused(const ToolRun& r, int status, const std::string& names, const std::string& what) {
    EXPECT_EQ(r.status, status) << what << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
    EXPECT_NE(r.err.find(names), std::string::npos) << what << ": " << r.err;
}

// One level of ground with the tank's start at (3, 7).
Record groundLevel() {
    Record r = filledRecord(2);
    r[7 * 16 + 3] = 10;
    return r;
}

// A data folder with the synthetic packs and that level.
const std::string& dataDir() {
    static const std::string dir = makeDataDir("bad-data", {groundLevel()});
    return dir;
}

// A regular file of `bytes` bytes that takes no room on the disk.
std::string sparseFile(const std::string& tag, long long bytes) {
    const std::string path = tempDir(tag) + "/big";
    writeFile(path, "");
    EXPECT_EQ(truncate(path.c_str(), bytes), 0);
    return path;
}

// A PNG of only its signature, a header declaring `width` x `height` RGBA
// pixels, and its end.
std::string headerOnlyPng(unsigned width, unsigned height) {
    std::string png("\x89PNG\r\n\x1A\n", 8);
    auto be32 = [&png](unsigned v) {
        for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((v >> shift) & 0xFF);
    };
    be32(13);
    png += "IHDR";
    be32(width);
    be32(height);
    png += std::string("\x08\x06\x00\x00\x00", 5);
    be32(0);
    be32(0);
    png += "IEND";
    be32(0);
    return png;
}

}  // namespace

TEST(BadFonts, PaintArtRefusesABadFontByName) {
    const std::string realFont = std::string(art::DefaultFontDir) + "/DejaVuSans-Bold.ttf";
    std::string random(4096, '\0');
    unsigned seed = 12345;
    for (char& c : random) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    const std::string truncated = readFile(realFont).substr(0, 2000);
    const std::string manyTables = std::string("\0\1\0\0\x0F\xFF", 6) + std::string(22, '\0');
    for (const auto& [what, bytes] : {std::pair<std::string, std::string>{"empty", ""},
                                      {"random", random},
                                      {"truncated", truncated},
                                      {"tables past the end", manyTables}}) {
        const std::string fonts = tempDir("bad-fonts");
        writeFile(fonts + "/DejaVuSans-Bold.ttf", bytes);
        fs::copy_file(std::string(art::DefaultFontDir) + "/DejaVuSansCondensed-Bold.ttf",
                      fonts + "/DejaVuSansCondensed-Bold.ttf");
        const std::string out = tempDir("bad-fonts-out");
        expectRefused(tool("paint-art --fonts '" + fonts + "' --out '" + out + "'"), 1,
                      fonts + "/DejaVuSans-Bold.ttf", what);
    }
}

TEST(WriteFailures, EveryOutputReportsAFullDisk) {
    const std::string dir = dataDir();
    const std::string level = dir + "/data.lvl";
    const std::string source = tempDir("bad-source") + "/one.txt";
    ASSERT_EQ(tool("levels dump '" + level + "' -o '" + source + "'").status, 0);
    expectRefused(tool("replay --data '" + dir + "' --png /dev/full"), 2, "/dev/full", "replay --png");
    expectRefused(tool("replay --data '" + dir + "'", "/dev/full"), 1, "standard output", "replay report");
    expectRefused(tool("levels dump '" + level + "'", "/dev/full"), 1, "standard output", "levels dump");
    expectRefused(tool("levels dump '" + level + "' -o /dev/full"), 1, "/dev/full", "levels dump -o");
    expectRefused(tool("levels build '" + source + "' -o /dev/full"), 1, "/dev/full", "levels build");
    expectRefused(tool("solve --data '" + dir + "'", "/dev/full"), 1, "standard output", "solve");
    expectRefused(tool("levels --help", "/dev/full"), 1, "standard output", "help");
    // The packs, unpacked PNGs, manifest and painted art, each through a
    // name that leads to the full device.
    const std::string unpacked = tempDir("bad-unpacked");
    ASSERT_EQ(tool("unpack --data '" + dir + "' --out '" + unpacked + "'").status, 0);
    for (const std::string name : {"data01.pak.part", "data02.pak.part"}) {
        const std::string out = tempDir("bad-pack-out");
        fs::create_symlink("/dev/full", out + "/" + name);
        expectRefused(tool("pack --art '" + unpacked + "' --out '" + out + "'"), 1, name, "pack " + name);
    }
    for (const std::string name : {"movable_block.png", "manifest.txt"}) {
        const std::string out = tempDir("bad-unpack-out");
        fs::create_symlink("/dev/full", out + "/" + name);
        expectRefused(tool("unpack --data '" + dir + "' --out '" + out + "'"), 1, name, "unpack " + name);
    }
    const std::string painted = tempDir("bad-paint-out");
    fs::create_symlink("/dev/full", painted + "/icon.png");
    expectRefused(tool("paint-art --out '" + painted + "'"), 1, "icon.png", "paint-art");
}

TEST(WriteFailures, AnOutputThatCannotBeCreatedIsOneLine) {
    const std::string dir = dataDir();
    const std::string file = dir + "/data.lvl";  // a file where a folder is wanted
    expectRefused(tool("replay --data '" + dir + "' --png '" + file + "/x.png'"), 2, file + "/x.png", "replay");
    expectRefused(tool("levels dump '" + file + "' -o '" + file + "/x.txt'"), 1, file + "/x.txt", "levels dump");
    expectRefused(tool("pack --art '" + tempDir("bad-no-art") + "' --out '" + file + "'"), 1, "manifest.txt", "pack");
    expectRefused(tool("unpack --data '" + dir + "' --out '" + file + "'"), 1, file, "unpack");
    expectRefused(tool("paint-art --out '" + file + "'"), 1, file, "paint-art");
}

TEST(UnreadableFiles, ALevelFileWithoutReadPermissionIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads a file of mode 000";
    const std::string level = tempDir("bad-mode") + "/data.lvl";
    writeFile(level, readFile(dataDir() + "/data.lvl"));
    ASSERT_EQ(chmod(level.c_str(), 0), 0);
    expectRefused(tool("levels dump '" + level + "'"), 1, "Permission denied", "levels dump");
    expectRefused(tool("replay --data '" + dataDir() + "' --levels '" + level + "'"), 2, "Permission denied", "replay");
    std::string error;
    EXPECT_FALSE(loadLevels(game().levels, level, error));
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
}

TEST(NotRegularFiles, LevelFilesThatAreFoldersDevicesOrTooLargeAreRefused) {
    const std::string folder = tempDir("bad-folder");
    const std::string big = sparseFile("bad-big", static_cast<long long>(MaxLevelFileBytes) + 1);
    const std::string bigSource = sparseFile("bad-big-source", static_cast<long long>(common::MaxFileBytes) + 1);
    for (const std::string& bad : {folder, std::string("/dev/zero"), big}) {
        const std::string q = "'" + bad + "'";
        expectRefused(tool("replay --data '" + dataDir() + "' --levels " + q), 2, bad, "replay " + bad);
        expectRefused(tool("solve --levels " + q), 2, bad, "solve " + bad);
        expectRefused(tool("levels dump " + q), 1, bad, "levels dump " + bad);
        std::string error;
        EXPECT_FALSE(loadLevels(game().levels, bad, error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
    for (const std::string& bad : {folder, std::string("/dev/zero"), bigSource}) {
        const std::string q = "'" + bad + "'";
        expectRefused(tool("levels check " + q), 1, bad + ":0:0: error: ", "levels check " + bad);
        // The build's error, then its verdict.
        const ToolRun build = tool("levels build " + q + " -o '" + folder + "/x.lvl'");
        EXPECT_EQ(build.status, 1) << bad;
        EXPECT_EQ(build.err.find(bad + ":0:0: error: "), 0u) << build.err;
    }
    // The game ends its start-up with one line, as for a missing level file.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(startGame(dataDir(), folder));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "brimvale: cannot open level file " + folder + " (is a folder)\n");
}

TEST(NotRegularFilesDeathTest, APackThatIsAFolderOrDeviceIsAMissingPack) {
    for (const std::string bad : {"folder", "device"}) {
        const std::string dir = makeDataDir("bad-pack-" + bad, {groundLevel()});
        std::remove((dir + "/data01.pak").c_str());
        if (bad == "folder")
            fs::create_directory(dir + "/data01.pak");
        else
            fs::create_symlink("/dev/zero", dir + "/data01.pak");
        EXPECT_EXIT(startGame(dir, dir + "/data.lvl"), ::testing::KilledBySignal(SIGABRT),
                    "cannot open image pack .*data01\\.pak");
        expectRefused(tool("replay --data '" + dir + "'"), 2, "data01.pak", "replay, pack " + bad);
        expectRefused(tool("unpack --data '" + dir + "' --out '" + tempDir("bad-unpack") + "'"), 1, "data01.pak",
                      "unpack, pack " + bad);
    }
}

TEST(OversizedImages, PackRefusesAWrongSizeFromTheHeaderBeforeDecoding) {
    const std::string art = tempDir("bad-art");
    ASSERT_EQ(tool("unpack --data '" + dataDir() + "' --out '" + art + "'").status, 0);
    writeFile(art + "/movable_block.png", headerOnlyPng(16000, 16000));
    std::string error;
    EXPECT_FALSE(art::packArt(art, tempDir("bad-art-out"), error));
    EXPECT_NE(error.find("is 16000x16000 pixels, pack 1 block 0"), std::string::npos) << error;
}

TEST(BadNumbers, EveryNumberAnOptionTakesIsChecked) {
    const std::string from = tempDir("bad-numbers") + "/one.txt";
    ASSERT_EQ(tool("levels dump '" + dataDir() + "/data.lvl' -o '" + from + "'").status, 0);
    for (const std::string args : {"--seed abc", "--steps abc", "--keep -1", "--max-states 0", "--clutter 1e999",
                                   "--seed 4294967296", "--steps"})
        expectRefused(tool("levels generate --from '" + from + "' " + args), 2, args.substr(0, args.find(' ')), args);
    expectRefused(tool("levels check --max-states 12abc '" + from + "'"), 2, "--max-states", "check");
    expectRefused(tool("solve --level -1"), 2, "--level", "solve --level");
    expectRefused(tool("replay --start 1x"), 2, "--start", "replay --start");
    for (const std::string event : {"click:1x,2", "click:3", "click:,", "click:999999,0", "Spacebar", "Up++Down"})
        expectRefused(tool("replay --data '" + dataDir() + "' " + event), 2, "unknown event", event);
}
