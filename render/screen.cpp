// The screen buffer, its frames and pauses, and the drawing switch.
#include "render/screen.h"

#include <cassert>
#include <cstring>

#include "platform/platform.h"

namespace {
Display theDisplay{};
}  // namespace

Display& display() { return theDisplay; }

void blitToScreen(const std::uint8_t* pixels, int width, int height, int top, int left) {
    if (!display().drawing || width <= 0 || height <= 0) return;
    assert(top >= 0 && left >= 0 && top + height <= ScreenHeight && left + width <= ScreenWidth);
    std::uint8_t* dst = display().buffer + (top * ScreenWidth + left) * 3;
    for (int row = 0; row < height; ++row) {
        std::memcpy(dst, pixels, static_cast<std::size_t>(width) * 3);
        pixels += width * 3;
        dst += ScreenWidth * 3;
    }
}

void beginFrame() {
    if (!display().drawing) return;
    platform::beginFrame();
}

void presentFrame() {
    if (!display().drawing) return;
    platform::presentFrame(display().buffer, false);
}

void swapFrame() {
    if (!display().drawing) return;
    platform::swapBuffers();
}

void presentScreen() {
    if (!display().drawing) return;
    platform::presentFrame(display().buffer, true);
}

void createScreenTexture() { platform::createTexture(); }

void deleteScreenTexture() { platform::deleteTexture(); }

unsigned pauseMillisFor(unsigned micros) {
    if (micros == 0 || micros > 999999) return 0;
    return (micros + 999) / 1000;
}

void pauseMicros(unsigned micros) {
    if (!display().drawing) return;
    platform::pause(micros, pauseMillisFor(micros));
}
