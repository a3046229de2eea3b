// The laser beam: its walk from cell to cell, its segments and their erasure.
#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/painter.h"
#include "game/rules.h"
#include "game/rules_frame.h"
#include "platform/platform.h"
#include "render/screen.h"

namespace {

// A mirror of orientation o (0..3) turns a beam travelling (dx, dy) that
// enters through one of its open sides; false when it meets the closed side.
bool reflect(int orientation, int& dx, int& dy) {
    int ndx = 0, ndy = 0;
    switch (orientation) {
        case 0:  // open right and bottom
            if (dx == -1) ndy = 1;
            else if (dy == -1) ndx = 1;
            else return false;
            break;
        case 1:  // open left and bottom
            if (dx == 1) ndy = 1;
            else if (dy == -1) ndx = -1;
            else return false;
            break;
        case 2:  // open left and top
            if (dx == 1) ndy = -1;
            else if (dy == 1) ndx = -1;
            else return false;
            break;
        default:  // open right and top
            if (dx == -1) ndy = -1;
            else if (dy == 1) ndx = 1;
            else return false;
            break;
    }
    dx = ndx;
    dy = ndy;
    return true;
}

// Does a beam travelling (dx, dy) meet the face of this anti-tank?
bool hitsFront(int code, int dx, int dy) {
    switch (code) {
        case AntiTankRight: return dx == -1;
        case AntiTankDown: return dy == -1;
        case AntiTankLeft: return dx == 1;
        default: return dy == 1;  // AntiTankUp
    }
}

// Six steps of damage to a brick wall; true if it fell to rubble. The steps
// go on after the fall, raising the rubble's state byte (its picture ignores
// it, and a 1 is cleared like a beam mark).
bool damageWall(int x, int y) {
    bool fell = false;
    Cell& cell = play.board.at(x, y);
    for (int step = 0; step < 6; ++step) {
        ++cell.state;
        if (cell.state == 11) {
            cell.terrain = Rubble;
            cell.state = 0;
            fell = true;
        }
        drawCell(x, y, false);
        rules::showFrame();
        pauseMicros(50);
    }
    return fell;
}

// The beam tries to shove what it met; a refused shove stops it as a wall
// would. True when the object moved.
bool shoveOrStop(int x, int y, int dx, int dy, int code, std::uint32_t colour) {
    if (shoveByBeam(x, y, dx, dy, code, colour)) return true;
    rules::lingerBeam();
    return false;
}

}  // namespace

void fireLaser(int x, int y, int dx, int dy, std::uint32_t colour) {
    x += dx;
    y += dy;
    const int firstX = x, firstY = y, firstDX = dx, firstDY = dy;
    bool boardChanged = false;
    bool walking = true;
    while (walking) {
        bool moveOn = false;
        if (!onBoard(x, y)) {
            rules::lingerBeam();
            break;
        }
        const int code = cellAt(x, y, true);
        switch (code) {
            case Water:
            case Ground:
            case Goal:
            case SunkBlock:
            case Rubble:
            case Scorch:
                if (x == play.tank.x && y == play.tank.y) {
                    // The destruction ends with a redraw that may already have
                    // handled further input: nothing of this shot may follow.
                    destroyTank();
                    return;
                }
                drawBeamSegment(x, y, play.board.at(x, y).state == 1 ? 3 : (dx != 0 ? 1 : 2), colour);
                moveOn = true;
                break;
            case ClearBlock: moveOn = true; break;
            case HorizontalSlot: moveOn = dx != 0; break;
            case VerticalSlot: moveOn = dy != 0; break;
            case FixedMirrorRightBottom:
            case FixedMirrorLeftBottom:
            case FixedMirrorLeftTop:
            case FixedMirrorRightTop:
            case MovableMirrorRightBottom:
            case MovableMirrorLeftBottom:
            case MovableMirrorLeftTop:
            case MovableMirrorRightTop: {
                const bool movable = code >= MovableMirrorRightBottom;
                const int orientation = code - (movable ? MovableMirrorRightBottom : FixedMirrorRightBottom);
                if (reflect(orientation, dx, dy)) {
                    drawBeamSegment(x, y, 90 * orientation, colour);
                    moveOn = true;
                } else if (movable) {
                    boardChanged = shoveOrStop(x, y, dx, dy, code, colour);
                    walking = false;
                }
                break;
            }
            case MovableBlock:
            case AntiTankRight:
            case AntiTankDown:
            case AntiTankLeft:
            case AntiTankUp:
                if (code != MovableBlock && hitsFront(code, dx, dy)) {
                    destroyAntiTank(x, y);
                    return;
                }
                boardChanged = shoveOrStop(x, y, dx, dy, code, colour);
                walking = false;
                break;
            case BrickWall:
                boardChanged = damageWall(x, y);
                walking = false;
                break;
            default: break;  // empty cells, solid walls and the rest stop the beam
        }
        if (!walking) break;
        if (!moveOn) {
            rules::lingerBeam();
            break;
        }
        x += dx;
        y += dy;
        // The walk depends only on the cell and the direction, so coming back
        // to where it began, travelling the same way, means it would go round
        // for ever (through a tank standing on glass, say). It stops there.
        if (x == firstX && y == firstY && dx == firstDX && dy == firstDY) {
            rules::lingerBeam();
            break;
        }
    }
    eraseBeam();
    if (boardChanged) checkAllAntiTanks(play.tank.x, play.tank.y);
}

void drawBeamSegment(int x, int y, int type, std::uint32_t colour) {
    beginFrame();
    objectCanvas->blit(cellImage(x, y, false), 0, 0, 24, 24);
    if (onBoard(x, y)) {
        const std::uint8_t code = cellAt(x, y, true);
        if (code >= MovableMirrorRightBottom && code <= MovableMirrorRightTop)
            mirrorSprite->drawFrame(0, 0, 0, code - MovableMirrorRightBottom);
    }
    switch (type) {
        case 1: beamStraightSprite->drawTinted(0, 0, 0, colour); break;
        case 2: beamStraightSprite->drawTinted(0, 0, 90, colour); break;
        case 3: beamCrossSprite->drawTinted(0, 0, 0, colour); break;
        default: beamCornerSprite->drawTinted(0, 0, static_cast<float>(type), colour); break;
    }
    objectCanvas->present(24 * x, 24 * y);
    if (onBoard(x, y)) play.board.at(x, y).state = 1;
    presentFrame();
    swapFrame();
}

void eraseBeam() {
    for (int y = 0; y < BoardSize; ++y) {
        for (int x = 0; x < BoardSize; ++x) {
            Cell& cell = play.board.at(x, y);
            if (cell.state != 1) continue;
            drawCell(x, y, true);
            cell.state = 0;
        }
    }
}
