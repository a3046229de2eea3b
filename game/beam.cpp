// The laser beam: its walk from cell to cell, its segments and their erasure.
#include "assets/packs.h"
#include "game/board.h"
#include "game/game.h"
#include "game/painter.h"
#include "game/rules.h"
#include "game/rules_frame.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sound_cue.h"

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
bool damageWall(Game& g, int x, int y) {
    bool fell = false;
    Cell& cell = g.play.board.at(x, y);
    cueSound(g, sound::BrickHit);
    for (int step = 0; step < 6; ++step) {
        ++cell.state;
        if (cell.state == 11) {
            cueSound(g, sound::BrickFall);
            cell.terrain = Rubble;
            cell.state = 0;
            fell = true;
        }
        showCellFrame(g, x, y, 50);
    }
    return fell;
}

// The beam tries to shove what it met; a refused shove stops it as a wall
// would. True when the object moved.
bool shoveOrStop(Game& g, int x, int y, int dx, int dy, int code, std::uint32_t colour) {
    if (shoveByBeam(g, x, y, dx, dy, code, colour)) return true;
    rules::lingerBeam(g);
    return false;
}

// What the beam does once it has dealt with a cell.
enum class Walk {
    On,      // on to the next cell
    Linger,  // stops here, lingering
    Stop,    // stops here; whatever stopped it has had its say
    Ended,   // a destruction ended the shot, and its redraw may have handled more input
};

struct Beam {
    int x, y, dx, dy;
    std::uint32_t colour;
    bool boardChanged = false;
};

Walk meetMirror(Game& g, Beam& b, int code) {
    const bool movable = code >= MovableMirrorRightBottom;
    const int orientation = code - (movable ? MovableMirrorRightBottom : FixedMirrorRightBottom);
    if (reflect(orientation, b.dx, b.dy)) {
        cueSound(g, sound::Mirror);
        drawBeamSegment(g, b.x, b.y, BeamPiece::Corner, b.colour, orientation);
        return Walk::On;
    }
    if (!movable) return Walk::Linger;
    b.boardChanged = shoveOrStop(g, b.x, b.y, b.dx, b.dy, code, b.colour);
    return Walk::Stop;
}

Walk meetCell(Game& g, Beam& b) {
    const int code = cellAt(g.play.board, b.x, b.y, true);
    switch (code) {
        case Water:
        case Ground:
        case Goal:
        case SunkBlock:
        case Rubble:
        case Scorch:
            if (b.x == g.play.tank.x && b.y == g.play.tank.y) {
                destroyTank(g);
                return Walk::Ended;
            }
            drawBeamSegment(g, b.x, b.y,
                            g.play.board.at(b.x, b.y).state == 1 ? BeamPiece::Crossing
                            : b.dx != 0                       ? BeamPiece::Horizontal
                                                              : BeamPiece::Vertical,
                            b.colour);
            return Walk::On;
        case ClearBlock: return Walk::On;
        case HorizontalSlot: return b.dx != 0 ? Walk::On : Walk::Linger;
        case VerticalSlot: return b.dy != 0 ? Walk::On : Walk::Linger;
        case FixedMirrorRightBottom:
        case FixedMirrorLeftBottom:
        case FixedMirrorLeftTop:
        case FixedMirrorRightTop:
        case MovableMirrorRightBottom:
        case MovableMirrorLeftBottom:
        case MovableMirrorLeftTop:
        case MovableMirrorRightTop: return meetMirror(g, b, code);
        case MovableBlock:
        case AntiTankRight:
        case AntiTankDown:
        case AntiTankLeft:
        case AntiTankUp:
            if (code != MovableBlock && hitsFront(code, b.dx, b.dy)) {
                destroyAntiTank(g, b.x, b.y);
                return Walk::Ended;
            }
            b.boardChanged = shoveOrStop(g, b.x, b.y, b.dx, b.dy, code, b.colour);
            return Walk::Stop;
        case BrickWall: b.boardChanged = damageWall(g, b.x, b.y); return Walk::Stop;
        default: return Walk::Linger;  // empty cells, solid walls and the rest
    }
}

}  // namespace

void fireLaser(Game& g, int x, int y, int dx, int dy, std::uint32_t colour) {
    cueSound(g, colour == antiTankBeamColour ? sound::AntiTankFire : sound::Shot);
    Beam beam{x + dx, y + dy, dx, dy, colour};
    const Beam first = beam;
    for (;;) {
        if (!onBoard(beam.x, beam.y)) {
            rules::lingerBeam(g);
            break;
        }
        const Walk walk = meetCell(g, beam);
        if (walk == Walk::Ended) return;
        if (walk == Walk::Stop) break;
        if (walk == Walk::Linger) {
            rules::lingerBeam(g);
            break;
        }
        beam.x += beam.dx;
        beam.y += beam.dy;
        // The walk depends only on the cell and the direction, so coming back
        // to where it began, travelling the same way, means it would go round
        // for ever (through a tank standing on glass, say). It stops there.
        if (beam.x == first.x && beam.y == first.y && beam.dx == first.dx && beam.dy == first.dy) {
            rules::lingerBeam(g);
            break;
        }
    }
    eraseBeam(g);
    if (beam.boardChanged) checkAllAntiTanks(g, g.play.tank.x, g.play.tank.y);
}

void drawBeamSegment(Game& g, int x, int y, BeamPiece piece, std::uint32_t colour, int cornerTurn) {
    showBeamPiece(g, x, y, piece, colour, cornerTurn);
    if (onBoard(x, y)) g.play.board.at(x, y).state = 1;
}

void eraseBeam(Game& g) {
    for (int y = 0; y < BoardSize; ++y) {
        for (int x = 0; x < BoardSize; ++x) {
            Cell& cell = g.play.board.at(x, y);
            if (cell.state != 1) continue;
            drawCell(g, x, y, true);
            cell.state = 0;
        }
    }
}
