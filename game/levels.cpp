#include "game/levels.h"

#include <cstdio>
#include <cstring>

#include "game/board.h"
#include "ui/screens.h"

std::int32_t levelCount = 0;
std::uint8_t* levelData = nullptr;

void setLevels(const std::uint8_t* records, int count) {
    delete[] levelData;
    levelCount = count;
    levelData = new std::uint8_t[static_cast<std::size_t>(count) * LevelRecordBytes];
    if (count > 0) std::memcpy(levelData, records, static_cast<std::size_t>(count) * LevelRecordBytes);
}

bool loadLevels(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "brimvale: cannot open level file %s\n", path.c_str());
        return false;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (size < LevelRecordBytes) {
        std::fclose(file);
        if (size < 0)
            std::fprintf(stderr, "brimvale: cannot read level file %s\n", path.c_str());
        else
            std::fprintf(stderr, "brimvale: level file %s holds no whole level (%ld bytes, a level is %d)\n",
                         path.c_str(), size, LevelRecordBytes);
        return false;
    }
    const int count = static_cast<int>(size / LevelRecordBytes);
    delete[] levelData;
    levelCount = count;
    levelData = new std::uint8_t[static_cast<std::size_t>(count) * LevelRecordBytes]();
    for (int i = 0; i < count; ++i) {
        if (std::fread(levelData + static_cast<std::size_t>(i) * LevelRecordBytes, LevelRecordBytes, 1, file) != 1) {
            std::fclose(file);
            std::fprintf(stderr, "brimvale: cannot read level file %s\n", path.c_str());
            return false;
        }
    }
    std::fclose(file);
    return true;
}

void placeLevel(int index) {
    currentLevel = index;
    const std::uint8_t* record = levelData + static_cast<std::size_t>(index) * LevelRecordBytes;
    std::int32_t x0 = tankX, y0 = tankY, dx0 = tankDX, dy0 = tankDY;
    float angle0 = tankAngle;
    for (int y = 0; y < BoardSize; ++y) {
        for (int x = 0; x < BoardSize; ++x) {
            const std::uint8_t b = record[y * BoardSize + x];
            Cell& cell = board.at(x, y);
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
    tankX = x0;
    tankY = y0;
    tankDX = dx0;
    tankDY = dy0;
    tankAngle = angle0;
    outcome = InPlay;
}

void startLevel(int index) {
    placeLevel(index);
    drawScreen();
}
