// What a key press did, in the player's terms.
#include "tools/session/mechanics.h"

#include <cstring>
#include <sstream>

#include "game/level_text.h"

namespace mechanics {

namespace {

static_assert(Count == leveltext::NeedsWordCount, "a needs word for every mechanic");

std::uint8_t codeAt(const Board& b, int x, int y) {
    if (!onBoard(x, y)) return SolidWall;
    const Cell& c = b.at(x, y);
    return c.object ? c.object : c.terrain;
}

bool isAntiTank(int code) { return code >= AntiTankRight && code <= AntiTankUp; }
bool isMovableMirror(int code) { return code >= MovableMirrorRightBottom && code <= MovableMirrorRightTop; }
bool isFixedMirror(int code) { return code >= FixedMirrorRightBottom && code <= FixedMirrorRightTop; }

// The turn of a mirror of orientation o (0..3, as the codes run): false on
// its closed sides.
bool reflect(int o, int& dx, int& dy) {
    int ndx = 0, ndy = 0;
    if (o == 0 && dx == -1) ndy = 1;
    else if (o == 0 && dy == -1) ndx = 1;
    else if (o == 1 && dx == 1) ndy = 1;
    else if (o == 1 && dy == -1) ndx = -1;
    else if (o == 2 && dx == 1) ndy = -1;
    else if (o == 2 && dy == 1) ndx = -1;
    else if (o == 3 && dx == -1) ndy = -1;
    else if (o == 3 && dy == 1) ndx = 1;
    else return false;
    dx = ndx;
    dy = ndy;
    return true;
}

// The way an anti-tank of this code faces.
void facing(int code, int& dx, int& dy) {
    static const int dxs[4] = {1, 0, -1, 0}, dys[4] = {0, 1, 0, -1};
    dx = dxs[code - AntiTankRight];
    dy = dys[code - AntiTankRight];
}

bool sightThrough(int code) { return code <= 25 && SightTable[code] == 1; }

// Does the tank at (x, y) stand in a gun's line with an object between them
// that was not there at the start?
bool shielded(const Board& start, const Board& b, int x, int y) {
    static const int dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto& d : dirs) {
        bool moved = false, between = false;
        for (int cx = x + d[0], cy = y + d[1]; onBoard(cx, cy); cx += d[0], cy += d[1]) {
            const int code = codeAt(b, cx, cy);
            if (sightThrough(code)) continue;
            if (isAntiTank(code)) {
                int fx, fy;
                facing(code, fx, fy);
                if (fx == -d[0] && fy == -d[1]) {
                    if (between && moved) return true;
                    break;
                }
            } else if (!(code == MovableBlock || isMovableMirror(code))) {
                break;
            }
            between = true;
            if (start.at(cx, cy).object != b.at(cx, cy).object) moved = true;
        }
    }
    return false;
}

}  // namespace

const char* word(int k) { return leveltext::needsWord(k); }

std::uint16_t fromWord(const std::string& w) { return leveltext::needsFromWord(w); }

std::string words(std::uint16_t set) { return leveltext::needsWords(set); }

Walk walkBeam(const Board& board, const Tank& tank) {
    Walk w;
    int dx = tank.dx, dy = tank.dy, x = tank.x + dx, y = tank.y + dy;
    const int fx = x, fy = y, fdx = dx, fdy = dy;
    while (onBoard(x, y)) {
        w.cells[y * 16 + x] = true;
        w.endX = x;
        w.endY = y;
        const int code = codeAt(board, x, y);
        bool on = false;
        switch (code) {
            case Water:
            case Ground:
            case Goal:
            case SunkBlock:
            case Rubble:
            case Scorch: on = !(x == tank.x && y == tank.y); break;
            case ClearBlock:
                w.used |= Glass;
                on = true;
                break;
            case HorizontalSlot:
            case VerticalSlot:
                on = code == HorizontalSlot ? dx != 0 : dy != 0;
                if (on) w.used |= Slot;
                break;
            default:
                if (isFixedMirror(code) || isMovableMirror(code)) {
                    const bool movable = isMovableMirror(code);
                    on = reflect(code - (movable ? MovableMirrorRightBottom : FixedMirrorRightBottom), dx, dy);
                    if (on) w.used |= movable ? MovableMirror : FixedMirror;
                } else if (isAntiTank(code)) {
                    int adx, ady;
                    facing(code, adx, ady);
                    if (adx == -dx && ady == -dy) w.used |= AntiTank;
                }
                break;
        }
        if (!on) return w;
        x += dx;
        y += dy;
        if (x == fx && y == fy && dx == fdx && dy == fdy) return w;
    }
    w.endX = w.endY = -1;
    return w;
}

std::uint16_t classify(const Board& start, const Board& before, const Tank& tankBefore, int press,
                       const Board& after, const Tank& tankAfter) {
    std::uint16_t used = 0;
    const bool boardChanged = std::memcmp(&before, &after, sizeof before) != 0;
    if (boardChanged) {
        for (int i = 0; i < 256; ++i) {
            const Cell& b = before.cells[i / 16][i % 16];
            const Cell& a = after.cells[i / 16][i % 16];
            if (b.terrain == BrickWall && a.terrain == Rubble) used |= Brick;
            if (b.terrain == Water && a.terrain != Water) used |= IntoWater;
        }
    }
    const bool moved = tankAfter.x != tankBefore.x || tankAfter.y != tankBefore.y;
    if (press == 4) {
        const Walk w = walkBeam(before, tankBefore);
        used |= w.used;
        if (boardChanged && w.endX >= 0) {
            const Cell& b = before.at(w.endX, w.endY);
            const Cell& a = after.at(w.endX, w.endY);
            if (b.object && a.object != b.object && !(used & AntiTank)) used |= Shove;
        }
    } else if (moved && boardChanged) {
        used |= Push;
    }
    // An object pushed or shoved into water and gone (an anti-tank, a mirror)
    // leaves the water as it was: count objects.
    if (boardChanged && !(used & AntiTank)) {
        int objectsBefore = 0, objectsAfter = 0;
        for (int i = 0; i < 256; ++i) {
            objectsBefore += before.cells[i / 16][i % 16].object != 0;
            objectsAfter += after.cells[i / 16][i % 16].object != 0;
        }
        if (objectsAfter < objectsBefore) used |= IntoWater;
    }
    if (moved && shielded(start, after, tankAfter.x, tankAfter.y)) used |= Shield;
    return used;
}

}  // namespace mechanics
