// Objects shoved one cell on by the beam, the beam's tail following them.
#include "assets/packs.h"
#include "game/board.h"
#include "game/game.h"
#include "game/painter.h"
#include "game/rules.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sound_cue.h"

namespace {

void slideFrame(Game& g, int x, int y, int dx, int dy, int code, std::uint32_t colour, int s) {
    const int tx = x + dx, ty = y + dy;
    beginFrame();
    // The source cell, with the beam reaching up to the object's back.
    sprites().objectCanvas.blit(cellImage(g, x, y, false), 0, 0, 24, 24);
    sprites().beamStraightSprite.drawTinted(-(24 - s) * dx, -(24 - s) * dy, dx != 0 ? 0.0f : 90.0f, colour);
    sprites().objectCanvas.present(24 * x, 24 * y);
    drawCell(g, tx, ty, false);
    // The object over exactly the ground it is passing.
    sprites().objectCanvas.blit(cellImage(g, x, y, false), -s * dx, -s * dy, 24, 24);
    sprites().objectCanvas.blit(cellImage(g, tx, ty, false), (24 - s) * dx, (24 - s) * dy, 24, 24);
    drawObjectSprite(code);
    sprites().objectCanvas.present(24 * x + s * dx, 24 * y + s * dy);
    presentFrame();
    swapFrame();
    pauseMicros(10);
}

}  // namespace

bool shoveByBeam(Game& g, int x, int y, int dx, int dy, int code, std::uint32_t colour) {
    const int tx = x + dx, ty = y + dy;
    if (tx == g.play.tank.x && ty == g.play.tank.y) return false;
    if (!acceptsObject(g.play.board, tx, ty)) return false;
    cueSound(g, sound::Shove);
    for (int k = 0; k < framesToShow(g, 21); ++k) slideFrame(g, x, y, dx, dy, code, colour, k + 2);
    moveObject(g.play.board, x, y, tx, ty, static_cast<std::uint8_t>(code));
    drawMove(g, x, y, tx, ty);
    return true;
}
