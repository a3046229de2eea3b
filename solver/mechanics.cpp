// What a key press did, in the player's terms.
#include "solver/mechanics.h"

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

// Does the tank at (x, y) stand in a gun's line with an object between them
// that was not there at the start?
bool shielded(const Board& start, const Board& b, int x, int y) {
    static const int dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto& d : dirs) {
        bool moved = false, between = false;
        for (int cx = x + d[0], cy = y + d[1]; onBoard(cx, cy); cx += d[0], cy += d[1]) {
            const CellKind& kind = cellKind(codeAt(b, cx, cy));
            if (kind.sight == Sight::Clear) continue;
            if (kind.sight == Sight::Watches) {
                if (turnDx(kind.turn) == -d[0] && turnDy(kind.turn) == -d[1]) {
                    if (between && moved) return true;
                    break;
                }
            } else if (!kind.isObject()) {
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
        const CellKind& kind = cellKind(codeAt(board, x, y));
        bool on = false;
        switch (kind.beam) {
            case BeamMeets::Crosses: on = !(x == tank.x && y == tank.y); break;
            case BeamMeets::PassesUnseen:
                w.used |= Glass;
                on = true;
                break;
            case BeamMeets::PassesAcross:
            case BeamMeets::PassesAlong:
                on = kind.beam == BeamMeets::PassesAcross ? dx != 0 : dy != 0;
                if (on) w.used |= Slot;
                break;
            case BeamMeets::Reflects:
            case BeamMeets::ReflectsOrShoves:
                on = reflect(kind.turn, dx, dy);
                if (on) w.used |= kind.beam == BeamMeets::ReflectsOrShoves ? MovableMirror : FixedMirror;
                break;
            case BeamMeets::ShovesOrDies:
                if (turnDx(kind.turn) == -dx && turnDy(kind.turn) == -dy) w.used |= AntiTank;
                break;
            case BeamMeets::Shoves:
            case BeamMeets::Breaks:
            case BeamMeets::Stops: break;
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
