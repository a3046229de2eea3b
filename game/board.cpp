// The board model: what stands on a cell, what an anti-tank sees, where objects may go.
#include "game/board.h"

const std::uint8_t SightTable[26] = {
    1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 12, 13, 14, 15, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1,
};

std::uint8_t cellAt(const Board& board, int x, int y, bool withObjects) {
    if (!onBoard(x, y)) return SolidWall;
    const Cell& cell = board.at(x, y);
    if (withObjects && cell.object != 0) return cell.object;
    return cell.terrain;
}

bool acceptsObject(const Board& board, int x, int y) {
    if (!onBoard(x, y)) return false;
    const std::uint8_t code = cellAt(board, x, y, true);
    return code == Water || code == Ground || code == SunkBlock || code == Rubble || code == Scorch;
}

bool isWaterAt(const Board& board, int x, int y) {
    if (!onBoard(x, y)) return true;
    const std::uint8_t terrain = board.at(x, y).terrain;
    return terrain == Water || terrain == SunkBlock;
}

std::uint8_t sightAt(const Board& board, int x, int y) {
    if (!onBoard(x, y)) return 0;
    const std::uint8_t code = cellAt(board, x, y, true);
    return code > 25 ? 0 : SightTable[code];
}

void moveObject(Board& board, int fromX, int fromY, int toX, int toY, std::uint8_t code) {
    board.at(fromX, fromY).object = 0;
    Cell& to = board.at(toX, toY);
    if (to.terrain != Water)
        to.object = code;
    else if (code == MovableBlock)
        to.terrain = SunkBlock;
}
