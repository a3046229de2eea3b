// The tank: turning on the spot, moving one cell, pushing what stands ahead.
#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/painter.h"
#include "game/rules.h"
#include "game/rules_frame.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sound_cue.h"
#include "game/screen_redraw.h"

namespace {

constexpr int NothingPushed = -1;  // no object code: the tank moves alone

// A movable mirror gives way only to a push against its back, the two sides
// its mirror does not face.
bool pushedFromBack(int code, int dx, int dy) {
    switch (code) {
        case MovableMirrorRightBottom: return dx == 1 || dy == 1;
        case MovableMirrorLeftBottom: return dx == -1 || dy == 1;
        case MovableMirrorLeftTop: return dx == -1 || dy == -1;
        case MovableMirrorRightTop: return dx == 1 || dy == -1;
        default: return false;
    }
}

void turnTank(int dx, int dy, float angle) {
    int frames = 11;
    float step;
    if (play.tank.dx + dx == 0 && play.tank.dy + dy == 0) {
        // About-face: always clockwise, in 23 steps.
        frames = 23;
        step = 7;
    } else if (play.tank.angle == 270 && angle == 0) {
        step = 7;  // up to right goes on past 347 rather than back through 180
    } else if (play.tank.angle == 0 && angle == 270) {
        step = -7;
    } else {
        step = play.tank.angle > angle ? -7.0f : 7.0f;
    }
    cueSound(sound::Turn);
    for (int k = 0; k < framesToShow(frames); ++k) {
        beginFrame();
        play.tank.angle += step;
        drawTank(play.tank.angle);
        presentFrame();
        swapFrame();
        pauseMicros(10);
    }
    // The animation stops short of the full turn; the rest is one jump.
    play.tank.dx = dx;
    play.tank.dy = dy;
    play.tank.angle = angle;
    drawTank(play.tank.angle);
}

// Moves the tank a cell on; the object `pushed` ahead of it (or none) moves
// a cell further.
void advanceTank(int dx, int dy, float angle, int pushed) {
    const int tx = play.tank.x, ty = play.tank.y;
    const int ax = tx + dx, ay = ty + dy;
    const int bx = ax + dx, by = ay + dy;
    cueSound(pushed == NothingPushed ? sound::Move : sound::Push);
    for (int k = 1; k <= framesToShow(11); ++k) {
        const int s = 2 * k;
        beginFrame();
        drawCell(tx, ty, false);
        drawCell(ax, ay, false);
        // The tank canvas carries the ground that lies under it on its way.
        tankCanvas->blit(cellImage(tx, ty, false), -s * dx, -s * dy, 24, 24);
        tankCanvas->blit(cellImage(ax, ay, false), 24 * dx - s * dx, 24 * dy - s * dy, 24, 24);
        tankSprite->draw(0, 0, angle);
        tankCanvas->present(tx * 24 + s * dx, ty * 24 + s * dy);
        if (play.board.at(ax, ay).object == pushed) {
            objectCanvas->blit(cellImage(ax, ay, false), -s * dx, -s * dy, 24, 24);
            objectCanvas->blit(cellImage(bx, by, false), 24 * dx - s * dx, 24 * dy - s * dy, 24, 24);
            drawObjectSprite(pushed);
            objectCanvas->present(ax * 24 + s * dx, ay * 24 + s * dy);
        }
        presentFrame();
        pauseMicros(10);
        swapFrame();
    }
    if (play.board.at(ax, ay).object == pushed) {
        moveObject(ax, ay, bx, by, cellAt(ax, ay, true));
        drawMove(ax, ay, bx, by);
    }
    drawCell(tx, ty, true);
    drawCell(ax, ay, true);
    play.tank.x += dx;
    play.tank.y += dy;
    drawTank(angle);
    // Last: an anti-tank that now sees the tank fires, and a destruction
    // redraw may handle further input; nothing may follow it here.
    checkAllAntiTanks(play.tank.x, play.tank.y);
}

}  // namespace

void turnOrMoveTank(int dx, int dy, float angle) {
    if (dx != play.tank.dx || dy != play.tank.dy) {
        turnTank(dx, dy, angle);
        return;
    }
    const int ax = play.tank.x + dx, ay = play.tank.y + dy;
    if (!onBoard(ax, ay)) return;
    const int code = cellAt(ax, ay, true);
    const int bx = ax + dx, by = ay + dy;
    switch (code) {
        case Goal:
            // Driving at the goal wins; the tank never enters it.
            play.outcome = Won;
            play.screen = Result;
            cueSound(sound::Win);
            rules::redrawScreen();
            rules::redrawScreen();
            return;
        case MovableBlock:
        case AntiTankRight:
        case AntiTankDown:
        case AntiTankLeft:
        case AntiTankUp:
            if (acceptsObject(bx, by)) advanceTank(dx, dy, angle, code);
            return;
        case MovableMirrorRightBottom:
        case MovableMirrorLeftBottom:
        case MovableMirrorLeftTop:
        case MovableMirrorRightTop:
            if (acceptsObject(bx, by) && pushedFromBack(code, dx, dy)) advanceTank(dx, dy, angle, code);
            return;
        case Ground:
        case TankStart:
        case SunkBlock:
        case Rubble:
        case Scorch: advanceTank(dx, dy, angle, NothingPushed); return;
        default:
            // Codes beyond the known ones are open ground to the tank.
            if (code > Scorch) advanceTank(dx, dy, angle, NothingPushed);
            return;
    }
}
