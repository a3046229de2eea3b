// Fuzz target: the pack loader, the sprite set and every screen drawn from
// whatever bytes a pack file holds.
//
// Input: a byte whose bits 0-1 say which pack file takes the fuzz bytes
// (0 or 1: data01.pak, 2: data02.pak, the other staying right; 3: both)
// and bits 2-3 which screen to end on, two
// bytes for the file's length in 16-byte steps (0 to about 1 MB), then the
// bytes, repeated to that length (zeros when none).
#include <algorithm>
#include <cstdint>
#include <string>

#include "assets/packs.h"
#include "fuzz/fuzz_support.h"
#include "game/board.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/platform.h"
#include "start/headless_start.h"
#include "ui/screens.h"

namespace {

// A level with something of every kind: the tank below an anti-tank that
// faces it, water with a sunk block, walls, mirrors, glass, slots, objects
// and codes the game does not know.
std::string showcaseLevel() {
    std::string r(LevelRecordBytes, static_cast<char>(Ground));
    auto put = [&r](int x, int y, int code) { r[y * BoardSize + x] = static_cast<char>(code); };
    put(2, 13, TankStart);
    put(2, 1, AntiTankDown);
    for (int y = 11; y <= 14; ++y) put(0, y, Water), put(1, y, Water), put(3, y, Water);
    put(1, 12, SunkBlock);
    for (int code = BrickWall; code < CellKindCount; ++code)
        if (code != TankStart) put(4 + (code - BrickWall) % 11, 3 + (code - BrickWall) / 11 * 4, code);
    put(5, 9, CellKindCount);
    put(6, 9, 200);
    put(7, 9, 255);
    put(8, 13, MovableMirrorLeftTop);
    put(2, 8, FixedMirrorRightBottom);
    return r;
}

// A pack file of `length` bytes: `bytes` over and over, or zeros.
std::string fuzzPack(const std::string& bytes, std::size_t length) {
    if (bytes.empty()) return std::string(length, '\0');
    std::string out;
    out.reserve(length);
    while (out.size() < length) out.append(bytes, 0, std::min(bytes.size(), length - out.size()));
    return out;
}

// Every screen from the loaded packs, with a beam, an explosion, a loss and
// a pause on the way; `last` picks the screen to end on.
void playEveryScreen(int last) {
    const std::string level = showcaseLevel();
    session::startGameFromRecords(reinterpret_cast<const std::uint8_t*>(level.data()), 1, session::Drawing::On);
    setScreen(LevelSelect);
    session::enterLevel(0);
    for (int key : {KeySpace, KeyRight, KeyRight, KeyUp, KeySpace, KeyLeft, KeyLeft, KeyLeft, KeyUp, KeyEscape})
        headless::queueKey(key);
    drawScreen();
    const Screen screens[4] = {Title, LevelSelect, Playing, Result};
    setScreen(screens[last]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string right[3] = {"", fuzz::syntheticPack(1), fuzz::syntheticPack(2)};
    const std::string& dir = fuzz::scratchDir();
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    const std::size_t length = 16 * ((static_cast<std::size_t>(in.byte()) << 8) | in.byte());
    const std::string bytes = fuzzPack(in.rest(), length);
    const int which = flags & 3;
    for (int pack = 1; pack <= 2; ++pack) {
        const bool fuzzed = which == pack || which == 3 || (which == 0 && pack == 1);
        if (!fuzz::writeBytes(dir + (pack == 1 ? "/data01.pak" : "/data02.pak"), fuzzed ? bytes : right[pack]))
            __builtin_trap();
    }
    std::string error;
    if (!loadImagePacks(dir, error)) __builtin_trap();
    buildSpriteSet();
    try {
        playEveryScreen((flags >> 2) & 3);
    } catch (const platform::Quit&) {
        __builtin_trap();  // nothing in the script quits
    }
    return 0;
}
