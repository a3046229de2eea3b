// Objects shoved one cell on by the beam, the beam's tail following them.
#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/painter.h"
#include "game/rules.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sound_cue.h"

namespace {

void slideFrame(int x, int y, int dx, int dy, int code, std::uint32_t colour, int s) {
    const int tx = x + dx, ty = y + dy;
    beginFrame();
    // The source cell, with the beam reaching up to the object's back.
    objectCanvas->blit(cellImage(x, y, false), 0, 0, 24, 24);
    beamStraightSprite->drawTinted(-(24 - s) * dx, -(24 - s) * dy, dx != 0 ? 0.0f : 90.0f, colour);
    objectCanvas->present(24 * x, 24 * y);
    drawCell(tx, ty, false);
    // The object over exactly the ground it is passing.
    objectCanvas->blit(cellImage(x, y, false), -s * dx, -s * dy, 24, 24);
    objectCanvas->blit(cellImage(tx, ty, false), (24 - s) * dx, (24 - s) * dy, 24, 24);
    drawObjectSprite(code);
    objectCanvas->present(24 * x + s * dx, 24 * y + s * dy);
    presentFrame();
    swapFrame();
    pauseMicros(10);
}

}  // namespace

bool shoveByBeam(int x, int y, int dx, int dy, int code, std::uint32_t colour) {
    const int tx = x + dx, ty = y + dy;
    if (tx == play.tank.x && ty == play.tank.y) return false;
    if (!acceptsObject(tx, ty)) return false;
    cueSound(sound::Shove);
    for (int k = 0; k < framesToShow(21); ++k) slideFrame(x, y, dx, dy, code, colour, k + 2);
    moveObject(x, y, tx, ty, static_cast<std::uint8_t>(code));
    drawMove(x, y, tx, ty);
    return true;
}
