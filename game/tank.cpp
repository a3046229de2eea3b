// The tank: turning on the spot, moving one cell, pushing what stands ahead.
#include "assets/packs.h"
#include "game/board.h"
#include "game/game.h"
#include "game/painter.h"
#include "game/rules.h"
#include "game/rules_frame.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sound_cue.h"

namespace {

constexpr int NothingPushed = -1;  // no object code: the tank moves alone

// A movable mirror facing `turn` gives way only to a push against its back,
// the two sides its mirror does not face.
bool pushedFromBack(int turn, int dx, int dy) {
    switch (turn) {
        case 0: return dx == 1 || dy == 1;    // open right and bottom
        case 1: return dx == -1 || dy == 1;   // open left and bottom
        case 2: return dx == -1 || dy == -1;  // open left and top
        default: return dx == 1 || dy == -1;  // open right and top
    }
}

void turnTank(Game& g, int dx, int dy, float angle) {
    int frames = 11;
    float step;
    if (g.play.tank.dx + dx == 0 && g.play.tank.dy + dy == 0) {
        // About-face: always clockwise, in 23 steps.
        frames = 23;
        step = 7;
    } else if (g.play.tank.angle == 270 && angle == 0) {
        step = 7;  // up to right goes on past 347 rather than back through 180
    } else if (g.play.tank.angle == 0 && angle == 270) {
        step = -7;
    } else {
        step = g.play.tank.angle > angle ? -7.0f : 7.0f;
    }
    cueSound(g, sound::Turn);
    for (int k = 0; k < framesToShow(g, frames); ++k) {
        beginFrame();
        g.play.tank.angle += step;
        drawTank(g, g.play.tank.angle);
        presentFrame();
        swapFrame();
        pauseMicros(10);
    }
    // The animation stops short of the full turn; the rest is one jump.
    g.play.tank.dx = dx;
    g.play.tank.dy = dy;
    g.play.tank.angle = angle;
    drawTank(g, g.play.tank.angle);
}

// Moves the tank a cell on; the object `pushed` ahead of it (or none) moves
// a cell further.
void advanceTank(Game& g, int dx, int dy, float angle, int pushed) {
    const int tx = g.play.tank.x, ty = g.play.tank.y;
    const int ax = tx + dx, ay = ty + dy;
    const int bx = ax + dx, by = ay + dy;
    cueSound(g, pushed == NothingPushed ? sound::Move : sound::Push);
    for (int k = 1; k <= framesToShow(g, 11); ++k) {
        const int s = 2 * k;
        beginFrame();
        drawCell(g, tx, ty, false);
        drawCell(g, ax, ay, false);
        // The tank canvas carries the ground that lies under it on its way.
        sprites().tankCanvas.blit(cellImage(g, tx, ty, false), -s * dx, -s * dy, 24, 24);
        sprites().tankCanvas.blit(cellImage(g, ax, ay, false), 24 * dx - s * dx, 24 * dy - s * dy, 24, 24);
        sprites().tankSprite.draw(0, 0, angle);
        sprites().tankCanvas.present(tx * 24 + s * dx, ty * 24 + s * dy);
        if (g.play.board.at(ax, ay).object == pushed) {
            sprites().objectCanvas.blit(cellImage(g, ax, ay, false), -s * dx, -s * dy, 24, 24);
            sprites().objectCanvas.blit(cellImage(g, bx, by, false), 24 * dx - s * dx, 24 * dy - s * dy, 24, 24);
            drawObjectSprite(pushed);
            sprites().objectCanvas.present(ax * 24 + s * dx, ay * 24 + s * dy);
        }
        presentFrame();
        pauseMicros(10);
        swapFrame();
    }
    if (g.play.board.at(ax, ay).object == pushed) {
        moveObject(g.play.board, ax, ay, bx, by, cellAt(g.play.board, ax, ay, true));
        drawMove(g, ax, ay, bx, by);
    }
    drawCell(g, tx, ty, true);
    drawCell(g, ax, ay, true);
    g.play.tank.x += dx;
    g.play.tank.y += dy;
    drawTank(g, angle);
    // Last: an anti-tank that now sees the tank fires, and a destruction
    // redraw may handle further input; nothing may follow it here.
    checkAllAntiTanks(g, g.play.tank.x, g.play.tank.y);
}

}  // namespace

void turnOrMoveTank(Game& g, int dx, int dy, float angle) {
    if (dx != g.play.tank.dx || dy != g.play.tank.dy) {
        turnTank(g, dx, dy, angle);
        return;
    }
    const int ax = g.play.tank.x + dx, ay = g.play.tank.y + dy;
    if (!onBoard(ax, ay)) return;
    const int code = cellAt(g.play.board, ax, ay, true);
    const int bx = ax + dx, by = ay + dy;
    const CellKind& kind = cellKind(code);
    switch (kind.tank) {
        case TankMeets::Wins:
            // Driving at the goal wins; the tank never enters it.
            g.play.outcome = Won;
            g.play.screen = Result;
            cueSound(g, sound::Win);
            rules::redrawScreen(g);
            rules::redrawScreen(g);
            return;
        case TankMeets::Pushes:
            if (acceptsObject(g.play.board, bx, by)) advanceTank(g, dx, dy, angle, code);
            return;
        case TankMeets::PushesBack:
            if (acceptsObject(g.play.board, bx, by) && pushedFromBack(kind.turn, dx, dy))
                advanceTank(g, dx, dy, angle, code);
            return;
        case TankMeets::Enters: advanceTank(g, dx, dy, angle, NothingPushed); return;
        case TankMeets::Stops: return;
    }
}

void playKey(Game& g, int key) {
    switch (key) {
        case KeyLeft: turnOrMoveTank(g, -1, 0, 180); return;
        case KeyRight: turnOrMoveTank(g, 1, 0, 0); return;
        case KeyUp: turnOrMoveTank(g, 0, -1, 270); return;
        case KeyDown: turnOrMoveTank(g, 0, 1, 90); return;
        default:
            // Before any level has placed the tank it faces nowhere.
            if (g.play.tank.dx != 0 || g.play.tank.dy != 0)
                fireLaser(g, g.play.tank.x, g.play.tank.y, g.play.tank.dx, g.play.tank.dy, playerBeamColour);
            return;
    }
}
