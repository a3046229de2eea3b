// What the fuzz targets share: reading an input, synthetic packs, event scripts, a scratch folder.
#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "assets/packs.h"
#include "game/board.h"
#include "game/levels.h"
#include "game/play_state.h"
#include "platform/platform.h"
#include "ui/screens.h"
#include "ui/window_game.h"

namespace fuzz {

std::string Input::take(std::size_t n) {
    if (n > left()) n = left();
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
}

namespace {

// Byte `i` of a block: colours that differ by block, row and column; alpha
// 0, 128 and 255 in turn down the rows of 4-byte blocks.
std::uint8_t patternByte(int pack, int block, std::size_t i) {
    const PackBlock& b = packBlock(pack, block);
    const std::size_t pixel = i / b.bytesPerPixel;
    const int channel = static_cast<int>(i % b.bytesPerPixel);
    const int x = static_cast<int>(pixel % b.width), y = static_cast<int>(pixel / b.width);
    if (channel == 3) return y % 3 == 0 ? 0 : y % 3 == 1 ? 128 : 255;
    return static_cast<std::uint8_t>(x * (channel + 1) + y * 3 + block * 13 + pack * 7);
}

void removeScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchDir(), ignored);
}

const int scriptKeys[16] = {KeySpace, KeyEnter,  KeyEscape,   KeyLeft, KeyRight, KeyUp, KeyDown, KeyPageUp,
                            KeyPageDown, KeyW, KeyA, KeyS, KeyD, KeyR, KeyOther, 'Q'};

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "play state broken: %s (screen %d, level %d of %d, page %d, tank %d %d)\n", what,
                 game().play.screen, game().play.level, game().levels.count, game().play.page, game().play.tank.x, game().play.tank.y);
    __builtin_trap();
}

}  // namespace

void fillSyntheticPacks() {
    for (int pack = 1; pack <= 2; ++pack) {
        const std::string bytes = syntheticPack(pack);
        std::copy(bytes.begin(), bytes.end(), packImageMutable(pack, 0));
    }
    buildSpriteSet();
}

std::string syntheticPack(int pack) {
    std::string bytes;
    for (int block = 0; block < packBlockCount(pack); ++block)
        for (std::size_t i = 0; i < packBlock(pack, block).bytes(); ++i)
            bytes.push_back(static_cast<char>(patternByte(pack, block, i)));
    return bytes;
}

const std::string& scratchDir() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/brimvale-fuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data())) std::abort();
        return std::string(buffer.data());
    }();
    static const bool registered = std::atexit(removeScratch) == 0;
    (void)registered;
    return dir;
}

bool writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

headless::Event nextEvent(Input& in, bool& joined) {
    const std::uint8_t b = in.byte();
    joined = (b & 0x80) != 0;
    const int kind = (b >> 4) & 7;
    if (kind < 4) return headless::Event{headless::Event::Key, scriptKeys[b & 15], 0, 0, 1, 0};
    if (kind == 4)  // a release (action 0) or an auto-repeat (2)
        return headless::Event{headless::Event::Key, scriptKeys[b & 15], 0, 0, (b & 1) ? 2 : 0, 0};
    // A click within 64 pixels around the window, with button 0 mostly.
    const std::uint8_t lowX = in.byte(), lowY = in.byte();
    const int x = lowX + ((b & 1) << 8) - 64, y = lowY + ((b & 2) << 7) - 64;
    const int button = kind == 7 ? (b >> 2) & 3 : 0;
    const int action = kind == 7 && (b & 8) ? 0 : 1;
    return headless::Event{headless::Event::Click, 0, static_cast<double>(x), static_cast<double>(y), action, button};
}

bool playScript(Input& in) {
    try {
        while (!in.empty()) {
            bool joined = true;
            while (joined && !in.empty()) headless::queue().push_back(nextEvent(in, joined));
            drawScreen();
            checkPlayState();
        }
        drawScreen();
        checkPlayState();
    } catch (const platform::Quit&) {
        headless::queue().clear();
        return false;
    }
    return true;
}

void checkPlayState() {
    if (game().play.screen != Title && game().play.screen != LevelSelect && game().play.screen != Playing && game().play.screen != Result)
        broken("unknown screen");
    if (game().play.level < 0 || game().play.level >= game().levels.count) broken("level out of range");
    if (game().play.page < 0 || game().play.page > (game().levels.count - 1) / 30) broken("page out of range");
    if (!onBoard(game().play.tank.x, game().play.tank.y)) broken("tank off the board");
}

}  // namespace fuzz
