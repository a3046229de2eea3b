// The level file and the start of a level on the board.
#include "game/levels.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/data_file.h"
#include "game/board.h"

void setLevels(Levels& levels, const std::uint8_t* records, int count) {
    levels.count = count;
    levels.data.assign(records, records + static_cast<std::size_t>(count > 0 ? count : 0) * LevelRecordBytes);
}

bool loadLevels(Levels& levels, const std::string& path, std::string& error) {
    std::size_t size = 0;
    std::string reason;
    std::FILE* file = openDataFile(path, size, reason);
    if (!file) {
        error = "cannot open level file " + path + " (" + reason + ")";
        return false;
    }
    if (size > MaxLevelFileBytes) {
        std::fclose(file);
        error = "level file " + path + " is " + std::to_string(size) + " bytes, more than the " +
                std::to_string(MaxLevelFileBytes >> 20) + " MiB (" +
                std::to_string(MaxLevelFileBytes / LevelRecordBytes) + " levels) a level file may hold";
        return false;
    }
    // No more than the size taken at the open, should the file grow.
    std::vector<std::uint8_t> bytes(size);
    const std::size_t got = size ? std::fread(bytes.data(), 1, size, file) : 0;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read level file " + path;
        return false;
    }
    bytes.resize(got);
    if (bytes.size() < static_cast<std::size_t>(LevelRecordBytes)) {
        error = "level file " + path + " holds no whole level (" + std::to_string(bytes.size()) +
                " bytes, a level is " + std::to_string(LevelRecordBytes) + ")";
        return false;
    }
    // Bytes after the last whole record are ignored.
    setLevels(levels, bytes.data(), static_cast<int>(bytes.size() / LevelRecordBytes));
    return true;
}

void placeLevel(Game& g, int index) {
    PlayState& play = g.play;
    play.level = index;
    const std::uint8_t* record = g.levels.data.data() + static_cast<std::size_t>(index) * LevelRecordBytes;
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

void startLevel(Game& g, int index) {
    ++g.levels.starts;
    placeLevel(g, index);
    rules::redrawScreen(g);
}
