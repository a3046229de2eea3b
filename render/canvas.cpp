// Canvases and sprites: copying, turning, tinting and blending pixels.
#include "render/canvas.h"

#include <cmath>
#include <cstring>

#include "platform/platform.h"
#include "render/screen.h"

Canvas::Canvas(int w, int h)
    : pixels(new std::uint8_t[static_cast<std::size_t>(w) * h * 3]()), width(w), height(h) {}

Canvas::~Canvas() { release(); }

void Canvas::blit(const std::uint8_t* src, int x, int y, int w, int h) {
    if (!drawingEnabled || w <= 0 || h <= 0) return;
    // Pixels that fall off the canvas are skipped; each row's visible run is
    // one copy.
    const int firstCol = x < 0 ? -x : 0;
    const int endCol = x + w > width ? width - x : w;
    for (int row = 0; row < h; ++row, src += static_cast<std::ptrdiff_t>(w) * 3) {
        const int ty = y + row;
        if (ty < 0 || ty >= height || firstCol >= endCol) continue;
        std::memcpy(pixels + index(x + firstCol, ty) * 3, src + firstCol * 3,
                    static_cast<std::size_t>(endCol - firstCol) * 3);
    }
}

void Canvas::present(int x, int y) {
    if (!drawingEnabled) return;
    blitToScreen(pixels, width, height, y, x);
    platform::updateTexture(x, y, width, height, pixels);
}

void Canvas::release() {
    delete[] pixels;
    pixels = nullptr;
}

Sprite::Sprite(Canvas* c, const std::uint8_t* img, int w, int h)
    : canvas(c), image(img), width(w), height(h) {}

void Sprite::setFrameSize(int fw, int fh) {
    frameWidth = fw;
    frameHeight = fh;
}

void Sprite::setTint(std::uint32_t colour) {
    tint[0] = static_cast<std::uint8_t>(colour & 0xFF);
    tint[1] = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
    tint[2] = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

void Sprite::draw(int x, int y, float angle) {
    if (!drawingEnabled) return;
    render(x, y, angle);
}

void Sprite::drawFrame(int x, int y, float angle, int f) {
    if (!drawingEnabled) return;
    frame = f;
    render(x, y, angle);
}

void Sprite::drawTinted(int x, int y, float angle, std::uint32_t colour) {
    if (!drawingEnabled) return;
    tintOn = 1;
    setTint(colour);
    render(x, y, angle);
    tintOn = 0;
}

void Sprite::drawFrameTinted(int x, int y, float angle, int f, std::uint32_t colour) {
    if (!drawingEnabled) return;
    tintOn = 1;
    setTint(colour);
    frame = f;
    render(x, y, angle);
    tintOn = 0;
}

std::uint8_t blendComponent(std::uint8_t dst, std::uint8_t src, std::uint8_t alpha) {
    // The exact value is ((255 - A) dst + A src) / 255. When that is not a
    // whole number it lies at least 1/255 from one, far beyond the rounding
    // of extended precision, so truncating it is what the extended sum gives.
    // Only a whole number can come out one lower, and for those (one case in
    // 255) the extended-precision sum itself decides.
    const int numerator = (255 - alpha) * dst + alpha * src;
    if (numerator % 255 != 0) return static_cast<std::uint8_t>(numerator / 255);
    return blendComponentExtended(dst, src, alpha);
}

std::uint8_t blendComponentExtended(std::uint8_t dst, std::uint8_t src, std::uint8_t alpha) {
    const long double a = static_cast<long double>(alpha) / 255;
    const long double keep = 1 - a;
    const long double under = keep * static_cast<long double>(dst);
    const long double over = a * static_cast<long double>(src);
    const long double sum = under + over;
    return static_cast<std::uint8_t>(sum);
}

void Sprite::render(int x, int y, float angle) {
    // The three exact right angles shift the box by a pixel, so that the
    // turned picture covers the same cell as the unturned one.
    int dx = 0, dy = 0;
    if (angle == 90.0f) {
        dx = -1;
    } else if (angle == 180.0f) {
        dx = -1;
        dy = -1;
    } else if (angle == 270.0f) {
        dy = -1;
    }
    const int w = width, h = height;
    const int hw = w / 2, hh = h / 2;
    const double theta = -static_cast<double>(angle) * SpriteAngleFactor;
    const double s = std::sin(theta), c = std::cos(theta);
    const int cw = canvas->width, ch = canvas->height;
    const std::uint8_t* frameBase = image + static_cast<std::ptrdiff_t>(frame) * frameHeight * w * 4;

    for (int i = 0; i < h; ++i) {
        const int u = i - hh;
        const double us = s * u, uc = c * u;
        const int ty = y + dy + i;
        for (int j = 0; j < w; ++j) {
            const int v = j - hw;
            const double sxf = c * v - us;
            const double syf = s * v + uc;
            const int sx = static_cast<int>(std::round(sxf)) + hw;
            const int sy = static_cast<int>(std::round(syf)) + hh;
            if (sx < 0 || sx >= w || sy < 0 || sy >= h) continue;
            const int tx = x + dx + j;
            if (tx < 0 || ty < 0 || tx >= cw || ty >= ch) continue;
            const std::uint8_t* src = frameBase + (static_cast<std::ptrdiff_t>(sy) * w + sx) * 4;
            const std::uint8_t alpha = src[3];
            if (alpha == 0) continue;
            const std::uint8_t* colour = tintOn == 1 ? tint : src;
            std::uint8_t* dst = canvas->pixels + (static_cast<std::ptrdiff_t>(ty) * cw + tx) * 3;
            dst[0] = blendComponent(dst[0], colour[0], alpha);
            dst[1] = blendComponent(dst[1], colour[1], alpha);
            dst[2] = blendComponent(dst[2], colour[2], alpha);
        }
    }
}
