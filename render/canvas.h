// Software pictures: RGB canvases and RGBA sprites drawn turned, tinted and
// alpha-blended onto them.
#pragma once

#include <cstdint>

// 3.14 / 180: the game's own degree-to-radian factor. A turn of 90 is 1.57
// radians, a little short of a right angle, and the pixels show it.
constexpr double SpriteAngleFactor = 0.017444444444444446;

class Canvas {
public:
    std::uint8_t* pixels;
    std::int32_t width;
    std::int32_t height;

    Canvas(int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    int index(int x, int y) const { return y * width + x; }
    // Copies a w x h rectangle of 3-byte pixels with its top-left pixel at
    // (x, y), pixel by pixel clipped to the canvas.
    void blit(const std::uint8_t* src, int x, int y, int w, int h);
    // Puts the whole canvas into the screen buffer at (x, y) (no clipping)
    // and into the same rectangle of the screen texture.
    void present(int x, int y);
    void release();
};

// The blend table of a sprite of one colour and one alpha throughout: each
// canvas byte's 256 values for each colour component.
struct UniformBlend {
    std::uint32_t key = 0;  // blue, green, red, alpha; 0 is never kept
    std::uint8_t table[3][256];
};

class Sprite {
public:
    std::uint8_t tintOn = 0;
    std::uint8_t tint[3] = {0, 0, 0};
    std::int32_t frame = 0;
    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    Canvas* canvas;
    const std::uint8_t* image;
    std::int32_t width;
    std::int32_t height;

    Sprite(Canvas* canvas, const std::uint8_t* image, int width, int height);

    void setFrameSize(int frameWidth, int frameHeight);
    void draw(int x, int y, float angle);
    void drawFrame(int x, int y, float angle, int frame);
    void drawTinted(int x, int y, float angle, std::uint32_t colour);
    void drawFrameTinted(int x, int y, float angle, int frame, std::uint32_t colour);

private:
    void setTint(std::uint32_t colour);
    void render(int x, int y, float angle);
    void renderUpright(int x, int y);

    UniformBlend uniformBlend_;  // kept while the same colour and alpha come back
};

// One colour component of a sprite pixel blended over a canvas pixel: in
// 80-bit extended precision, truncated toward zero.
std::uint8_t blendComponent(std::uint8_t dst, std::uint8_t src, std::uint8_t alpha);
// The same, computed step by step in extended precision: a = A / 255, then
// (1 - a) dst + a src, each step rounded to a 64-bit significand (the x87
// unit's rounding, done in integers so that every machine agrees).
std::uint8_t blendComponentExtended(std::uint8_t dst, std::uint8_t src, std::uint8_t alpha);
