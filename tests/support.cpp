// Shared test fixtures: synthetic packs and levels, whole files, and the replay in-process.
#include "tests/support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/startup.h"
#include "assets/packs.h"
#include "game/levels.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "tools/common/files.h"
#include "game/level_text.h"
#include "tools/session/headless_start.h"
#include "tools/session/replay.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace testsupport {

namespace {
// Every folder made for a test goes when the test program ends.
std::vector<std::string>& madeDirs() {
    static std::vector<std::string> dirs;
    return dirs;
}
const pid_t ownerPid = getpid();
void removeMadeDirs() {
    if (getpid() != ownerPid) return;  // a forked child leaves them to its parent
    for (const std::string& dir : madeDirs()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}
}  // namespace

std::string tempDir(const std::string& tag) {
    if (madeDirs().empty()) std::atexit(removeMadeDirs);
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/brimvale-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    madeDirs().push_back(buffer.data());
    return buffer.data();
}

std::uint8_t syntheticPackByte(int pack, int block, std::size_t i) {
    const PackBlock& b = packLayout(pack)[block];
    const std::size_t pixel = i / b.bytesPerPixel;
    const int channel = static_cast<int>(i % b.bytesPerPixel);
    const int x = static_cast<int>(pixel % b.width);
    const int y = static_cast<int>(pixel / b.width);
    if (b.bytesPerPixel == 4 && channel == 3) return y == 0 ? 0 : y == 1 ? 128 : 255;
    // Each channel its own function of the position and the block.
    switch (channel) {
        case 0: return static_cast<std::uint8_t>(x * 3 + block * 17 + pack * 5);
        case 1: return static_cast<std::uint8_t>(y * 5 + block * 11 + 40);
        default: return static_cast<std::uint8_t>(x + 2 * y + block * 7 + 90);
    }
}

void writeSyntheticPacks(const std::string& dir, std::size_t cut1, std::size_t cut2) {
    for (int pack = 1; pack <= 2; ++pack) {
        std::string bytes;
        for (int block = 0; block < packBlockCount(pack); ++block) {
            const std::size_t n = packLayout(pack)[block].bytes();
            for (std::size_t i = 0; i < n; ++i) bytes.push_back(static_cast<char>(syntheticPackByte(pack, block, i)));
        }
        const std::size_t cut = pack == 1 ? cut1 : cut2;
        if (cut != std::string::npos && cut < bytes.size()) bytes.resize(cut);
        writeFile(dir + (pack == 1 ? "/data01.pak" : "/data02.pak"), bytes);
    }
}

Record filledRecord(std::uint8_t fill) { return Record(leveltext::RecordBytes, fill); }

void writeLevelFile(const std::string& path, const std::vector<Record>& records) {
    writeFile(path, leveltext::joinRecords(records));
}

std::string makeDataDir(const std::string& tag, const std::vector<Record>& records) {
    const std::string dir = tempDir(tag);
    writeSyntheticPacks(dir);
    writeLevelFile(dir + "/data.lvl", records);
    return dir;
}

std::string replayInProcess(const std::string& dir, int start, const std::string& events, const PlayerSet& set) {
    std::vector<session::EventGroup> groups;
    session::ReplayResult result;
    std::string error;
    session::ReplaySetup setup;
    setup.dataDir = dir;
    setup.levelFile = dir + "/data.lvl";
    setup.start = start;
    setup.set = set;
    if (!session::parseEvents({events}, groups, error) || !session::playReplay(setup, groups, result, error))
        throw std::runtime_error(error);
    return session::replayReport(result.quit);
}

std::string readFile(const std::string& path) {
    std::string bytes, error;
    if (!common::readFile(path, bytes, error)) throw std::runtime_error(error);
    return bytes;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::string error;
    if (!common::writeFile(path, bytes, error)) throw std::runtime_error(error);
}

ToolRun runTool(const std::string& args, const std::string& stdoutTo) {
    static int serial = 0;
    const std::string errFile = tempDir("stderr") + "/err" + std::to_string(++serial);
    ToolRun r;
    const std::string redirect = stdoutTo.empty() ? "" : " >'" + stdoutTo + "'";
    r.status = runCommand(std::string("'") + BRIMVALE_TOOL + "' " + args + redirect + " 2>'" + errFile + "'", &r.out);
    r.err = readFile(errFile);
    return r;
}

int runCommand(const std::string& command, std::string* out) {
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
        if (out) out->append(buffer, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string& syntheticDataDir() {
    static const std::string dir = [] {
        const std::string d = tempDir("packs");
        writeSyntheticPacks(d);
        return d;
    }();
    return dir;
}

void setUpGame(const std::vector<Record>& records) {
    std::string error;
    if (!loadImagePacks(syntheticDataDir(), error)) throw std::runtime_error(error);
    buildSpriteSet();
    session::resetGame();
    headless::requestClose(false);
    const std::string bytes = leveltext::joinRecords(records);
    setLevels(game().levels, reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(records.size()));
}

void PrintTo(const Bgr& p, std::ostream* os) {
    *os << "(b " << int(p.b) << ", g " << int(p.g) << ", r " << int(p.r) << ")";
}

Bgr picturePixel(const std::uint8_t* pixels, int width, int x, int y) {
    const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * width + x) * 3;
    return Bgr{p[0], p[1], p[2]};
}

Bgr screenPixel(int x, int y) { return picturePixel(display().buffer, ScreenWidth, x, y); }

Bgr spriteColour(const std::uint8_t* pixels, int width, int x, int y) {
    const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
    return Bgr{p[0], p[1], p[2]};
}

std::uint8_t spriteAlpha(const std::uint8_t* pixels, int width, int x, int y) {
    return pixels[(static_cast<std::size_t>(y) * width + x) * 4 + 3];
}

Bgr syntheticPixel(int pack, int block, int x, int y) {
    const PackBlock& b = packLayout(pack)[block];
    const std::size_t i = (static_cast<std::size_t>(y) * b.width + x) * b.bytesPerPixel;
    return Bgr{syntheticPackByte(pack, block, i), syntheticPackByte(pack, block, i + 1),
               syntheticPackByte(pack, block, i + 2)};
}

}  // namespace testsupport
