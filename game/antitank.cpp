// Anti-tank fire, and the explosions that end a tank or an anti-tank.
#include "assets/packs.h"
#include "game/board.h"
#include "game/game.h"
#include "game/painter.h"
#include "game/rules.h"
#include "game/rules_frame.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sound_cue.h"

bool checkAntiTank(Game& g, int x, int y, int dx, int dy, int code) {
    int cx = x + dx, cy = y + dy;
    while (sightAt(g.play.board, cx, cy) == 1) {
        cx += dx;
        cy += dy;
    }
    if (sightAt(g.play.board, cx, cy) != code) return false;
    // Whatever the shot does, this anti-tank has fired.
    fireLaser(g, cx, cy, -dx, -dy, antiTankBeamColour);
    return true;
}

bool checkAllAntiTanks(Game& g, int x, int y) {
    // At most one anti-tank fires: right, below, left, above, in that order.
    return checkAntiTank(g, x, y, 1, 0, AntiTankLeft) || checkAntiTank(g, x, y, 0, 1, AntiTankUp) ||
           checkAntiTank(g, x, y, -1, 0, AntiTankRight) || checkAntiTank(g, x, y, 0, -1, AntiTankDown);
}

void playExplosion(Game& g, int x, int y, unsigned pause) {
    for (int k = 0; k < framesToShow(g, 14); ++k) {
        sprites().objectCanvas.blit(cellImage(g, x, y, false), 0, 0, 24, 24);
        sprites().explosionSprite.drawFrame(0, 0, 0, k);
        sprites().objectCanvas.present(24 * x, 24 * y);
        rules::showFrame();
        pauseMicros(pause);
    }
}

void destroyTank(Game& g) {
    rules::lingerBeam(g);
    eraseBeam(g);
    cueSound(g, sound::TankDestroyed);
    playExplosion(g, g.play.tank.x, g.play.tank.y, 10);
    g.play.board.at(g.play.tank.x, g.play.tank.y).terrain = Scorch;
    g.play.outcome = Lost;
    g.play.screen = Result;
    // The redraw may handle waiting input, even a restart: the callers return
    // straight after it.
    rules::redrawScreen(g);
}

void destroyAntiTank(Game& g, int x, int y) {
    rules::lingerBeam(g);
    eraseBeam(g);
    cueSound(g, sound::AntiTankDestroyed);
    playExplosion(g, x, y, 20);
    Cell& cell = g.play.board.at(x, y);
    cell.object = 0;
    if (cell.terrain == Ground) cell.terrain = Scorch;
    rules::redrawScreen(g);
}
