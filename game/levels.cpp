// The level file and the start of a level on the board.
#include "game/levels.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "game/board.h"
#include "game/play_state.h"
#include "game/screen_redraw.h"

std::int32_t levelCount = 0;
std::uint8_t* levelData = nullptr;

void setLevels(const std::uint8_t* records, int count) {
    delete[] levelData;
    levelCount = count;
    levelData = new std::uint8_t[static_cast<std::size_t>(count) * LevelRecordBytes];
    if (count > 0) std::memcpy(levelData, records, static_cast<std::size_t>(count) * LevelRecordBytes);
}

bool loadLevels(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open level file " + path;
        return false;
    }
    // Read the whole file before taking its size: a folder opens, and even
    // seeks to an "end", but gives no bytes.
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read level file " + path;
        return false;
    }
    if (bytes.size() < static_cast<std::size_t>(LevelRecordBytes)) {
        error = "level file " + path + " holds no whole level (" + std::to_string(bytes.size()) +
                " bytes, a level is " + std::to_string(LevelRecordBytes) + ")";
        return false;
    }
    // Bytes after the last whole record are ignored.
    setLevels(bytes.data(), static_cast<int>(bytes.size() / LevelRecordBytes));
    return true;
}

void placeLevel(int index) {
    play.level = index;
    const std::uint8_t* record = levelData + static_cast<std::size_t>(index) * LevelRecordBytes;
    std::int32_t x0 = play.tank.x, y0 = play.tank.y, dx0 = play.tank.dx, dy0 = play.tank.dy;
    float angle0 = play.tank.angle;
    for (int y = 0; y < BoardSize; ++y) {
        for (int x = 0; x < BoardSize; ++x) {
            const std::uint8_t b = record[y * BoardSize + x];
            Cell& cell = play.board.at(x, y);
            cell.terrain = b;
            cell.object = 0;
            cell.state = 0;
            if (isObjectCode(b)) {
                cell.terrain = Ground;
                cell.object = b;
            } else if (b == TankStart) {
                // The last tank start in reading order wins.
                cell.terrain = Ground;
                x0 = x;
                y0 = y;
                dx0 = 0;
                dy0 = -1;
                angle0 = 270;
            }
        }
    }
    play.tank.x = x0;
    play.tank.y = y0;
    play.tank.dx = dx0;
    play.tank.dy = dy0;
    play.tank.angle = angle0;
    play.outcome = InPlay;
}

void startLevel(int index) {
    placeLevel(index);
    rules::redrawScreen();
}
