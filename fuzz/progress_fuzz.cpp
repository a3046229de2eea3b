// Fuzz target: the saved-progress file. Whatever bytes it holds, loading
// either reads them, and then save, load and save again writes the same
// bytes twice, or refuses them and keeps the file aside byte for byte.
//
// Input: a byte N, then N bytes naming the level file in play (any bytes:
// its last level played is saved under that name), then the file's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/fuzz_support.h"
#include "game/levels.h"
#include "tools/common/files.h"
#include "tools/session/headless_start.h"
#include "ui/progress.h"
#include "ui/ui_state.h"

namespace {

std::string readBytes(const std::string& path) {
    std::string bytes, error;
    if (!common::readFile(path, bytes, error)) __builtin_trap();
    return bytes;
}

bool saveAndLoad(const std::string& path, const std::string& levelFile, std::string& bytes) {
    std::string error, warning;
    if (!progress::save(path, error)) return false;
    bytes = readBytes(path);
    return progress::load(path, levelFile, warning) == progress::LoadResult::Loaded && warning.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool started = [] {
        uiConnections().progressFile.syncToDisk = false;
        const std::string level(LevelRecordBytes, '\0');
        session::startGameFromRecords(reinterpret_cast<const std::uint8_t*>(level.data()), 1, session::Drawing::Off);
        return true;
    }();
    (void)started;
    const std::string dir = fuzz::scratchDir();
    const std::string path = dir + "/progress.txt", aside = dir + "/progress.bad";
    fuzz::Input in(data, size);
    const std::string levelFile = in.take(in.byte());
    const std::string bytes = in.rest();
    unlink(aside.c_str());
    if (!fuzz::writeBytes(path, bytes)) __builtin_trap();

    std::string warning;
    if (progress::load(path, levelFile, warning) != progress::LoadResult::Loaded) {
        // Refused: kept aside whole, nothing left under the old name.
        if (warning.empty() || access(path.c_str(), F_OK) == 0 || readBytes(aside) != bytes) __builtin_trap();
        return 0;
    }
    if (!warning.empty()) __builtin_trap();
    progress::noteStart(0);
    std::string first, second;
    if (!saveAndLoad(path, levelFile, first) || progress::lastPlayed() != 0 || !saveAndLoad(path, levelFile, second) ||
        first != second)
        __builtin_trap();
    return 0;
}
