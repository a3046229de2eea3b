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

// Does a beam travelling (dx, dy) meet the face of an anti-tank facing `turn`?
bool hitsFront(int turn, int dx, int dy) { return dx == -turnDx(turn) && dy == -turnDy(turn); }

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
            cell.terrain = cellKind(cell.terrain).becomes;
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

Walk meetMirror(Game& g, Beam& b, const CellKind& kind) {
    if (reflect(kind.turn, b.dx, b.dy)) {
        cueSound(g, sound::Mirror);
        drawBeamSegment(g, b.x, b.y, BeamPiece::Corner, b.colour, kind.turn);
        return Walk::On;
    }
    if (kind.beam == BeamMeets::Reflects) return Walk::Linger;
    b.boardChanged = shoveOrStop(g, b.x, b.y, b.dx, b.dy, kind.code, b.colour);
    return Walk::Stop;
}

Walk meetCell(Game& g, Beam& b) {
    const CellKind& kind = cellKind(cellAt(g.play.board, b.x, b.y, true));
    switch (kind.beam) {
        case BeamMeets::Crosses:
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
        case BeamMeets::PassesUnseen: return Walk::On;
        case BeamMeets::PassesAcross: return b.dx != 0 ? Walk::On : Walk::Linger;
        case BeamMeets::PassesAlong: return b.dy != 0 ? Walk::On : Walk::Linger;
        case BeamMeets::Reflects:
        case BeamMeets::ReflectsOrShoves: return meetMirror(g, b, kind);
        case BeamMeets::ShovesOrDies:
            if (hitsFront(kind.turn, b.dx, b.dy)) {
                destroyAntiTank(g, b.x, b.y);
                return Walk::Ended;
            }
            b.boardChanged = shoveOrStop(g, b.x, b.y, b.dx, b.dy, kind.code, b.colour);
            return Walk::Stop;
        case BeamMeets::Shoves:
            b.boardChanged = shoveOrStop(g, b.x, b.y, b.dx, b.dy, kind.code, b.colour);
            return Walk::Stop;
        case BeamMeets::Breaks: b.boardChanged = damageWall(g, b.x, b.y); return Walk::Stop;
        case BeamMeets::Stops: break;
    }
    return Walk::Linger;  // empty cells, solid walls and the rest
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
