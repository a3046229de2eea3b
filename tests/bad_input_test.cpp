// Bad input to brimvale-tool and the game's loaders: one line and a failing status, never a crash or a false success.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "app/command_line.h"
#include "start/startup.h"
#include "assets/packs.h"
#include "game/levels.h"
#include "tests/support.h"
#include "tools/art/art_set.h"
#include "tools/art/pack.h"
#include "platform/sound.h"
#include "common/files.h"
#include "ui/progress.h"
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
    // A level file is built only into a regular file: a full device of our
    // own is refused before a byte is written (a full disk: LevelBuildOutputs).
    const std::string full = tempDir("bad-full") + "/full";
    if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
        ASSERT_EQ(mkfifo(full.c_str(), 0666), 0);
    }
    expectRefused(tool("levels build '" + source + "' -o '" + full + "'"), 1, full + ": cannot replace (is not a regular file)",
                  "levels build");
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
    EXPECT_FALSE(startOrSay(dataDir(), folder));
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
        EXPECT_EXIT(startOrSay(dir, dir + "/data.lvl"), ::testing::KilledBySignal(SIGABRT),
                    "cannot open image pack .*data01\\.pak");
        expectRefused(tool("replay --data '" + dir + "'"), 2, "data01.pak", "replay, pack " + bad);
        expectRefused(tool("unpack --data '" + dir + "' --out '" + tempDir("bad-unpack") + "'"), 1, "data01.pak",
                      "unpack, pack " + bad);
    }
}

// Sound and the counter's par file: a pipe (which would wait for a writer
// forever), a device, a folder or a huge file is never read. Without sound or
// the fewest figure the game plays on, after one line.
TEST(NotRegularFiles, SoundAndParFilesArePlayedWithoutAfterOneLine) {
    const std::string dir = makeDataDir("bad-odd", {groundLevel()});
    fs::copy(std::string(BRIMVALE_DATA_BUILD_DIR) + "/sound", dir + "/sound");
    const std::string shot = dir + "/sound/shot.wav", par = dir + "/data.par";
    const std::string key = progress::hashText(progress::levelHash(groundLevel().data()));
    const std::string counter = "replay --data '" + dir + "' --counter --start 0 Up";
    writeFile(par, key + " 7\n");
    ToolRun r = tool(counter);
    EXPECT_TRUE(r.status == 0 && r.err.empty()) << r.err;
    EXPECT_NE(r.out.find(" - fewest 7\n"), std::string::npos) << r.out;
    const auto makeOdd = [](const std::string& path, const std::string& kind) {
        fs::remove_all(path);
        if (kind == "pipe") {
            EXPECT_EQ(mkfifo(path.c_str(), 0666), 0);
        }
        if (kind == "device") fs::create_symlink("/dev/zero", path);
        if (kind == "folder") fs::create_directory(path);
        if (kind == "huge") {
            writeFile(path, "");
            EXPECT_EQ(truncate(path.c_str(), 1LL << 30), 0);
        }
    };
    for (const std::string kind : {"pipe", "device", "folder", "huge"}) {
        makeOdd(shot, kind);
        std::vector<sound::Sample> set;
        std::string error;
        EXPECT_FALSE(sound::readSampleSet(dir + "/sound", set, error)) << kind;
        EXPECT_EQ(error, shot + (kind == "huge" ? ": larger than 1921024 bytes" : ": is not a regular file"));
        makeOdd(par, kind);
        r = tool(counter);
        EXPECT_EQ(r.status, 0) << kind;
        EXPECT_EQ(r.out.find("fewest"), std::string::npos) << kind;
        expectRefused(r, 0, "brimvale-tool replay: " + par + ": ", "par file " + kind);
    }
    // A damaged par file gives no figure at all, rather than a wrong one.
    const std::string damaged[] = {"zzzzzzzzzzzzzzzz 5\n", key + " 7\n" + key.substr(1) + "g 7\n", key + " -1\n",
                                   key + " 7 8\n", key + "\n", key + " 5x\n", key + "0 7\n"};
    for (const std::string& bytes : damaged) {
        fs::remove_all(par);
        writeFile(par, bytes);
        r = tool(counter);
        EXPECT_EQ(r.out.find("fewest"), std::string::npos) << bytes;
        expectRefused(r, 0, par + ":", "par file " + bytes);
    }
#ifdef BRIMVALE_GAME_PROGRAM
    // The game: the same line, then on (here to the window it cannot open).
    makeOdd(shot, "pipe");
    std::string out;
    const std::string game = std::string("env -u DISPLAY -u WAYLAND_DISPLAY '") + BRIMVALE_GAME_PROGRAM + "' --data '" + dir;
    EXPECT_EQ(testsupport::runCommand(game + "' --sound --counter 2>&1", &out), 1);
    EXPECT_EQ(out.find("brimvale: " + par + ":1: not a level key and its presses; playing without the fewest presses\n"
                       "brimvale: " + shot + ": is not a regular file; playing without sound\n"
                       "brimvale: cannot open the game window"), 0u) << out;
#endif
}

// levels build writes its level file and par file whole or not at all, and
// never one over the other or over a source.
TEST(LevelBuildOutputs, BothOrNeitherAndNeverTheSameFile) {
    const std::string dir = tempDir("bad-build");
    const std::string source = dir + "/one.txt", lvl = dir + "/o.lvl", par = dir + "/o.par";
    ASSERT_EQ(tool("levels dump '" + dataDir() + "/data.lvl' -o '" + source + "'").status, 0);
    std::string text = readFile(source);
    writeFile(source, text.insert(text.find('\n', text.find("title")) + 1, "moves 9\n"));
    writeFile(lvl, "old level file");
    const std::string build = "levels build '" + source + "' -o '" + lvl + "' --par ";
    expectRefused(tool(build + "'" + dir + "/missing/o.par'"), 1, dir + "/missing/o.par: cannot create", "missing");
    EXPECT_EQ(readFile(lvl), "old level file");
    ASSERT_EQ(mkfifo(par.c_str(), 0666), 0);
    expectRefused(tool(build + "'" + par + "'"), 1, par + ": cannot replace (is not a regular file)", "pipe");
    EXPECT_TRUE(fs::is_fifo(par));
    EXPECT_EQ(readFile(lvl), "old level file");
    fs::remove(par);
    // The same file by the same name, another spelling, a link, or a source.
    fs::create_symlink(lvl, dir + "/link");
    const std::string same[] = {"'" + lvl + "'", "'" + dir + "/./o.lvl'", "'" + dir + "/link'"};
    for (const std::string& other : same)
        expectRefused(tool(build + other), 2, "-o and --par name the same file", other);
    expectRefused(tool("levels build '" + source + "' -o '" + dir + "/new.lvl' --par '" + dir + "/new.lvl'"), 2,
                  "the same file", "both new");
    expectRefused(tool("levels build '" + source + "' -o '" + source + "'"), 2, "is also a source", "source");
    EXPECT_EQ(readFile(lvl), "old level file");
    EXPECT_EQ(readFile(source), text);
    // A full disk under the par file (a small file system of our own, when
    // this machine lets us mount one).
    const std::string small = tempDir("bad-build-small");
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=4k") == 0) {
        writeFile(small + "/filler", std::string(4096, 'x'));
        expectRefused(tool(build + "'" + small + "/o.par'"), 1, small + "/o.par: write error (No space left on device)",
                      "full disk");
        EXPECT_EQ(readFile(lvl), "old level file");
        EXPECT_EQ(std::distance(fs::directory_iterator(small), fs::directory_iterator()), 1);
        EXPECT_EQ(umount(small.c_str()), 0);
    }
    // Written: both whole, with the usual permissions, and nothing else left.
    const ToolRun done = tool(build + "'" + par + "'");
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(readFile(lvl), readFile(dataDir() + "/data.lvl"));
    EXPECT_EQ(readFile(par), progress::hashText(progress::levelHash(groundLevel().data())) + " 9 title Level 1\n");
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(fs::status(par).permissions(), static_cast<fs::perms>(0666 & ~mask));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);  // one.txt, o.lvl, o.par, link
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

// A link to one level: the record in base64url without padding after the
// base, the level counted from 1; a level past the end and a missing or bad
// --level are refused.
TEST(LevelLink, OneRecordInBase64UrlAndItsRefusals) {
    const std::string level = tempDir("link") + "/two.lvl";
    Record second = groundLevel();
    for (int i = 0; i < 256; ++i) second[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 1);
    const Record first = groundLevel();
    const std::string records = std::string(first.begin(), first.end()) + std::string(second.begin(), second.end());
    writeFile(level, records);
    const ToolRun r = tool("levels link '" + level + "' --level 2 --base https://x.test/b/index.html");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string prefix = "https://x.test/b/index.html#level=";
    ASSERT_EQ(r.out.compare(0, prefix.size(), prefix), 0) << r.out;
    const std::string text = r.out.substr(prefix.size());
    ASSERT_EQ(text.size(), 342u + 1) << "256 bytes in 342 characters and a newline";
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string bytes;
    unsigned bits = 0, count = 0;
    for (char c : text.substr(0, 342)) {
        ASSERT_NE(alphabet.find(c), std::string::npos) << c;
        bits = bits << 6 | static_cast<unsigned>(alphabet.find(c));
        if ((count += 6) >= 8) bytes += static_cast<char>(bits >> (count -= 8) & 255);
    }
    EXPECT_EQ(bytes, records.substr(256, 256));
    EXPECT_EQ(tool("levels link '" + level + "' --level 1").out.compare(0, 17, "index.html#level="), 0);
    expectRefused(tool("levels link '" + level + "' --level 3"), 1, "holds 2 levels", "a level past the end");
    expectRefused(tool("levels link '" + level + "'"), 2, "--level", "no --level");
    expectRefused(tool("levels link '" + level + "' --level 0"), 2, "--level", "--level 0");
}
