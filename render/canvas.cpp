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
    if (!display().drawing || w <= 0 || h <= 0) return;
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
    if (!display().drawing) return;
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
    if (!display().drawing) return;
    render(x, y, angle);
}

void Sprite::drawFrame(int x, int y, float angle, int f) {
    if (!display().drawing) return;
    frame = f;
    render(x, y, angle);
}

void Sprite::drawTinted(int x, int y, float angle, std::uint32_t colour) {
    if (!display().drawing) return;
    tintOn = 1;
    setTint(colour);
    render(x, y, angle);
    tintOn = 0;
}

void Sprite::drawFrameTinted(int x, int y, float angle, int f, std::uint32_t colour) {
    if (!display().drawing) return;
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
    // An opaque pixel is its own colour: a = 1 and 1 - a = 0 exactly.
    if (alpha == 255) return src;
    const int numerator = (255 - alpha) * dst + alpha * src;
    if (numerator % 255 != 0) return static_cast<std::uint8_t>(numerator / 255);
    return blendComponentExtended(dst, src, alpha);
}

namespace {

// Extended precision done by hand, the same on every machine: a positive
// number is significand * 2^exponent, and each step rounds the exact result
// to 64 significant bits, to nearest, ties to even, as the x87 unit does.
// (long double is that unit's 80-bit format on x86 only; elsewhere, as in
// WebAssembly, it is wider and rounds some whole-number sums differently.)
__extension__ typedef unsigned __int128 Wide;

struct Extended {
    Wide significand;
    int exponent;
};

int bitLength(Wide v) {
    const auto high = static_cast<std::uint64_t>(v >> 64), low = static_cast<std::uint64_t>(v);
    if (high != 0) return 128 - __builtin_clzll(high);
    return low != 0 ? 64 - __builtin_clzll(low) : 0;
}

Extended rounded(Extended x) {
    const int excess = bitLength(x.significand) - 64;
    if (excess <= 0) return x;
    Wide kept = x.significand >> excess;
    const Wide rest = x.significand & ((Wide(1) << excess) - 1), half = Wide(1) << (excess - 1);
    if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
    // Rounding up may carry into a 65th bit; the value is then a power of two.
    if ((kept >> 64) != 0) return Extended{kept >> 1, x.exponent + excess + 1};
    return Extended{kept, x.exponent + excess};
}

Extended times(Extended x, int n) { return rounded(Extended{x.significand * static_cast<unsigned>(n), x.exponent}); }

// x + y, or x - y with `subtract` (x >= y), exactly, then rounded. The
// operands here lie within 2^20 of each other, so the aligned sum fits.
Extended combined(Extended x, Extended y, bool subtract) {
    if (y.significand == 0) return x;
    if (x.significand == 0) return y;
    const int low = x.exponent < y.exponent ? x.exponent : y.exponent;
    const Wide a = x.significand << (x.exponent - low), b = y.significand << (y.exponent - low);
    return rounded(Extended{subtract ? a - b : a + b, low});
}

// alpha / 255 to 64 bits, rounded once: the quotient carries some 30 bits
// beyond them, and a last bit standing for any remainder.
Extended alphaFraction(int alpha) {
    const int shift = 100;
    const Wide scaled = Wide(static_cast<unsigned>(alpha)) << shift;
    const Wide sticky = scaled % 255 != 0 ? 1 : 0;
    return rounded(Extended{(scaled / 255) << 1 | sticky, -shift - 1});
}

// a = A / 255 and 1 - a for every alpha, worked out once.
struct AlphaSteps {
    Extended a[256], keep[256];
    AlphaSteps() {
        for (int alpha = 0; alpha < 256; ++alpha) {
            a[alpha] = alphaFraction(alpha);
            keep[alpha] = combined(Extended{1, 0}, a[alpha], true);
        }
    }
};

const AlphaSteps& alphaSteps() {
    static const AlphaSteps steps;
    return steps;
}

int truncated(Extended x) {
    if (x.exponent >= 0) return static_cast<int>(x.significand << x.exponent);
    return x.exponent <= -128 ? 0 : static_cast<int>(x.significand >> -x.exponent);
}

}  // namespace

std::uint8_t blendComponentExtended(std::uint8_t dst, std::uint8_t src, std::uint8_t alpha) {
    const AlphaSteps& steps = alphaSteps();
    const Extended sum = combined(times(steps.keep[alpha], dst), times(steps.a[alpha], src), false);
    return static_cast<std::uint8_t>(truncated(sum));
}

namespace {

// Blends one sprite pixel (four bytes, alpha last) over a canvas pixel.
inline void blendPixel(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* tint, bool tinted) {
    const std::uint8_t alpha = src[3];
    if (alpha == 0) return;
    const std::uint8_t* colour = tinted ? tint : src;
    dst[0] = blendComponent(dst[0], colour[0], alpha);
    dst[1] = blendComponent(dst[1], colour[1], alpha);
    dst[2] = blendComponent(dst[2], colour[2], alpha);
}


// A sprite of one colour and one alpha throughout (the veil over a finished
// level) blends each canvas byte through a table of its 256 values, kept in
// `uniformBlend` while the same colour and alpha come back.
const UniformBlend* uniformBlendFor(UniformBlend& uniformBlend, const std::uint8_t* pixels, int count,
                                    const std::uint8_t* tint, bool tinted) {
    for (int k = 1; k < count; ++k)
        if (std::memcmp(pixels + 4 * k, pixels, 4) != 0) return nullptr;
    const std::uint8_t alpha = pixels[3];
    if (alpha == 0 || alpha == 255) return nullptr;
    const std::uint8_t* colour = tinted ? tint : pixels;
    const std::uint32_t key = colour[0] | colour[1] << 8 | colour[2] << 16 | static_cast<std::uint32_t>(alpha) << 24;
    if (uniformBlend.key != key) {
        for (int c = 0; c < 3; ++c)
            for (int d = 0; d < 256; ++d)
                uniformBlend.table[c][d] = blendComponent(static_cast<std::uint8_t>(d), colour[c], alpha);
        uniformBlend.key = key;
    }
    return &uniformBlend;
}
}  // namespace

// Unturned, the general mapping below is the identity (sin 0 = 0 and
// cos 0 = 1 exactly): each row is read straight, without rounding.
void Sprite::renderUpright(int x, int y) {
    const int cw = canvas->width, ch = canvas->height;
    const int firstCol = x < 0 ? -x : 0;
    const int endCol = x + width > cw ? cw - x : width;
    const std::uint8_t* frameBase = image + static_cast<std::ptrdiff_t>(frame) * frameHeight * width * 4;
    const UniformBlend* uniform = uniformBlendFor(uniformBlend_, frameBase, width * height, tint, tintOn == 1);
    for (int i = 0; i < height; ++i) {
        const int ty = y + i;
        if (ty < 0 || ty >= ch || firstCol >= endCol) continue;
        const std::uint8_t* src = frameBase + (static_cast<std::ptrdiff_t>(i) * width + firstCol) * 4;
        std::uint8_t* dst = canvas->pixels + (static_cast<std::ptrdiff_t>(ty) * cw + x + firstCol) * 3;
        if (uniform) {
            for (int j = firstCol; j < endCol; ++j, dst += 3)
                for (int c = 0; c < 3; ++c) dst[c] = uniform->table[c][dst[c]];
        } else {
            for (int j = firstCol; j < endCol; ++j, src += 4, dst += 3) blendPixel(dst, src, tint, tintOn == 1);
        }
    }
}

void Sprite::render(int x, int y, float angle) {
    if (angle == 0.0f) {
        renderUpright(x, y);
        return;
    }
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
            blendPixel(canvas->pixels + (static_cast<std::ptrdiff_t>(ty) * cw + tx) * 3, src, tint, tintOn == 1);
        }
    }
}
