#include "game/painter.h"

#include "assets/packs.h"
#include "game/board.h"
#include "render/screen.h"

namespace {

const std::uint8_t* storedPicture(std::uint8_t code, std::uint8_t state) {
    switch (code) {
        case BrickWall: return packImage(1, 1 + state);  // blocks 1..11 lie back to back
        case SolidWall: return packImage(1, 24);
        case FixedMirrorRightBottom:
        case FixedMirrorLeftBottom:
        case FixedMirrorLeftTop:
        case FixedMirrorRightTop: return packImage(1, 18 + (code - FixedMirrorRightBottom));
        case Goal: return packImage(1, 13);
        case ClearBlock: return packImage(2, 10);
        case HorizontalSlot: return packImage(2, 8);
        case VerticalSlot: return packImage(2, 9);
        case Rubble: return packImage(1, 12);
        case Scorch: return packImage(2, 11);
        default: return packImage(1, 14);  // ground, empty, tank start, unknown codes
    }
}

// One 12-pixel half of a shore: a strip copied as a 12x1 or 1x12 rectangle.
void shoreHalf(bool corner, int normalBlock, int x, int y, bool vertical) {
    const std::uint8_t* strip = packImage(2, corner ? 2 : normalBlock);
    if (vertical)
        waterCanvas->blit(strip, x, y, 1, 12);
    else
        waterCanvas->blit(strip, x, y, 12, 1);
}

}  // namespace

void drawWaterEdges(int x, int y) {
    const bool n = isWaterAt(x, y - 1), ne = isWaterAt(x + 1, y - 1);
    const bool e = isWaterAt(x + 1, y), se = isWaterAt(x + 1, y + 1);
    const bool s = isWaterAt(x, y + 1), sw = isWaterAt(x - 1, y + 1);
    const bool w = isWaterAt(x - 1, y), nw = isWaterAt(x - 1, y - 1);
    // Later halves overwrite the corner pixels of earlier ones.
    if (!e) {
        shoreHalf(n && !ne, 1, 23, 0, true);
        shoreHalf(s && !se, 3, 23, 12, true);
    }
    if (!n) {
        shoreHalf(w && !nw, 1, 0, 0, false);
        shoreHalf(e && !ne, 3, 12, 0, false);
    }
    if (!w) {
        shoreHalf(s && !sw, 3, 0, 12, true);
        shoreHalf(n && !nw, 1, 0, 0, true);
    }
    if (!s) {
        shoreHalf(e && !se, 1, 12, 23, false);
        shoreHalf(w && !sw, 3, 0, 23, false);
    }
}

const std::uint8_t* cellImage(int x, int y, bool withObjects) {
    if (!onBoard(x, y)) return packImage(1, 24);
    const Cell& cell = board.at(x, y);
    const std::uint8_t code = (withObjects && cell.object != 0) ? cell.object : cell.terrain;
    if (code > 25) return packImage(1, 14);
    if (code == Water || code == SunkBlock) {
        waterCanvas->blit(packImage(1, code == Water ? 25 : 26), 0, 0, 24, 24);
        drawWaterEdges(x, y);
        return waterCanvas->pixels;
    }
    if (isObjectCode(code)) {
        objectCanvas->blit(cellImage(x, y, false), 0, 0, 24, 24);
        drawObjectSprite(code);
        return objectCanvas->pixels;
    }
    return storedPicture(code, cell.state);
}

void drawObjectSprite(int code) {
    if (code == MovableBlock)
        blockSprite->draw(0, 0, 0);
    else if (code >= AntiTankRight && code <= AntiTankUp)
        antiTankSprite->draw(0, 0, static_cast<float>(90 * (code - AntiTankRight)));
    else if (code >= MovableMirrorRightBottom && code <= MovableMirrorRightTop)
        mirrorSprite->drawFrame(0, 0, 0, code - MovableMirrorRightBottom);
}

void drawCell(int x, int y, bool withObjects) {
    blitToScreen(cellImage(x, y, withObjects), 24, 24, y * 24, x * 24);
}
