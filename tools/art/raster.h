// A small raster toolkit for drawing the art set.
// Straight-alpha pictures in double precision, distance-field shapes,
// periodic noise and text through stb_truetype. Everything is deterministic:
// same input, same pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace art {

struct Colour {
    double r = 0, g = 0, b = 0;  // 0..255
    double a = 0;                // 0..1
};

inline Colour hex(unsigned rgb, double alpha = 1.0) {
    return {double((rgb >> 16) & 255), double((rgb >> 8) & 255), double(rgb & 255), alpha};
}
Colour mix(const Colour& p, const Colour& q, double t);
inline Colour lighten(const Colour& c, double t) { return mix(c, {255, 255, 255, c.a}, t); }
inline Colour darken(const Colour& c, double t) { return mix(c, {0, 0, 0, c.a}, t); }
inline Colour withAlpha(Colour c, double a) { c.a = a; return c; }
// `top` laid over `bottom` (straight alpha).
Colour over(const Colour& top, const Colour& bottom);

double clamp01(double v);
double smoothstep(double edge0, double edge1, double x);
// Coverage of a pixel by a shape whose signed distance at its centre is d.
inline double coverage(double d) { return clamp01(0.5 - d); }

// Signed distances in continuous pixel coordinates (pixel (x, y) covers
// x..x+1, y..y+1); negative inside.
double sdBox(double px, double py, double x0, double y0, double x1, double y1, double radius = 0);
double sdCircle(double px, double py, double cx, double cy, double r);
double distSegment(double px, double py, double ax, double ay, double bx, double by);
using Points = std::vector<std::pair<double, double>>;
double sdConvex(double px, double py, const Points& polygon);

// Integer hash to 0..1, and smooth value noise that repeats every
// `periodCells` lattice cells of `cellSize` pixels.
double hash01(int x, int y, int seed);
double valueNoise(double x, double y, double cellSize, int periodCells, int seed);

class Picture {
public:
    int w = 0, h = 0;
    std::vector<Colour> px;

    Picture() = default;
    Picture(int width, int height, Colour fill = {});
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Colour& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    const Colour& at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
    // Lays `c` over pixel (x, y) with its alpha scaled by `cover`; clipped.
    void blend(int x, int y, Colour c, double cover = 1.0);
    // Lays another picture over this one at (x, y), optionally magnified.
    void draw(const Picture& src, int x, int y, double opacity = 1.0);
    void drawScaled(const Picture& src, int x, int y, int scale);
    // Lays f(cx, cy) over every pixel of the rectangle, averaged over n x n
    // samples a pixel (cx, cy continuous coordinates of the sample).
    void paint(int x0, int y0, int x1, int y1, int n, const std::function<Colour(double, double)>& f);
    void paint(int n, const std::function<Colour(double, double)>& f) { paint(0, 0, w, h, n, f); }
    // A frame of an image whose frames are stacked top to bottom.
    Picture crop(int x, int y, int width, int height) const;
    bool opaque() const;
    // 8-bit bytes, red, green, blue[, alpha].
    std::vector<std::uint8_t> bytes(int channels) const;
};

// A coverage mask (0..1), for text and its outlines.
struct Mask {
    int w = 0, h = 0;
    std::vector<double> a;
    int originX = 0, originY = 0;  // where the pen started (x) and the baseline (y) inside the mask
    double at(int x, int y) const { return x < 0 || y < 0 || x >= w || y >= h ? 0.0 : a[static_cast<std::size_t>(y) * w + x]; }
    // The box of pixels with any coverage.
    void inkBox(int& x0, int& y0, int& x1, int& y1) const;
};
Mask dilate(const Mask& m, double radius);
void drawMask(Picture& pic, const Mask& m, int x, int y, Colour c);

class Font {
public:
    bool load(const std::string& path, std::string& error);
    // Renders `text` with an em of `emPixels`, squeezed across by `scaleX`,
    // with `pad` empty pixels around it.
    Mask render(const std::string& text, double emPixels, double scaleX = 1.0, int pad = 4) const;

private:
    std::string data_;                 // the font file
    std::vector<unsigned char> info_;  // stbtt_fontinfo, kept opaque here
};

}  // namespace art
