// The game's own art set, drawn by code.
// One palette, light from the top-left, everything built to read at 24 x 24.
// `paintArt` writes every block of both packs as a PNG plus the manifest;
// running it again gives the same files.
#include <algorithm>
#include <array>
#include <cmath>

#include "assets/packs.h"
#include "game/board.h"
#include "tools/art/art_set.h"
#include "tools/art/manifest.h"
#include "tools/common/png_io.h"
#include "tools/art/raster.h"
#include "tools/common/files.h"
#include "game/glyphs.h"
#include "ui/layout.h"

namespace art {

namespace {

// ---- palette ---------------------------------------------------------------

const Colour earthDark = hex(0x4A3C2C), earthLight = hex(0x8E7858);
const Colour sand = hex(0xAA9468), sandLight = hex(0xCAB688), sandDark = hex(0x7E6E4C);
const Colour steel = hex(0x5E6C7C), steelDeep = hex(0x1C222A);
const Colour brickBase = hex(0x94503A), brickLight = hex(0xBA6C4C), brickDark = hex(0x5E2E20), mortar = hex(0x786E62);
const Colour cavity = hex(0x1E1816);
const Colour stone = hex(0xB8985E);
const Colour waterDeep = hex(0x22445E), waterMid = hex(0x32607A), waterLight = hex(0x7EA6BA);
const Colour olive = hex(0x66783A), oliveLight = hex(0x94A658), oliveDark = hex(0x38441E), treadColour = hex(0x2E2E2A);
const Colour maroon = hex(0x7E2428), enemyRed = hex(0xB8362E), maroonDark = hex(0x42141A);
const Colour gold = hex(0xDEB658), goldLight = hex(0xF6E0A0), goldDark = hex(0x8E6826);
const Colour silver = hex(0xA8BCCA), shine = hex(0xF0FAFF), mirrorBack = hex(0x1A1E26);
const Colour bronze = hex(0x8E6C40);
const Colour cream = hex(0xF2E4BE), ink = hex(0x14181E);
const Colour panelFace = hex(0x52688A), panelFaceLow = hex(0x3A4C66);
const Colour parchment = hex(0xC2B290);
const Colour black = hex(0x000000);

constexpr double Sqrt2 = 1.4142135623730951;

// +1 on the top and left bevel of a box, -1 on the bottom and right one,
// 0 on the face.
double bevel(double x, double y, double x0, double y0, double x1, double y1, double width) {
    const double dl = x - x0, dt = y - y0, dr = x1 - x, db = y1 - y;
    if (std::min(std::min(dl, dt), std::min(dr, db)) >= width) return 0;
    return std::min(dl, dt) <= std::min(dr, db) ? 1 : -1;
}

Colour shade(const Colour& c, double s, double light, double dark) {
    return s > 0 ? lighten(c, light * s) : s < 0 ? darken(c, -dark * s) : c;
}

// A small domed rivet lit from the top-left; alpha 0 off the rivet.
Colour rivet(double x, double y, double cx, double cy, double r, const Colour& base) {
    const double d = sdCircle(x, y, cx, cy, r);
    if (d > 0) return {};
    if (d > -0.5) return darken(base, 0.45);
    const double lit = -((x - cx) + (y - cy)) / (r * Sqrt2);
    return shade(base, lit, 0.55, 0.35);
}

// ---- terrain -----------------------------------------------------------------

Picture ground() {
    Picture p(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const double n = 0.65 * valueNoise(x + 0.5, y + 0.5, 6, 4, 101) + 0.35 * valueNoise(x + 0.5, y + 0.5, 3, 8, 102);
            const double g = hash01(x, y, 103);
            Colour c = mix(earthDark, earthLight, 0.2 + 0.55 * n);
            c = g < 0.5 ? darken(c, (0.5 - g) * 0.16) : lighten(c, (g - 0.5) * 0.1);
            p.at(x, y) = c;
        }
    static const int pebbles[][2] = {{4, 5}, {16, 3}, {19, 15}, {7, 18}, {12, 10}, {21, 8}, {2, 13}, {14, 20}};
    for (const auto& pb : pebbles) {
        p.at(pb[0], pb[1]) = lighten(p.at(pb[0], pb[1]), 0.3);
        p.at(pb[0] + 1, pb[1]) = lighten(p.at(pb[0] + 1, pb[1]), 0.12);
        p.at(pb[0] + 1, pb[1] + 1) = darken(p.at(pb[0] + 1, pb[1] + 1), 0.3);
    }
    // A faint edge so the cell grid reads on open ground.
    for (int i = 0; i < 24; ++i) {
        p.at(i, 0) = lighten(p.at(i, 0), 0.06);
        p.at(0, i) = lighten(p.at(0, i), 0.06);
        p.at(i, 23) = darken(p.at(i, 23), 0.12);
        p.at(23, i) = darken(p.at(23, i), 0.12);
    }
    return p;
}

Picture goal() {
    Picture p = ground();
    const Colour pad = hex(0x284442);
    p.paint(4, [&](double x, double y) -> Colour {
        const double box = sdBox(x, y, 1.5, 1.5, 22.5, 22.5, 3);
        if (box > 0) return box < 1.2 && x + y > 24 ? withAlpha(black, 0.35) : Colour{};  // drop shadow
        Colour c = shade(pad, bevel(x, y, 1.5, 1.5, 22.5, 22.5, 2), 0.3, 0.45);
        const double dx = x - 12, dy = y - 12, r = std::sqrt(dx * dx + dy * dy);
        const double lit = r > 0 ? -(dx + dy) / (r * Sqrt2) : 0;
        if (r > 6.2 && r < 8.8) {  // raised gold ring
            c = shade(gold, (r > 7.5 ? lit : -lit) * 0.8, 0.45, 0.4);
        } else if (r <= 6.2) {
            c = darken(pad, 0.35 * (1 - r / 6.2));
            const double diamond = std::fabs(dx) + std::fabs(dy);
            if (diamond < 4.6) {
                const double face = dx < 0 ? (dy < 0 ? 1 : 0.2) : (dy < 0 ? 0.2 : -0.6);
                c = shade(gold, face, 0.55, 0.4);
            } else if (diamond < 5.6) {
                c = mix(c, goldLight, 0.35);  // glow
            }
        }
        return c;
    });
    return p;
}

Picture solidWall() {
    Picture p(24, 24);
    p.paint(4, [&](double x, double y) -> Colour {
        const int row = static_cast<int>(std::floor(y));
        Colour c = mix(steel, hex(0x6A7888), hash01(0, row, 201) * 0.5 + valueNoise(x, y, 4, 6, 202) * 0.3);
        if (std::fabs(sdBox(x, y, 6, 6, 18, 18)) < 0.5) c = darken(c, 0.3);                   // engraved panel
        else if (std::fabs(sdBox(x, y, 7, 7, 19, 19)) < 0.5 && x > 7 && y > 7) c = lighten(c, 0.18);
        c = shade(c, bevel(x, y, 0, 0, 24, 24, 2.5), 0.38, 0.5);
        static const double at[4][2] = {{4, 4}, {20, 4}, {4, 20}, {20, 20}};
        for (const auto& a : at) {
            const Colour r = rivet(x, y, a[0], a[1], 1.7, hex(0x7C8A9A));
            if (r.a > 0) c = r;
        }
        return c;
    });
    return p;
}

// The marks of the hits on a brick wall: each appears at its damage stage
// and stays.
struct Crack { int stage; std::vector<std::pair<double, double>> points; };
struct Hole { int stage; double cx, cy, r; };

const Crack cracks[] = {
    {1, {{15.5, 0.5}, {16.5, 3.5}, {14.5, 5.5}}},
    {2, {{4.5, 7.5}, {6.5, 9.5}, {5.5, 11.5}}},
    {3, {{14.5, 5.5}, {12.5, 8.5}, {13.5, 11.5}}},
    {4, {{18.5, 12.5}, {20.5, 15.5}, {19.5, 18.5}}},
    {5, {{5.5, 11.5}, {8.5, 13.5}, {7.5, 16.5}}},
    {6, {{19.5, 18.5}, {17.5, 21.5}, {18.5, 23.5}}},
    {7, {{1.5, 15.5}, {3.5, 18.5}, {2.5, 21.5}}},
    {8, {{21.5, 1.5}, {22.5, 4.5}, {20.5, 7.5}}},
    {9, {{9.5, 0.5}, {8.5, 3.5}}},
};
const Hole holes[] = {
    {4, 9, 14.5, 1.5}, {5, 13.5, 9.5, 2.3}, {6, 3.5, 3.5, 2.2}, {7, 13, 11, 4.0}, {8, 19.5, 5.5, 3.0},
    {8, 6, 20, 2.7},   {9, 12.5, 12, 6.2},  {10, 12, 12.5, 8.4}, {10, 20.5, 20.5, 3.2},
};

// The courses of bricks and mortar, darkened by the dust and soot of
// `stage` hits.
Picture brickCourses(int stage) {
    Picture p(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const int row = y / 6, yy = y % 6, offset = (row % 2) * 6;
            const int col = ((x + offset) / 12) % 2, xx = (x + offset) % 12;
            Colour c;
            if (yy == 5 || xx == 11) {
                c = mix(mortar, hex(0x948A7C), hash01(x, y, 302) * 0.5);
                if (yy == 5 && xx != 11) c = darken(c, 0.08);
            } else {
                c = mix(brickDark, brickLight, 0.38 + 0.3 * hash01(col, row, 301) + 0.12 * (hash01(x, y, 303) - 0.5));
                if (yy == 0) c = lighten(c, 0.2);
                else if (xx == 0) c = lighten(c, 0.1);
                if (yy == 4) c = darken(c, 0.22);
                else if (xx == 10) c = darken(c, 0.15);
            }
            p.at(x, y) = darken(c, 0.025 * stage);
        }
    return p;
}

// Cracks: dark hairlines with a lit lower-right lip.
void drawCracks(Picture& p, int stage) {
    p.paint(4, [&](double x, double y) -> Colour {
        double d = 1e9, lip = 1e9;
        for (const Crack& k : cracks) {
            if (k.stage > stage) continue;
            for (std::size_t i = 0; i + 1 < k.points.size(); ++i) {
                const auto& a = k.points[i];
                const auto& b = k.points[i + 1];
                d = std::min(d, distSegment(x, y, a.first, a.second, b.first, b.second));
                lip = std::min(lip, distSegment(x, y, a.first + 0.9, a.second + 0.9, b.first + 0.9, b.second + 0.9));
            }
        }
        if (d < 0.55) return withAlpha(cavity, 0.9);
        if (lip < 0.5) return withAlpha(brickLight, 0.35);
        return {};
    });
}

// Holes: knocked-out brick, dark inside; the broken face on the far
// (lower-right) side of a hole catches the light.
void knockHoles(Picture& p, int stage) {
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            double best = 1e9;
            const Hole* h = nullptr;
            for (const Hole& k : holes) {
                if (k.stage > stage) continue;
                const double jag = (hash01(x, y, 310 + k.stage) - 0.5) * 1.6;
                const double d = sdCircle(x + 0.5, y + 0.5, k.cx, k.cy, k.r + jag);
                if (d < best) best = d, h = &k;
            }
            if (!h) continue;
            const double side = (x + 0.5 - h->cx) + (y + 0.5 - h->cy);
            if (best < -1.3) p.at(x, y) = mix(cavity, hex(0x2C221E), hash01(x, y, 320) * 0.6);
            else if (best < 0) p.at(x, y) = side > 0 ? mix(brickBase, brickLight, 0.45) : hex(0x120E0C);
            else if (best < 1) p.at(x, y) = darken(p.at(x, y), 0.25);
        }
}

// A brick wall after `stage` hits (0 to 10).
Picture brickWall(int stage) {
    Picture p = brickCourses(stage);
    drawCracks(p, stage);
    knockHoles(p, stage);
    return p;
}

// A rough brick fragment: five corners around a centre.
Points fragment(double cx, double cy, double size, int seed) {
    static const double dir[5][2] = {{1, 0}, {0.309017, 0.951057}, {-0.809017, 0.587785}, {-0.809017, -0.587785}, {0.309017, -0.951057}};
    Points pts;
    for (int i = 0; i < 5; ++i) {
        const double r = size * (0.7 + 0.5 * hash01(i, seed, 401));
        pts.push_back({cx + dir[i][0] * r, cy + dir[i][1] * r});
    }
    return pts;
}

Picture rubble() {
    Picture p = ground();
    struct Piece { double x, y, size; bool mortarBit; };
    static const Piece pieces[] = {{5, 6, 2.8, false}, {15, 4, 2.2, false}, {11, 12, 3.4, false}, {19, 12, 2.5, false},
                                   {6, 17, 2.6, false}, {16, 19, 3.0, false}, {3, 11, 1.4, true},  {21, 4, 1.3, true},
                                   {10, 20, 1.3, true},  {21, 20, 1.4, false}};
    int seed = 0;
    for (const Piece& pc : pieces) {
        const Points shape = fragment(pc.x, pc.y, pc.size, ++seed);
        Points shadow = shape;
        for (auto& pt : shadow) pt.first += 1, pt.second += 1;
        const Colour base = pc.mortarBit ? hex(0x8A8276) : mix(brickDark, brickLight, 0.3 + 0.4 * hash01(seed, 0, 402));
        p.paint(4, [&](double x, double y) -> Colour {
            if (sdConvex(x, y, shape) <= 0) {
                const double lit = -((x - pc.x) + (y - pc.y)) / (pc.size * Sqrt2);
                return shade(base, lit, 0.35, 0.4);
            }
            if (sdConvex(x, y, shadow) <= 0) return withAlpha(black, 0.4);
            return {};
        });
    }
    static const int dust[][2] = {{8, 3}, {13, 8}, {2, 21}, {18, 8}, {22, 15}, {9, 15}, {13, 23}, {0, 6}};
    for (const auto& d : dust) p.at(d[0], d[1]) = lighten(p.at(d[0], d[1]), 0.25);
    return p;
}

Picture scorch() {
    Picture p = ground();
    const Colour soot = hex(0x1C1614);
    static const double rays[][2] = {{1, 0.2}, {0.5, 0.9}, {-0.3, 1}, {-0.95, 0.35}, {-0.8, -0.6}, {-0.1, -1}, {0.7, -0.7}};
    p.paint(4, [&](double x, double y) -> Colour {
        const double r = std::sqrt((x - 12) * (x - 12) + (y - 12) * (y - 12));
        const double n = valueNoise(x, y, 4, 6, 501);
        const double burn = 1 - smoothstep(3, 11.5, r + (n - 0.5) * 5);
        double streak = 1e9;
        for (const auto& ray : rays) streak = std::min(streak, distSegment(x, y, 12, 12, 12 + ray[0] * 11.5, 12 + ray[1] * 11.5));
        double a = 0.92 * burn;
        if (streak < 0.8) a = std::max(a, 0.55 * (1 - r / 13));
        return withAlpha(mix(soot, hex(0x3A2E26), n * 0.5), a);
    });
    static const int ash[][2] = {{11, 10}, {13, 13}, {9, 13}, {14, 9}};
    for (const auto& a : ash) p.at(a[0], a[1]) = hex(0x6A625A);
    p.at(12, 12) = hex(0x8A3A1E);  // a last ember
    p.at(10, 11) = hex(0x6E2C18);
    return p;
}

Picture water() {
    Picture p(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const double n = 0.6 * valueNoise(x + 0.5, y + 0.5, 8, 3, 601) + 0.4 * valueNoise(x + 0.5, y + 0.5, 4, 6, 602);
            p.at(x, y) = mix(waterDeep, waterMid, 0.15 + 0.75 * n);
        }
    // Ripples: short light crests with a darker trough under them.
    static const int waves[][3] = {{3, 4, 5}, {13, 8, 6}, {5, 14, 5}, {15, 18, 5}, {17, 3, 3}, {4, 20, 3}};
    for (const auto& w : waves) {
        for (int i = 0; i < w[2]; ++i) {
            const bool end = i == 0 || i == w[2] - 1;
            p.at(w[0] + i, w[1]) = mix(p.at(w[0] + i, w[1]), waterLight, end ? 0.3 : 0.65);
            if (!end) p.at(w[0] + i, w[1] + 1) = darken(p.at(w[0] + i, w[1] + 1), 0.18);
        }
    }
    return p;
}

// The face of the movable block, shared by the block sprite and the sunk block.
Colour blockFace(double x, double y, double x0, double y0, double x1, double y1) {
    Colour c = mix(stone, hex(0xC8AA70), valueNoise(x, y, 3, 8, 701) * 0.6);
    const double inner = sdBox(x, y, x0 + 5, y0 + 5, x1 - 5, y1 - 5);
    if (std::fabs(inner) < 0.6) c = darken(c, 0.32);                            // carved panel
    else if (std::fabs(sdBox(x, y, x0 + 6, y0 + 6, x1 - 4, y1 - 4)) < 0.5 && inner > 0) c = lighten(c, 0.2);
    else if (inner < 0) c = lighten(c, 0.06);
    return c;
}

Picture sunkBlock() {
    Picture p = water();
    p.paint(4, [&](double x, double y) -> Colour {
        const double d = sdBox(x, y, 3, 3, 21, 21, 1.5);
        if (d > 1.2) return {};
        if (d > 0) return withAlpha(waterLight, 0.45);  // water lapping at the rim
        Colour c = mix(blockFace(x, y, 3, 3, 21, 21), waterMid, 0.3);
        return darken(c, 0.1);  // wet, flat, no bevel: level with the water
    });
    return p;
}

Picture glassBlock() {
    Picture p = ground();
    p.paint(4, [&](double x, double y) -> Colour {
        const double d = sdBox(x, y, 1, 1, 23, 23, 1.5);
        if (d > 0) return d < 1 && x + y > 24 ? withAlpha(black, 0.35) : Colour{};
        if (d > -0.8) return hex(0x2C4650);
        Colour c = mix(hex(0x9CC8D4), hex(0x5E8E9E), (x + y) / 48);
        c = shade(c, bevel(x, y, 1, 1, 23, 23, 2.5), 0.5, 0.3);
        // Glare streaks across the pane.
        const double t = x + y;
        if ((t > 10 && t < 12.2) || (t > 14 && t < 15.2)) c = lighten(c, 0.6);
        if (std::fabs(sdBox(x, y, 4.5, 4.5, 19.5, 19.5)) < 0.5) c = lighten(c, 0.22);
        return withAlpha(c, 0.92);
    });
    return p;
}

enum class Slot { Horizontal, Vertical };

Picture slot(Slot direction) {
    const bool horizontal = direction == Slot::Horizontal;
    Picture p = solidWall();
    p.paint(4, [&](double x, double y) -> Colour {
        const double across = horizontal ? y : x;  // position across the channel
        const double along = horizontal ? x : y;
        if (across < 7.5 || across > 16.5) return {};
        Colour c;
        if (across < 8.5) c = hex(0x141A20);                       // upper or left inner face, in shadow
        else if (across > 15.5) c = hex(0x7A8898);                 // lower or right inner face, lit
        else c = mix(steelDeep, hex(0x263038), smoothstep(8.5, 15.5, across));
        // Guide marks down the middle of the channel.
        const double m = std::fmod(along + 1.5, 6.0);
        if (across > 11.2 && across < 12.8 && m < 2.5) c = hex(0x4A5868);
        return c;
    });
    return p;
}

// ---- mirrors -------------------------------------------------------------------

// Signed distance across the mirror diagonal, positive on the reflecting side.
// Orientation 0..3 is cell code 6..9: reflecting toward right+bottom,
// left+bottom, left+top, right+top.
double mirrorSide(int o, double x, double y, double cx = 12, double cy = 12) {
    const double u = x - cx, v = y - cy;
    switch (o) {
        case 0: return (u + v) / Sqrt2;
        case 1: return (v - u) / Sqrt2;
        case 2: return -(u + v) / Sqrt2;
        default: return (u - v) / Sqrt2;
    }
}

// The mirror plate across the diagonal: dark back edge, bright silver front.
Colour mirrorPlate(double s) {
    const double t = (s + 1.8) / 3.6;
    if (t < 0.28) return mirrorBack;
    return mix(silver, shine, (t - 0.28) / 0.72);
}

Picture fixedMirror(int o) {
    Picture p(24, 24);
    p.paint(4, [&](double x, double y) -> Colour {
        const double s = mirrorSide(o, x, y);
        Colour c;
        if (s < -1.8) {
            // The housing behind the mirror: dark, hatched parallel to the plate.
            c = darken(steel, 0.5);
            if (std::fmod(-s, 3.0) < 1.0) c = darken(steel, 0.68);
        } else if (s <= 1.8) {
            c = mirrorPlate(s);
        } else {
            // The open side in front of the plate, lit by its reflection.
            c = mix(hex(0x56646F), hex(0xA2BCC8), 0.7 * (1 - smoothstep(2.5, 11, s)));
        }
        c = shade(c, bevel(x, y, 0, 0, 24, 24, 1.6), 0.4, 0.5);
        // One bolt in the back corner.
        const double bx = (o == 0 || o == 1) ? 4.5 : 19.5, by = (o == 0 || o == 3) ? 4.5 : 19.5;
        const double kx = (o == 1) ? 19.5 : (o == 3 ? 4.5 : bx), ky = (o == 1) ? 4.5 : (o == 3 ? 19.5 : by);
        const Colour r = rivet(x, y, kx, ky, 1.7, hex(0x7C8A9A));
        return r.a > 0 ? r : c;
    });
    return p;
}

Picture movableMirror() {
    Picture p(24, 96);
    for (int o = 0; o < 4; ++o) {
        const double top = 24.0 * o;
        p.paint(0, 24 * o, 24, 24 * o + 24, 4, [&](double x, double y0) -> Colour {
            const double y = y0 - top;
            const double r = std::sqrt((x - 12) * (x - 12) + (y - 12) * (y - 12));
            if (r > 10.6) {
                const double rs = std::sqrt((x - 13) * (x - 13) + (y - 13.2) * (y - 13.2));
                return rs <= 10.6 ? withAlpha(black, 0.38) : Colour{};  // shadow of the base
            }
            const double lit = r > 0 ? -((x - 12) + (y - 12)) / (r * Sqrt2) : 0;
            const double s = mirrorSide(o, x, y);
            Colour c;
            if (r > 8.4) {
                c = r > 10 ? darken(bronze, 0.5) : shade(bronze, lit, 0.45, 0.45);  // turned rim of the base
            } else if (s < -1.8) {
                c = darken(bronze, 0.55);
            } else if (s <= 1.8) {
                c = mirrorPlate(s);
            } else {
                c = mix(hex(0x7A6440), hex(0xD6C08C), 0.8 * (1 - smoothstep(1.8, 8, s)));
            }
            // Rivets on the rim: the mark of a part that can be shoved about.
            static const double at[4][2] = {{12, 2.6}, {21.4, 12}, {12, 21.4}, {2.6, 12}};
            for (const auto& a : at) {
                const Colour rv = rivet(x, y, a[0], a[1], 1.25, hex(0xD0B078));
                if (rv.a > 0) return rv;
            }
            return c;
        });
    }
    return p;
}

// ---- sprites ---------------------------------------------------------------------

Picture movableBlock() {
    Picture p(24, 24);
    p.paint(4, [&](double x, double y) -> Colour {
        const double d = sdBox(x, y, 1, 1, 22.5, 22.5, 1.5);
        if (d > 0) return sdBox(x, y, 2.2, 2.2, 23.6, 23.6, 2) <= 0 ? withAlpha(black, 0.42) : Colour{};
        if (d > -0.7) return darken(stone, 0.55);
        return shade(blockFace(x, y, 1, 1, 22.5, 22.5), bevel(x, y, 1, 1, 22.5, 22.5, 2.6), 0.4, 0.42);
    });
    return p;
}

// The tank is drawn from |y - 12| only, so it is exactly symmetric about the
// horizontal midline and looks the same turned any way. Its light comes from
// the rear, so no side looks wrong.
Picture tank() {
    Picture p(24, 24);
    p.paint(4, [&](double x, double yy) -> Colour {
        const double y = std::fabs(yy - 12);
        const double dTread = sdBox(x, y, 1.5, 5.5, 21.5, 10.5, 1.8);
        const double dHull = sdBox(x, y, 3, -7, 20.5, 7, 2);
        const double dTurret = sdCircle(x, y, 10, 0, 5.2);
        const double dBarrel = std::min(sdBox(x, y, 13, -1.7, 21, 1.7), sdBox(x, y, 20.5, -2.4, 23.8, 2.4, 0.5));
        const double all = std::min(std::min(dTread, dHull), std::min(dTurret, dBarrel));
        if (all > 0) return {};
        if (all > -0.75) return hex(0x161812);  // outline
        if (dBarrel <= 0 && x > 14.9) {
            Colour c = x > 20.5 ? darken(oliveDark, 0.25) : oliveDark;
            return y < 0.7 ? lighten(c, 0.3) : c;
        }
        if (dTurret <= -0.7) {
            const double r = std::sqrt((x - 8.6) * (x - 8.6) + y * y);
            Colour c = mix(oliveLight, olive, smoothstep(0, 5.5, r));
            if (sdCircle(x, y, 8.4, 0, 1.6) <= 0) c = darken(olive, 0.35);  // hatch
            return c;
        }
        if (dTurret <= 0) return hex(0x161812);
        if (dHull <= 0 && y < 5.6) {
            Colour c = mix(olive, oliveDark, smoothstep(1, 6, y));
            if (x > 17.5) c = lighten(c, 0.12);  // front plate
            if (std::fabs(x - 17.5) < 0.4) c = darken(c, 0.3);
            return c;
        }
        // Tracks with their cleats.
        Colour c = std::fmod(x - 1.5, 3.0) < 1.0 ? darken(treadColour, 0.45) : lighten(treadColour, 0.12);
        if (y > 9.8) c = darken(c, 0.3);
        return c;
    });
    return p;
}

// The anti-tank: a maroon octagonal emplacement with twin guns to its front
// (right at angle 0) and a glowing eye. Symmetric about the midline too.
Picture antiTank() {
    Picture p(24, 24);
    p.paint(4, [&](double x, double yy) -> Colour {
        const double y = std::fabs(yy - 12);
        const double dx = std::fabs(x - 10.5);
        const double dOct = std::max(std::max(dx, y), (dx + y) / Sqrt2 * 1.0824) - 9;
        const double dGun = sdBox(x, y, 14, 1.3, 23.6, 3.7, 0.6);
        const double all = std::min(dOct, dGun);
        if (all > 0) return {};
        if (all > -0.75) return hex(0x1A0A0C);
        if (dGun <= 0 && dOct > -1.5) {
            Colour c = hex(0x4C4446);
            if (std::fabs(y - 2.5) < 0.5) c = lighten(c, 0.35);
            if (x > 21.8) c = hex(0xE0B040);  // muzzles
            return c;
        }
        const double r = std::sqrt((x - 10.5) * (x - 10.5) + y * y);
        if (r < 5.2) {
            Colour c = mix(lighten(enemyRed, 0.35), enemyRed, smoothstep(0, 5.2, std::sqrt((x - 9) * (x - 9) + y * y)));
            if (r > 4.5) c = maroonDark;
            if (x > 11.5 && x < 15 && y < 1.1) c = x > 13.5 ? hex(0xFFD070) : hex(0x240808);  // the eye slit
            return c;
        }
        if (r < 6.6) return darken(maroon, 0.45);  // groove round the dome
        Colour c = maroon;
        if (dOct > -2) c = x < 10.5 ? lighten(maroon, 0.22) : darken(maroon, 0.3);
        // Hazard notches on the rear plates.
        if (x < 5 && std::fmod(y + 0.5, 3.0) < 1.2 && dOct < -2) c = hex(0xC89A3A);
        return c;
    });
    return p;
}

// Beam pieces: only alpha matters (they are always drawn tinted). The
// profile across the beam is bright in the middle two rows and soft outside.
double beamAlpha(double d) {
    static const double at[] = {1.0, 1.0, 0.55, 0.16, 0.0};  // at distance 0, 0.5, 1.5, 2.5, 3.5
    if (d <= 0.5) return 1.0;
    if (d >= 3.5) return 0.0;
    const double pos = d - 0.5;
    const int i = static_cast<int>(std::floor(pos));
    return at[i + 1] + (at[i + 2] - at[i + 1]) * (pos - i);
}

enum class Beam { Straight, Corner, Crossing };

Picture beamPiece(Beam kind) {
    Picture p(24, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            double d;
            if (kind == Beam::Straight) d = std::fabs(cy - 12);
            else if (kind == Beam::Crossing) d = std::min(std::fabs(cy - 12), std::fabs(cx - 12));
            else d = std::min(distSegment(cx, cy, 12, 12, 24.5, 12), distSegment(cx, cy, 12, 12, 12, 24.5));
            const double a = beamAlpha(d);
            if (a > 0) p.at(x, y) = {255, 255, 255, a};
        }
    return p;
}

Colour fireRamp(double h) {
    static const Colour stops[] = {hex(0x3A1A12), hex(0xA0301A), hex(0xE8781E), hex(0xFFC84E), hex(0xFFF4D0)};
    h = clamp01(h) * 4;
    const int i = std::min(3, static_cast<int>(std::floor(h)));
    return mix(stops[i], stops[i + 1], h - i);
}

Picture explosion() {
    static const double fireR[14] = {3.5, 6.5, 9, 10.5, 11.5, 11.5, 11, 10, 8.5, 6.5, 4, 0, 0, 0};
    static const double heat[14] = {1.0, 1.0, 0.95, 0.85, 0.75, 0.65, 0.55, 0.45, 0.36, 0.28, 0.2, 0, 0, 0};
    static const double smokeR[14] = {0, 0, 5, 7.5, 9, 10, 11, 11.5, 12, 12, 12, 12, 11.5, 11};
    static const double smokeA[14] = {0, 0, 0.35, 0.5, 0.6, 0.7, 0.76, 0.8, 0.8, 0.76, 0.66, 0.5, 0.28, 0.05};
    static const double rays[8][2] = {{1, 0}, {0.7071, 0.7071}, {0, 1}, {-0.7071, 0.7071},
                                      {-1, 0}, {-0.7071, -0.7071}, {0, -1}, {0.7071, -0.7071}};
    Picture p(24, 24 * 14);
    for (int k = 0; k < 14; ++k) {
        const double top = 24.0 * k;
        p.paint(0, 24 * k, 24, 24 * k + 24, 3, [&](double x, double y0) -> Colour {
            const double y = y0 - top;
            const double r = std::sqrt((x - 12) * (x - 12) + (y - 12) * (y - 12));
            const double n = valueNoise(x, y, 3, 8, 800 + k);
            const double n2 = valueNoise(x, y, 6, 4, 850 + k);
            const double rr = r + (n - 0.5) * 4.5;
            Colour out;
            if (smokeR[k] > 0 && rr < smokeR[k]) {
                const double a = smokeA[k] * (0.4 + 0.6 * n2) * (1 - smoothstep(smokeR[k] - 3.5, smokeR[k], rr));
                Colour smoke = mix(hex(0x3A393C), hex(0x96948E), n2);
                if (x + y < 22) smoke = lighten(smoke, 0.12);
                out = withAlpha(smoke, a);
            }
            if (fireR[k] > 0 && rr < fireR[k]) {
                const double h = heat[k] - (rr / fireR[k]) * 0.45 + (n - 0.5) * 0.3 + (n2 - 0.5) * 0.25;
                const double a = clamp01((fireR[k] - rr) / 2.2) * std::min(1.0, h * 2.5);
                out = over(withAlpha(fireRamp(h), clamp01(a)), out);
            }
            if (k < 3) {  // the flash throws short rays
                double ray = 1e9;
                const double len = 5 + 4 * k;
                for (const auto& d : rays) ray = std::min(ray, distSegment(x, y, 12, 12, 12 + d[0] * len, 12 + d[1] * len));
                if (ray < 0.8) out = over(withAlpha(hex(0xFFF0B0), 0.85 * (1 - r / (len + 1))), out);
            }
            return out;
        });
    }
    return p;
}

// ---- screens -----------------------------------------------------------------------

Picture backgroundPattern() {
    Picture p(96, 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            const double n = 0.6 * valueNoise(x + 0.5, y + 0.5, 12, 8, 901) + 0.4 * valueNoise(x + 0.5, y + 0.5, 4, 24, 902);
            Colour c = mix(hex(0x15181C), hex(0x2A2E34), n);
            // A faint diamond lattice, the mark of open floor.
            const int a = (x + y) % 16, b = (x - y + 96) % 16;
            if (a == 0 || b == 0) c = lighten(c, 0.07);
            if (a == 1 || b == 15) c = darken(c, 0.2);
            p.at(x, y) = c;
        }
    return p;
}

struct Fonts {
    Font bold;
    Font condensed;
    Font mono;
};

// Text centred (by its ink) on (cx, cy), with a shadow.
void drawLabel(Picture& p, const Font& font, const std::string& text, double em, double cx, double cy, Colour colour,
               Colour outline = {}, double outlineWidth = 0) {
    const Mask m = font.render(text, em, 1.0, 6);
    int x0, y0, x1, y1;
    m.inkBox(x0, y0, x1, y1);
    const int left = static_cast<int>(std::floor(cx - (x0 + x1 + 1) / 2.0 + 0.5));
    const int top = static_cast<int>(std::floor(cy - (y0 + y1 + 1) / 2.0 + 0.5));
    if (outlineWidth > 0) {
        const Mask wide = dilate(m, outlineWidth);
        drawMask(p, wide, left + 2, top + 3, withAlpha(black, 0.5));
        drawMask(p, wide, left, top, outline);
    } else {
        drawMask(p, m, left + 1, top + 2, withAlpha(black, 0.55));
    }
    drawMask(p, m, left, top, colour);
}

// The icons of the result buttons: play on (a triangle), again (a round
// arrow), the level grid.
enum class Icon { None, PlayOn, Again, LevelGrid };

// An icon, in a 26 x 26 box centred on (cx, cy).
Colour icon(Icon kind, double x, double y, double cx, double cy) {
    const double u = x - cx, v = y - cy;
    double d = 1e9;
    if (kind == Icon::PlayOn) d = sdConvex(x, y, {{cx - 7, cy - 9}, {cx + 9, cy}, {cx - 7, cy + 9}});
    if (kind == Icon::Again) {
        const double r = std::sqrt(u * u + v * v);
        const double ring = std::fabs(r - 7.5) - 2;
        d = (u > 0 && v < 0) ? 1e9 : ring;  // open at the upper right
        d = std::min(d, sdConvex(x, y, {{cx + 1, cy - 13}, {cx + 8, cy - 7.5}, {cx + 1, cy - 2}}));
    }
    if (kind == Icon::LevelGrid)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) d = std::min(d, sdBox(x, y, cx - 9 + 10 * i, cy - 9 + 10 * j, cx - 1 + 10 * i, cy - 1 + 10 * j, 1));
    if (d > 1.2) return {};
    if (d > 0) return withAlpha(ink, 0.6);
    return mix(goldLight, gold, clamp01((v + 9) / 18));
}

// A raised steel-blue button filling the rectangle exactly (opaque).
void drawButton(Picture& p, const Fonts& fonts, int x, int y, int w, int h, const std::string& label, double em,
                Icon iconKind = Icon::None) {
    p.paint(x, y, x + w, y + h, 4, [&](double px, double py) -> Colour {
        const double x0 = x, y0 = y, x1 = x + w, y1 = y + h;
        if (px < x0 + 1 || py < y0 + 1 || px > x1 - 1 || py > y1 - 1) return ink;
        Colour c = mix(panelFace, panelFaceLow, (py - y0) / h);
        c = shade(c, bevel(px, py, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3), 0.38, 0.45);
        if (std::fabs(sdBox(px, py, x0 + 5, y0 + 5, x1 - 5, y1 - 5)) < 0.5) c = darken(c, 0.25);
        if (iconKind != Icon::None) {
            const Colour ic = icon(iconKind, px, py, x0 + 30, y0 + h / 2.0);
            if (ic.a > 0) c = over(ic, c);
        }
        return c;
    });
    const double shift = iconKind != Icon::None ? 14 : 0;
    drawLabel(p, fonts.bold, label, em, x + w / 2.0 + shift, y + h / 2.0, cream);
}

void drawButton(Picture& p, const Fonts& fonts, const Rect& r, const std::string& label, double em) {
    drawButton(p, fonts, r.x, r.y, r.width, r.height, label, em);
}

Picture resultButton(const Fonts& fonts, const std::string& label, Icon iconKind) {
    Picture p(229, 57);
    drawButton(p, fonts, 0, 0, 229, 57, label, 28, iconKind);
    return p;
}

bool isWater(int code) { return code == Water || code == SunkBlock; }

// Shores along the dry sides of a water cell, as the game lays them.
// `strips` are the first half, the corner and the second half of a shore.
void shoreEdges(Picture& p, int ox, int oy, const leveltext::Record& map, int cx, int cy, const Picture* const strips[3]) {
    auto wet = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= 16 || y >= 16) return true;
        return isWater(map[y * 16 + x]);
    };
    const bool n = wet(cx, cy - 1), ne = wet(cx + 1, cy - 1), e = wet(cx + 1, cy), se = wet(cx + 1, cy + 1);
    const bool s = wet(cx, cy + 1), sw = wet(cx - 1, cy + 1), w = wet(cx - 1, cy), nw = wet(cx - 1, cy - 1);
    auto strip = [&](bool vertical, int col, int row, int which, bool corner) {
        const Picture& st = *strips[corner ? 1 : which];
        for (int i = 0; i < 12; ++i) p.at(ox + col + (vertical ? 0 : i), oy + row + (vertical ? i : 0)) = st.at(i, 0);
    };
    if (!e) strip(true, 23, 0, 0, n && !ne), strip(true, 23, 12, 2, s && !se);
    if (!n) strip(false, 0, 0, 0, w && !nw), strip(false, 12, 0, 2, e && !ne);
    if (!w) strip(true, 0, 12, 2, s && !sw), strip(true, 0, 0, 0, n && !nw);
    if (!s) strip(false, 12, 23, 0, e && !se), strip(false, 0, 23, 2, w && !sw);
}

// Every block of both packs, by pack and block number or by role.
struct ArtSet {
    Picture p1[Pack1Blocks];
    Picture p2[Pack2Blocks];
    Picture p3[Pack3Blocks];
    Picture& operator[](Pack1Block b) { return p1[static_cast<int>(b)]; }
    Picture& operator[](Pack3Block b) { return p3[static_cast<int>(b)]; }
    Picture& operator[](Pack2Block b) { return p2[static_cast<int>(b)]; }
    const Picture& operator[](Pack1Block b) const { return p1[static_cast<int>(b)]; }
    const Picture& operator[](Pack2Block b) const { return p2[static_cast<int>(b)]; }
    // Brick wall damage stage 0 to 10.
    Picture& brick(int stage) { return p1[static_cast<int>(Pack1Block::BrickStage0) + stage]; }
    const Picture& brick(int stage) const { return p1[static_cast<int>(Pack1Block::BrickStage0) + stage]; }
    // The fixed mirror of a cell code, FixedMirrorRightBottom to FixedMirrorRightTop.
    Picture& fixedMirror(int code) {
        return p1[static_cast<int>(Pack1Block::FixedMirror0) + code - FixedMirrorRightBottom];
    }
    const Picture& fixedMirror(int code) const {
        return p1[static_cast<int>(Pack1Block::FixedMirror0) + code - FixedMirrorRightBottom];
    }
};

// A picture turned clockwise by a number of quarter turns.
Picture turned(const Picture& src, int quarters) {
    Picture out = src;
    for (int q = 0; q < quarters % 4; ++q) {
        Picture next(out.h, out.w);
        for (int y = 0; y < next.h; ++y)
            for (int x = 0; x < next.w; ++x) next.at(x, y) = out.at(y, out.h - 1 - x);
        out = next;
    }
    return out;
}

// A little level laid out in cells behind the title, in level glyphs: the
// tank fires through a glass block, a mirror turns the beam up into a brick
// wall, which shows the damage of its hits.
const std::vector<std::string> titleMap = {
    "################",
    "#%%%.......~~~~#",
    "#%.........~~~~#",
    "#.....O....~s~~#",
    "#..........~~~.#",
    "#..:...........#",
    "#..............#",
    "#........%.....#",
    "#..............#",
    "#.T..+...J..<..#",
    "#..............#",
    "#~~............#",
    "#~s.....x......#",
    "#~~............#",
    "#.............G#",
    "################",
};
constexpr int hitBrickX = 9, hitBrickY = 7, hitBrickStage = 4;
constexpr int beamRow = 9, glassX = 5, mirrorX = 9;

// The picture under a cell of the title scene: its terrain, ground under
// an object.
const Picture& sceneTerrain(const ArtSet& a, int code, int cx, int cy) {
    switch (code) {
        case SolidWall: return a[Pack1Block::SolidWall];
        case BrickWall: return a.brick(cx == hitBrickX && cy == hitBrickY ? hitBrickStage : (cx * 3 + cy) % 3);
        case Water: return a[Pack1Block::Water];
        case SunkBlock: return a[Pack1Block::SunkBlock];
        case Rubble: return a[Pack1Block::Rubble];
        case Scorch: return a[Pack2Block::Scorch];
        case ClearBlock: return a[Pack2Block::Glass];
        case Goal: return a[Pack1Block::Goal];
        case FixedMirrorRightBottom:
        case FixedMirrorLeftBottom:
        case FixedMirrorLeftTop:
        case FixedMirrorRightTop: return a.fixedMirror(code);
        default: return a[Pack1Block::Ground];
    }
}

Picture titleScene(const ArtSet& a) {
    leveltext::Record map;
    std::string error;
    leveltext::recordFromRows(titleMap, SolidWall, map, error);
    const Picture* const shores[3] = {&a[Pack2Block::ShoreFirstHalf], &a[Pack2Block::ShoreCorner],
                                      &a[Pack2Block::ShoreSecondHalf]};
    Picture p(384, 384);
    for (int cy = 0; cy < 16; ++cy)
        for (int cx = 0; cx < 16; ++cx) {
            const int code = map[cy * 16 + cx];
            const int ox = cx * 24, oy = cy * 24;
            p.draw(sceneTerrain(a, code, cx, cy), ox, oy);
            if (isWater(code)) shoreEdges(p, ox, oy, map, cx, cy, shores);
            if (code == MovableBlock) p.draw(a[Pack1Block::MovableBlock], ox, oy);
            if (code == TankStart) p.draw(a[Pack1Block::Tank], ox, oy);
            if (code >= AntiTankRight && code <= AntiTankUp)
                p.draw(turned(a[Pack1Block::AntiTank], code - AntiTankRight), ox, oy);
        }
    return p;
}

Picture titleScreen(const ArtSet& a, const Fonts& fonts) {
    Picture p = titleScene(a);
    // Darken the scene so the name and buttons stand out; the band with the
    // shot stays clearest.
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 384; ++x) {
            const double vx = (x - 192) / 192.0;
            double dark = y < 160 ? 0.78 - 0.2 * (y / 160.0) : y < 250 ? 0.34 : 0.5;
            dark += 0.15 * vx * vx;
            p.blend(x, y, hex(0x0C0E12), std::min(0.9, dark));
        }
    // The shot glows over the darkened scene.
    const Colour green = hex(0x00FF00);
    auto beam = [&](const Picture& piece, int cx, int cy) {
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) p.blend(cx * 24 + x, cy * 24 + y, green, piece.at(x, y).a);
    };
    for (int cx = 3; cx < mirrorX; ++cx)
        if (cx != glassX) beam(a[Pack1Block::BeamStraight], cx, beamRow);  // no beam is drawn on glass
    beam(turned(a[Pack1Block::BeamCorner], 2), mirrorX, beamRow);            // the mirror turns it up
    beam(turned(a[Pack1Block::BeamStraight], 1), mirrorX, beamRow - 1);
    // The name.
    const Mask probe = fonts.bold.render("Brimvale", 100, 1.0, 8);
    int x0, y0, x1, y1;
    probe.inkBox(x0, y0, x1, y1);
    const double em = 100.0 * 320.0 / (x1 - x0 + 1);
    const Mask name = fonts.bold.render("Brimvale", em, 1.0, 8);
    name.inkBox(x0, y0, x1, y1);
    const int left = 192 - (x0 + x1 + 1) / 2, top = 84 - (y0 + y1 + 1) / 2;
    const Mask rim = dilate(name, 3);
    drawMask(p, rim, left + 4, top + 5, withAlpha(black, 0.6));
    drawMask(p, rim, left, top, hex(0x3A2410));
    for (int y = 0; y < name.h; ++y)
        for (int x = 0; x < name.w; ++x) {
            const double t = clamp01((y - y0) / double(y1 - y0 + 1));
            Colour c = t < 0.5 ? mix(goldLight, gold, t * 2) : mix(gold, goldDark, (t - 0.5) * 2);
            p.blend(left + x, top + y, c, name.at(x, y));
        }
    drawLabel(p, fonts.bold, "a puzzle of beams and mirrors", 17, 192, 146, cream);
    // The buttons, exactly over their click rectangles.
    drawButton(p, fonts, layout::GameButton, "Play", 26);
    drawButton(p, fonts, layout::ExitButton, "Exit", 26);
    // The tank beside them, four times life size.
    p.drawScaled(a[Pack1Block::Tank], 24, 270, 4);
    return p;
}

Picture levelSelectScreen(const Fonts& fonts) {
    Picture p(384, 384);
    p.paint(1, [&](double x, double y) -> Colour {
        return mix(hex(0x22282E), hex(0x343C46), valueNoise(x, y, 16, 24, 951) * 0.7 + hash01(int(x), int(y), 952) * 0.15);
    });
    // The light field that the 6 x 5 grid of level cells lies on.
    p.paint(2, [&](double x, double y) -> Colour {
        const double x0 = 3, y0 = 3, x1 = 381, y1 = 312;
        if (x < x0 || y < y0 || x > x1 || y > y1) return {};
        Colour c = mix(parchment, hex(0xD2C4A2), valueNoise(x, y, 8, 48, 953) * 0.6);
        c = shade(c, bevel(x, y, x0, y0, x1, y1, 3), 0.35, 0.45);
        // Empty sockets where cells stand; a cell covers its socket.
        for (int i = 0; i < layout::LevelsPerPage; ++i) {
            const double sx = layout::levelCellX(i), sy = layout::levelCellY(i);
            const double ex = sx + layout::LevelCellWidth, ey = sy + layout::LevelCellHeight;
            if (x >= sx && y >= sy && x < ex && y < ey) {
                c = darken(c, 0.1);
                const double b = bevel(x, y, sx, sy, ex, ey, 1.5);
                c = shade(c, -b, 0.2, 0.3);  // recessed: shadow top-left, light bottom-right
            }
        }
        return c;
    });
    // Wells for the page arrows.
    for (const Rect& well : {layout::PageUpArrow, layout::PageDownArrow}) {
        const double wx = well.x, wy = well.y, ex = well.x + well.width, ey = well.y + well.height;
        p.paint(2, [&](double x, double y) -> Colour {
            const double d = sdBox(x, y, wx, wy, ex, ey, 7);
            if (d > 0) return {};
            return shade(hex(0x1A1E24), -bevel(x, y, wx, wy, ex, ey, 1.5), 0.25, 0.4);
        });
    }
    drawButton(p, fonts, layout::ExitButton, "Back", 26);
    return p;
}

Picture levelCell() {
    Picture p(layout::LevelCellWidth, layout::LevelCellHeight);
    p.paint(4, [&](double x, double y) -> Colour {
        const double d = sdBox(x, y, 0, 0, 51, 50, 3);
        if (d > 0) return {};
        if (d > -1) return hex(0x3E3424);
        if (d > -3.2) return shade(hex(0xB4A47E), bevel(x, y, 1, 1, 50, 49, 2.2), 0.55, 0.45);
        // The inside lets the field show through, so a tinted number stays readable.
        return withAlpha(hex(0xFFF8E6), 0.33 + 0.06 * (1 - y / 50));
    });
    return p;
}

Picture digits(const Fonts& fonts) {
    Picture p(14, 250);
    // Measure all ten to fit the widest into 13 pixels and share one baseline.
    const double em = 26;
    int widest = 0, top = 1000, bottom = -1000;
    for (int d = 0; d < 10; ++d) {
        const Mask m = fonts.condensed.render(std::string(1, char('0' + d)), em, 1.0, 2);
        int x0, y0, x1, y1;
        m.inkBox(x0, y0, x1, y1);
        widest = std::max(widest, x1 - x0 + 1);
        top = std::min(top, y0 - m.originY);
        bottom = std::max(bottom, y1 - m.originY);
    }
    const double squeeze = std::min(1.0, 12.6 / widest);
    const int height = bottom - top + 1;
    for (int d = 0; d < 10; ++d) {
        const Mask m = fonts.condensed.render(std::string(1, char('0' + d)), em, squeeze, 2);
        int x0, y0, x1, y1;
        m.inkBox(x0, y0, x1, y1);
        const int left = static_cast<int>(std::floor((14 - (x1 - x0 + 1)) / 2.0)) - x0;
        const int baseline = 25 * d + (25 - height) / 2 - top;
        for (int y = 0; y < m.h; ++y)
            for (int x = 0; x < m.w; ++x) {
                const int tx = left + x, ty = baseline - m.originY + y;
                if (tx >= 0 && tx < 14 && ty >= 25 * d && ty < 25 * d + 25 && m.at(x, y) > 0)
                    p.at(tx, ty) = {255, 255, 255, m.at(x, y)};
            }
    }
    return p;
}

Picture arrowFrame() {
    Picture p(57, 57);
    p.paint(4, [&](double x, double y) -> Colour {
        const double d = sdBox(x, y, 0, 0, 57, 57, 7);
        if (d > 0) return {};
        if (d > -1) return ink;
        Colour c = mix(panelFace, panelFaceLow, y / 57);
        const double inner = sdBox(x, y, 1, 1, 56, 56, 6);
        if (inner > -3) c = shade(c, (x + y < 57 ? 1 : -1) * (x - y > 20 || y - x > 20 ? 0.5 : 1), 0.38, 0.45);
        if (std::fabs(sdBox(x, y, 6, 6, 51, 51, 3)) < 0.5) c = darken(c, 0.25);
        return c;
    });
    return p;
}

Picture arrowGlyph() {
    Picture p(25, 15);
    p.paint(4, [&](double x, double y) -> Colour {
        const double head = sdConvex(x, y, {{0.8, 7.5}, {12.5, 0.6}, {12.5, 14.4}});
        const double shaft = sdBox(x, y, 11, 4.8, 24.2, 10.2, 0.8);
        const double d = std::min(head, shaft);
        if (d > 0) return {};
        if (d > -1.1) return hex(0x2A1C0A);
        return mix(goldLight, goldDark, clamp01((y - 2) / 12));
    });
    return p;
}

Picture resultOverlay() { return Picture(24, 24, hex(0x080A12, 110 / 255.0)); }

// A shore strip: twelve pixels of sand in the tones the pattern picks
// (0 sand, 1 light, 2 dark).
Picture shoreStrip(const std::array<int, 12>& pattern) {
    const Colour tones[3] = {sand, sandLight, sandDark};
    Picture p(12, 1);
    for (int i = 0; i < 12; ++i) p.at(i, 0) = tones[pattern[i]];
    return p;
}

// The player set's text: every printable character in a cell of its own,
// white, on one baseline, so that a line is drawn a cell after another.
Picture textGlyphs(const Fonts& fonts) {
    Picture p(GlyphWidth, GlyphHeight * GlyphCount);
    for (int g = 0; g < GlyphCount; ++g) {
        const Mask m = fonts.mono.render(std::string(1, char(GlyphFirst + g)), 14.5, 1.0, 0);
        const int baseline = GlyphHeight * g + 12;
        for (int y = 0; y < m.h; ++y)
            for (int x = 0; x < m.w; ++x) {
                const int tx = x, ty = baseline - m.originY + y;
                if (tx < GlyphWidth && ty >= GlyphHeight * g && ty < GlyphHeight * (g + 1) && m.at(x, y) > 0)
                    p.at(tx, ty) = {255, 255, 255, m.at(x, y)};
            }
    }
    return p;
}

// The panel behind a message over the board: dark glass, a gold rim.
Picture banner() {
    Picture p(BannerWidth, BannerHeight);
    p.paint(4, [&](double x, double y) -> Colour {
        const double d = sdBox(x, y, 0, 0, BannerWidth, BannerHeight, 9);
        if (d > 0) return {};
        if (d > -1.2) return ink;
        if (d > -3.4) return mix(goldLight, goldDark, clamp01(y / BannerHeight));
        if (d > -4.4) return withAlpha(ink, 0.9);
        return withAlpha(mix(hex(0x1A2230), hex(0x0C1018), y / BannerHeight), 0.86);
    });
    return p;
}

// A disc in the corner of a level cell: light, outlined in ink so it shows
// on the cell, on the red highlight and on the green number alike.
Colour markDisc(double x, double y, const Colour& face) {
    const double d = sdCircle(x, y, 8, 8, 7.6);
    if (d > 0) return {};
    if (d > -1.2) return ink;
    return face;
}

// A won level: a check mark.
Picture wonMark() {
    Picture p(MarkSize, MarkSize);
    p.paint(4, [&](double x, double y) -> Colour {
        Colour c = markDisc(x, y, cream);
        if (c.a == 0) return c;
        const double tick = std::min(distSegment(x, y, 4.2, 8.4, 7, 11.3), distSegment(x, y, 7, 11.3, 12, 4.6)) - 1.5;
        return tick < 0 ? ink : c;
    });
    return p;
}

// A level won after a hint: a ring with a dot inside, no tick.
Picture helpedMark() {
    Picture p(MarkSize, MarkSize);
    p.paint(4, [&](double x, double y) -> Colour {
        Colour c = markDisc(x, y, gold);
        if (c.a == 0) return c;
        const double ring = std::fabs(sdCircle(x, y, 8, 8, 3.8)) - 1.1;
        return ring < 0 ? ink : c;
    });
    return p;
}

// The hint: a bold arrow pointing right, filling the cell.
Picture hintArrow() {
    Picture p(24, 24);
    p.paint(4, [&](double x, double y) -> Colour {
        const double head = sdConvex(x, y, {{22.5, 12}, {12.5, 2.5}, {12.5, 21.5}});
        const double shaft = sdBox(x, y, 2, 8.5, 14, 15.5, 1);
        const double d = std::min(head, shaft);
        if (d > 1.4) return {};
        if (d > 0) return ink;
        return mix(hex(0xFFF07A), hex(0xE8A21C), clamp01(y / 24));
    });
    return p;
}

bool buildArt(ArtSet& a, const std::string& fontDir, std::string& error) {
    Fonts fonts;
    const std::string dir = fontDir.empty() ? std::string(".") : fontDir;
    if (!fonts.bold.load(common::joinPath(dir, "DejaVuSans-Bold.ttf"), error)) return false;
    if (!fonts.condensed.load(common::joinPath(dir, "DejaVuSansCondensed-Bold.ttf"), error)) return false;
    if (!fonts.mono.load(common::joinPath(dir, "DejaVuSansMono-Bold.ttf"), error)) return false;

    a[Pack1Block::MovableBlock] = movableBlock();
    for (int stage = 0; stage < BrickStages; ++stage) a.brick(stage) = brickWall(stage);
    a[Pack1Block::Rubble] = rubble();
    a[Pack1Block::Goal] = goal();
    a[Pack1Block::Ground] = ground();
    a[Pack1Block::BeamStraight] = beamPiece(Beam::Straight);
    a[Pack1Block::BeamCorner] = beamPiece(Beam::Corner);
    a[Pack1Block::BeamCrossing] = beamPiece(Beam::Crossing);
    for (int o = 0; o < 4; ++o) a.fixedMirror(FixedMirrorRightBottom + o) = fixedMirror(o);
    a[Pack1Block::MovableMirror] = movableMirror();
    a[Pack1Block::Tank] = tank();
    a[Pack1Block::SolidWall] = solidWall();
    a[Pack1Block::Water] = water();
    a[Pack1Block::SunkBlock] = sunkBlock();
    a[Pack1Block::Explosion] = explosion();
    a[Pack1Block::AntiTank] = antiTank();
    a[Pack1Block::Background] = backgroundPattern();
    a[Pack2Block::ShoreFirstHalf] = shoreStrip({0, 1, 0, 0, 2, 0, 1, 0, 0, 2, 0, 1});
    a[Pack2Block::ShoreCorner] = shoreStrip({1, 0, 0, 2, 0, 1, 1, 0, 2, 0, 0, 1});
    a[Pack2Block::ShoreSecondHalf] = shoreStrip({0, 0, 1, 0, 2, 0, 0, 1, 0, 2, 0, 0});
    a[Pack2Block::HorizontalSlot] = slot(Slot::Horizontal);
    a[Pack2Block::VerticalSlot] = slot(Slot::Vertical);
    a[Pack2Block::Glass] = glassBlock();
    a[Pack2Block::Scorch] = scorch();
    a[Pack1Block::Title] = titleScreen(a, fonts);
    a[Pack2Block::LevelSelectBackground] = levelSelectScreen(fonts);
    a[Pack2Block::LevelCell] = levelCell();
    a[Pack2Block::Digits] = digits(fonts);
    a[Pack2Block::ArrowFrame] = arrowFrame();
    a[Pack2Block::ArrowGlyph] = arrowGlyph();
    a[Pack2Block::ResultOverlay] = resultOverlay();
    a[Pack2Block::ButtonLevels] = resultButton(fonts, "Levels", Icon::LevelGrid);
    a[Pack2Block::ButtonContinue] = resultButton(fonts, "Continue", Icon::PlayOn);
    a[Pack2Block::ButtonRestart] = resultButton(fonts, "Restart", Icon::Again);
    a[Pack3Block::Glyphs] = textGlyphs(fonts);
    a[Pack3Block::Banner] = banner();
    a[Pack3Block::WonMark] = wonMark();
    a[Pack3Block::HelpedMark] = helpedMark();
    a[Pack3Block::HintArrow] = hintArrow();
    return true;
}

}  // namespace

bool paintArt(const std::string& outDir, const std::string& fontDir, std::string& error) {
    ArtSet a;
    if (!buildArt(a, fontDir, error)) return false;
    if (!common::makeFolders(outDir, error)) return false;
    for (int pack = 1; pack <= PackCount; ++pack)
        for (int block = 0; block < packBlockCount(pack); ++block) {
            const Picture& pic = pack == 1 ? a.p1[block] : pack == 2 ? a.p2[block] : a.p3[block];
            const PackBlock& b = packLayout(pack)[block];
            const std::string path = common::joinPath(outDir, standardFileName(pack, block));
            if (pic.w != b.width || pic.h != b.height) {
                error = path + ": drawn " + std::to_string(pic.w) + "x" + std::to_string(pic.h) + ", the block is " +
                        std::to_string(b.width) + "x" + std::to_string(b.height);
                return false;
            }
            if (b.bytesPerPixel == 3 && !pic.opaque()) {
                error = path + ": drawn with transparent pixels for an opaque block";
                return false;
            }
            const std::vector<std::uint8_t> bytes = pic.bytes(b.bytesPerPixel);
            if (!writePng(path, pic.w, pic.h, b.bytesPerPixel, bytes.data(), error)) return false;
        }
    // The desktop icon (not part of a pack): the tank on its ground, twice as large.
    Picture icon(48, 48);
    icon.drawScaled(a[Pack1Block::Ground], 0, 0, 2);
    icon.drawScaled(a[Pack1Block::Tank], 0, 0, 2);
    const std::vector<std::uint8_t> iconBytes = icon.bytes(4);
    if (!writePng(common::joinPath(outDir, IconName), 48, 48, 4, iconBytes.data(), error)) return false;
    return writeStandardManifest(outDir, error);
}

}  // namespace art
