// The board model: what stands on a cell, what an anti-tank sees, where objects may go.
#include "game/board.h"

std::uint8_t cellAt(const Board& board, int x, int y, bool withObjects) {
    if (!onBoard(x, y)) return SolidWall;
    const Cell& cell = board.at(x, y);
    if (withObjects && cell.object != 0) return cell.object;
    return cell.terrain;
}

bool acceptsObject(const Board& board, int x, int y) {
    if (!onBoard(x, y)) return false;
    return cellKind(cellAt(board, x, y, true)).takes != Takes::Nothing;
}

bool isWaterAt(const Board& board, int x, int y) {
    if (!onBoard(x, y)) return true;
    return cellKind(board.at(x, y).terrain).isWet();
}

std::uint8_t sightAt(const Board& board, int x, int y) {
    if (!onBoard(x, y)) return 0;
    const std::uint8_t code = cellAt(board, x, y, true);
    switch (cellKind(code).sight) {
        case Sight::Clear: return 1;
        case Sight::Watches: return code;
        case Sight::Blocks: break;
    }
    return 0;
}

void moveObject(Board& board, int fromX, int fromY, int toX, int toY, std::uint8_t code) {
    board.at(fromX, fromY).object = 0;
    Cell& to = board.at(toX, toY);
    const CellKind& ground = cellKind(to.terrain);
    if (ground.takes != Takes::Swallows)
        to.object = code;
    else if (code == MovableBlock)  // a block fills what swallows it; the rest are gone
        to.terrain = ground.becomes;
}

bool reflect(int turn, int& dx, int& dy) {
    int ndx = 0, ndy = 0;
    switch (turn) {
        case 0:  // open right and bottom
            if (dx == -1) ndy = 1;
            else if (dy == -1) ndx = 1;
            else return false;
            break;
        case 1:  // open left and bottom
            if (dx == 1) ndy = 1;
            else if (dy == -1) ndx = -1;
            else return false;
            break;
        case 2:  // open left and top
            if (dx == 1) ndy = -1;
            else if (dy == 1) ndx = -1;
            else return false;
            break;
        default:  // open right and top
            if (dx == -1) ndy = -1;
            else if (dy == 1) ndx = 1;
            else return false;
            break;
    }
    dx = ndx;
    dy = ndy;
    return true;
}
