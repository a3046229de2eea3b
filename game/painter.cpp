// The pictures of board cells: stored tiles, shores, objects over their ground.
#include "game/painter.h"

#include "assets/packs.h"
#include "game/board.h"
#include "game/game.h"
#include "render/screen.h"
#include "render/sound_cue.h"

namespace {

// One 12-pixel half of a shore: a strip copied as a 12x1 or 1x12 rectangle.
void shoreHalf(bool corner, Pack2Block normal, int x, int y, bool vertical) {
    const std::uint8_t* strip = packImage(corner ? Pack2Block::ShoreCorner : normal);
    if (vertical)
        sprites().waterCanvas.blit(strip, x, y, 1, 12);
    else
        sprites().waterCanvas.blit(strip, x, y, 12, 1);
}

}  // namespace

void drawWaterEdges(const Game& g, int x, int y) {
    const bool n = isWaterAt(g.play.board, x, y - 1), ne = isWaterAt(g.play.board, x + 1, y - 1);
    const bool e = isWaterAt(g.play.board, x + 1, y), se = isWaterAt(g.play.board, x + 1, y + 1);
    const bool s = isWaterAt(g.play.board, x, y + 1), sw = isWaterAt(g.play.board, x - 1, y + 1);
    const bool w = isWaterAt(g.play.board, x - 1, y), nw = isWaterAt(g.play.board, x - 1, y - 1);
    // Later halves overwrite the corner pixels of earlier ones.
    if (!e) {
        shoreHalf(n && !ne, Pack2Block::ShoreFirstHalf, 23, 0, true);
        shoreHalf(s && !se, Pack2Block::ShoreSecondHalf, 23, 12, true);
    }
    if (!n) {
        shoreHalf(w && !nw, Pack2Block::ShoreFirstHalf, 0, 0, false);
        shoreHalf(e && !ne, Pack2Block::ShoreSecondHalf, 12, 0, false);
    }
    if (!w) {
        shoreHalf(s && !sw, Pack2Block::ShoreSecondHalf, 0, 12, true);
        shoreHalf(n && !nw, Pack2Block::ShoreFirstHalf, 0, 0, true);
    }
    if (!s) {
        shoreHalf(e && !se, Pack2Block::ShoreFirstHalf, 12, 23, false);
        shoreHalf(w && !sw, Pack2Block::ShoreSecondHalf, 0, 23, false);
    }
}

const std::uint8_t* cellImage(const Game& g, int x, int y, bool withObjects) {
    // With drawing off no picture is made: every use of this one is skipped.
    if (!g.drawing()) return packImage(Pack1Block::Ground);
    if (!onBoard(x, y)) return packImage(Pack1Block::SolidWall);
    const Cell& cell = g.play.board.at(x, y);
    const std::uint8_t code = (withObjects && cell.object != 0) ? cell.object : cell.terrain;
    const CellKind& kind = cellKind(code);
    switch (kind.look) {
        case Look::Tile: break;
        case Look::Stages: return packImage(kind.picture.pack, kind.picture.block + cell.state);
        case Look::Wet:
            sprites().waterCanvas.blit(packImage(kind.picture), 0, 0, 24, 24);
            drawWaterEdges(g, x, y);
            return sprites().waterCanvas.pixels;
        case Look::Turned:
        case Look::Framed:
            sprites().objectCanvas.blit(cellImage(g, x, y, false), 0, 0, 24, 24);
            drawObjectSprite(code);
            return sprites().objectCanvas.pixels;
    }
    return packImage(kind.picture);
}

void drawObjectSprite(int code) {
    const CellKind& kind = cellKind(code);
    if (kind.look != Look::Turned && kind.look != Look::Framed) return;
    // An untinted sprite over the object canvas, made from the picture's block.
    const PackBlock& layout = packBlock(kind.picture.pack, kind.picture.block);
    Sprite sprite(&sprites().objectCanvas, packImage(kind.picture), layout.width, layout.frameHeight());
    if (kind.look == Look::Turned) {
        sprite.draw(0, 0, static_cast<float>(90 * kind.turn));
    } else {
        sprite.setFrameSize(layout.width, layout.frameHeight());
        sprite.drawFrame(0, 0, 0, kind.turn);
    }
}

void showCellFrame(const Game& g, int x, int y, unsigned micros) {
    if (!g.drawing()) return;
    drawCell(g, x, y, false);
    beginFrame();
    presentFrame();
    swapFrame();
    pauseMicros(micros);
}

void drawTank(const Game& g, float angle) {
    if (!g.drawing()) return;
    sprites().tankCanvas.blit(cellImage(g, g.play.tank.x, g.play.tank.y, false), 0, 0, 24, 24);
    sprites().tankSprite.draw(0, 0, angle);
    sprites().tankCanvas.present(g.play.tank.x * 24, g.play.tank.y * 24);
}

void showBeamPiece(const Game& g, int x, int y, BeamPiece piece, std::uint32_t colour, int cornerTurn) {
    if (!g.drawing()) return;
    beginFrame();
    sprites().objectCanvas.blit(cellImage(g, x, y, false), 0, 0, 24, 24);
    if (onBoard(x, y)) {
        // An object the beam turns on (a movable mirror) shows over it.
        const std::uint8_t code = cellAt(g.play.board, x, y, true);
        if (cellKind(code).beam == BeamMeets::ReflectsOrShoves) drawObjectSprite(code);
    }
    switch (piece) {
        case BeamPiece::Horizontal: sprites().beamStraightSprite.drawTinted(0, 0, 0, colour); break;
        case BeamPiece::Vertical: sprites().beamStraightSprite.drawTinted(0, 0, 90, colour); break;
        case BeamPiece::Crossing: sprites().beamCrossSprite.drawTinted(0, 0, 0, colour); break;
        case BeamPiece::Corner:
            sprites().beamCornerSprite.drawTinted(0, 0, static_cast<float>(90 * cornerTurn), colour);
            break;
    }
    sprites().objectCanvas.present(24 * x, 24 * y);
    presentFrame();
    swapFrame();
}

void drawMove(const Game& g, int fromX, int fromY, int toX, int toY) {
    if (!g.drawing()) return;
    // An object that left no trace where it went fell into the water: a
    // block sank and made ground of it, anything else is gone with a splash.
    const Cell& to = g.play.board.at(toX, toY);
    if (to.object == 0) cueSound(g, to.terrain == SunkBlock ? sound::Sink : sound::Splash);
    drawCell(g, fromX, fromY, false);
    drawCell(g, toX, toY, true);
}

void drawCell(const Game& g, int x, int y, bool withObjects) {
    if (!g.drawing()) return;
    blitToScreen(cellImage(g, x, y, withObjects), 24, 24, y * 24, x * 24);
}
