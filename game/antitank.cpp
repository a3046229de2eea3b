// Anti-tank fire, and the explosions that end a tank or an anti-tank.
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

bool checkAntiTank(int x, int y, int dx, int dy, int code) {
    int cx = x + dx, cy = y + dy;
    while (sightAt(cx, cy) == 1) {
        cx += dx;
        cy += dy;
    }
    if (sightAt(cx, cy) != code) return false;
    // Whatever the shot does, this anti-tank has fired.
    fireLaser(cx, cy, -dx, -dy, antiTankBeamColour);
    return true;
}

bool checkAllAntiTanks(int x, int y) {
    // At most one anti-tank fires: right, below, left, above, in that order.
    return checkAntiTank(x, y, 1, 0, AntiTankLeft) || checkAntiTank(x, y, 0, 1, AntiTankUp) ||
           checkAntiTank(x, y, -1, 0, AntiTankRight) || checkAntiTank(x, y, 0, -1, AntiTankDown);
}

void playExplosion(int x, int y, unsigned pause) {
    for (int k = 0; k < framesToShow(14); ++k) {
        objectCanvas->blit(cellImage(x, y, false), 0, 0, 24, 24);
        explosionSprite->drawFrame(0, 0, 0, k);
        objectCanvas->present(24 * x, 24 * y);
        rules::showFrame();
        pauseMicros(pause);
    }
}

void destroyTank() {
    rules::lingerBeam();
    eraseBeam();
    cueSound(sound::TankDestroyed);
    playExplosion(play.tank.x, play.tank.y, 10);
    play.board.at(play.tank.x, play.tank.y).terrain = Scorch;
    play.outcome = Lost;
    play.screen = Result;
    // The redraw may handle waiting input, even a restart: the callers return
    // straight after it.
    rules::redrawScreen();
}

void destroyAntiTank(int x, int y) {
    rules::lingerBeam();
    eraseBeam();
    cueSound(sound::AntiTankDestroyed);
    playExplosion(x, y, 20);
    Cell& cell = play.board.at(x, y);
    cell.object = 0;
    if (cell.terrain == Ground) cell.terrain = Scorch;
    rules::redrawScreen();
}
