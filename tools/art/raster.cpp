// Small raster toolkit for drawing the art set.
#include "tools/art/raster.h"

#include <algorithm>
#include <cmath>

#include "stb_truetype.h"
#include "common/files.h"

namespace art {

Colour mix(const Colour& p, const Colour& q, double t) {
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

Colour over(const Colour& top, const Colour& bottom) {
    const double a = top.a + bottom.a * (1 - top.a);
    if (a <= 0) return {0, 0, 0, 0};
    const double wb = bottom.a * (1 - top.a);
    return {(top.r * top.a + bottom.r * wb) / a, (top.g * top.a + bottom.g * wb) / a,
            (top.b * top.a + bottom.b * wb) / a, a};
}

double clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

double sdBox(double px, double py, double x0, double y0, double x1, double y1, double r) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    const double qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

double sdCircle(double px, double py, double cx, double cy, double r) {
    return std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy)) - r;
}

double distSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay, wx = px - ax, wy = py - ay;
    const double len2 = vx * vx + vy * vy;
    const double t = len2 > 0 ? std::min(1.0, std::max(0.0, (wx * vx + wy * vy) / len2)) : 0.0;
    const double dx = wx - t * vx, dy = wy - t * vy;
    return std::sqrt(dx * dx + dy * dy);
}

double sdConvex(double px, double py, const Points& poly) {
    // Signed area decides the winding; each edge gives a half-plane distance.
    double area = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const auto& p = poly[i];
        const auto& q = poly[(i + 1) % poly.size()];
        area += p.first * q.second - q.first * p.second;
    }
    const double sign = area > 0 ? 1.0 : -1.0;
    double d = -1e9;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const auto& p = poly[i];
        const auto& q = poly[(i + 1) % poly.size()];
        const double ex = q.first - p.first, ey = q.second - p.second;
        const double len = std::sqrt(ex * ex + ey * ey);
        // Outward normal for a counter-clockwise (in y-down: area > 0) polygon.
        const double nx = ey / len * sign, ny = -ex / len * sign;
        d = std::max(d, (px - p.first) * nx + (py - p.second) * ny);
    }
    return d;
}

double hash01(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                      static_cast<std::uint32_t>(seed) * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double valueNoise(double x, double y, double cellSize, int period, int seed) {
    const double gx = x / cellSize, gy = y / cellSize;
    const int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
    double fx = gx - ix, fy = gy - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    auto corner = [&](int cx, int cy) {
        return hash01(((cx % period) + period) % period, ((cy % period) + period) % period, seed);
    };
    const double top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * fx;
    const double bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * fx;
    return top + (bottom - top) * fy;
}

Picture::Picture(int width, int height, Colour fill) : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}

void Picture::blend(int x, int y, Colour c, double cover) {
    if (!inside(x, y) || cover <= 0) return;
    c.a *= cover;
    at(x, y) = over(c, at(x, y));
}

void Picture::draw(const Picture& src, int x, int y, double opacity) {
    for (int sy = 0; sy < src.h; ++sy)
        for (int sx = 0; sx < src.w; ++sx) blend(x + sx, y + sy, src.at(sx, sy), opacity);
}

void Picture::drawScaled(const Picture& src, int x, int y, int scale) {
    for (int sy = 0; sy < src.h * scale; ++sy)
        for (int sx = 0; sx < src.w * scale; ++sx) blend(x + sx, y + sy, src.at(sx / scale, sy / scale));
}

void Picture::paint(int x0, int y0, int x1, int y1, int n, const std::function<Colour(double, double)>& f) {
    for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(w, x1); ++x) {
            // Average in premultiplied form so edges blend cleanly.
            double r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const Colour c = f(x + (i + 0.5) / n, y + (j + 0.5) / n);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            if (a <= 0) continue;
            const Colour avg{r / a, g / a, b / a, a / (n * n)};
            at(x, y) = over(avg, at(x, y));
        }
}

Picture Picture::crop(int x, int y, int width, int height) const {
    Picture out(width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (inside(x + i, y + j)) out.at(i, j) = at(x + i, y + j);
    return out;
}

bool Picture::opaque() const {
    for (const Colour& c : px)
        if (static_cast<int>(std::floor(clamp01(c.a) * 255 + 0.5)) != 255) return false;
    return true;
}

std::vector<std::uint8_t> Picture::bytes(int channels) const {
    std::vector<std::uint8_t> out;
    out.reserve(px.size() * channels);
    auto q = [](double v) { return static_cast<std::uint8_t>(std::floor(std::min(255.0, std::max(0.0, v)) + 0.5)); };
    for (const Colour& c : px) {
        out.push_back(q(c.r));
        out.push_back(q(c.g));
        out.push_back(q(c.b));
        if (channels == 4) out.push_back(q(clamp01(c.a) * 255));
    }
    return out;
}

void Mask::inkBox(int& x0, int& y0, int& x1, int& y1) const {
    x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (at(x, y) > 0) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
}

Mask dilate(const Mask& m, double radius) {
    Mask out = m;
    const int r = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            double best = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    // Soft disc: full inside the radius, fading over one pixel.
                    const double weight = clamp01(radius + 0.5 - std::sqrt(double(dx * dx + dy * dy)));
                    best = std::max(best, m.at(x + dx, y + dy) * weight);
                }
            out.a[static_cast<std::size_t>(y) * m.w + x] = best;
        }
    return out;
}

void drawMask(Picture& pic, const Mask& m, int x, int y, Colour c) {
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) pic.blend(x + i, y + j, c, m.at(i, j));
}

namespace {

unsigned long bigEndian(const unsigned char* p, int bytes) {
    unsigned long v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
    return v;
}

// What stb_truetype takes on trust, checked: the file holds a font at index
// 0, its table directory and every table it lists lie within the file, and
// so do the records of its character map. Empty when sound, else why not.
std::string fontFault(const std::string& file) {
    const auto* data = reinterpret_cast<const unsigned char*>(file.data());
    const std::size_t size = file.size();
    if (size < 16) return "too short for a font (" + std::to_string(size) + " bytes)";
    if (stbtt_GetNumberOfFonts(data) < 1) return "not a TrueType or OpenType font";
    const long start = stbtt_GetFontOffsetForIndex(data, 0);
    if (start < 0 || static_cast<std::size_t>(start) + 12 > size) return "its first font lies outside the file";
    const std::size_t tables = bigEndian(data + start + 4, 2);
    if (start + 12 + 16 * tables > size) return "its table directory runs past the end of the file";
    for (std::size_t t = 0; t < tables; ++t) {
        const unsigned char* entry = data + start + 12 + 16 * t;
        const std::size_t offset = bigEndian(entry + 8, 4), length = bigEndian(entry + 12, 4);
        const std::string tag(reinterpret_cast<const char*>(entry), 4);
        if (offset > size || length > size - offset) return "its table '" + tag + "' runs past the end of the file";
        if (tag == "cmap" && (length < 4 || 4 + 8 * bigEndian(data + offset + 2, 2) > length))
            return "its character map runs past the end of its table";
    }
    return std::string();
}

}  // namespace

bool Font::load(const std::string& path, std::string& error) {
    if (!common::readFile(path, data_, error)) return false;
    const std::string fault = fontFault(data_);
    if (!fault.empty()) {
        error = path + ": " + fault;
        return false;
    }
    info_.assign(sizeof(stbtt_fontinfo), 0);
    auto* info = reinterpret_cast<stbtt_fontinfo*>(info_.data());
    const auto* data = reinterpret_cast<const unsigned char*>(data_.data());
    if (!stbtt_InitFont(info, data, stbtt_GetFontOffsetForIndex(data, 0)) ||
        static_cast<std::size_t>(info->index_map) >= data_.size()) {
        error = path + ": not a font stb_truetype can read";
        return false;
    }
    return true;
}

Mask Font::render(const std::string& text, double emPixels, double scaleX, int pad) const {
    const auto* info = reinterpret_cast<const stbtt_fontinfo*>(info_.data());
    const float sy = stbtt_ScaleForMappingEmToPixels(info, static_cast<float>(emPixels));
    const float sx = static_cast<float>(sy * scaleX);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(info, &ascent, &descent, &gap);
    struct Glyph { int cp; double x; };
    std::vector<Glyph> glyphs;
    double pen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int cp = static_cast<unsigned char>(text[i]);
        glyphs.push_back({cp, pen});
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(info, cp, &advance, &lsb);
        pen += advance * sx;
        if (i + 1 < text.size()) pen += stbtt_GetCodepointKernAdvance(info, cp, static_cast<unsigned char>(text[i + 1])) * sx;
    }
    Mask m;
    m.originX = pad;
    m.originY = pad + static_cast<int>(std::ceil(ascent * sy));
    m.w = static_cast<int>(std::ceil(pen)) + 2 * pad + 2;
    m.h = m.originY + static_cast<int>(std::ceil(-descent * sy)) + pad + 1;
    m.a.assign(static_cast<std::size_t>(m.w) * m.h, 0.0);
    std::vector<unsigned char> bitmap;
    for (const Glyph& g : glyphs) {
        const int whole = static_cast<int>(std::floor(g.x));
        const float shift = static_cast<float>(g.x - whole);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(info, g.cp, sx, sy, shift, 0, &x0, &y0, &x1, &y1);
        const int gw = x1 - x0, gh = y1 - y0;
        if (gw <= 0 || gh <= 0) continue;
        bitmap.assign(static_cast<std::size_t>(gw) * gh, 0);
        stbtt_MakeCodepointBitmapSubpixel(info, bitmap.data(), gw, gh, gw, sx, sy, shift, 0, g.cp);
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                const int mx = m.originX + whole + x0 + x, my = m.originY + y0 + y;
                if (mx < 0 || my < 0 || mx >= m.w || my >= m.h) continue;
                double& cell = m.a[static_cast<std::size_t>(my) * m.w + mx];
                cell = std::min(1.0, cell + bitmap[static_cast<std::size_t>(y) * gw + x] / 255.0);
            }
    }
    return m;
}

}  // namespace art
