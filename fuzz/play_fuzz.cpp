// Fuzz target: a level file and random play on every screen, drawing off and on.
//
// Input: a flags byte (bit 0 drawing on; bits 1-2 the screen to begin on:
// title, level list, playing, paused; bits 3-5 and the next byte the level
// count less one, 1 to 2048), a byte for the level to begin with, then whole
// 256-byte records (missing records repeat the given ones), then the event
// script of fuzz_support.h.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/platform.h"
#include "start/headless_start.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace {

// `count` records: the whole ones the input gives, repeated; a room of ground
// with the tank in the middle when it gives none.
std::string levelRecords(fuzz::Input& in, int count) {
    std::string given;
    while (static_cast<int>(given.size() / LevelRecordBytes) < count && in.left() >= LevelRecordBytes)
        given += in.take(LevelRecordBytes);
    if (given.empty()) {
        given.assign(LevelRecordBytes, '\x02');
        given[8 * 16 + 8] = '\x0a';
    }
    std::string records;
    while (static_cast<int>(records.size() / LevelRecordBytes) < count) records += given;
    records.resize(static_cast<std::size_t>(count) * LevelRecordBytes);
    return records;
}

void enterScreen(int which, int level) {
    switch (which) {
        case 0: break;
        case 1:
            game().play.level = level;
            setScreen(LevelSelect);
            break;
        case 2: session::enterLevel(level); break;
        default:
            session::enterLevel(level);
            setScreen(Result);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool packsReady = (fuzz::fillSyntheticPacks(), true);
    (void)packsReady;
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    const int count = 1 + ((((flags >> 3) & 7) << 8) | in.byte());
    const int first = in.byte() % count;
    const std::string records = levelRecords(in, count);
    const auto drawing = (flags & 1) ? session::Drawing::On : session::Drawing::Off;
    try {
        session::startGameFromRecords(reinterpret_cast<const std::uint8_t*>(records.data()), count, drawing);
        enterScreen((flags >> 1) & 3, first);
    } catch (const platform::Quit&) {
        return 0;
    }
    fuzz::checkPlayState();
    fuzz::playScript(in);
    return 0;
}
