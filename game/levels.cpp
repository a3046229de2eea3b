// The level file and the start of a level on the board.
#include "game/levels.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/data_file.h"
#include "game/board.h"
#include "game/level_text.h"

void setLevels(Levels& levels, const std::uint8_t* records, int count) {
    levels.count = count;
    levels.data.assign(records, records + static_cast<std::size_t>(count > 0 ? count : 0) * LevelRecordBytes);
}

bool isLevelText(const std::string& bytes) {
    if (bytes.empty()) return false;
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u < 32 && c != '\t' && c != '\n' && c != '\r') || u == 127) return false;
    }
    return true;
}

bool readLevelBytes(const std::string& bytes, const std::string& name, LevelFileLevels& levels, std::string& error) {
    levels = LevelFileLevels{};
    levels.text = isLevelText(bytes);
    if (!levels.text) {
        levels.count = static_cast<int>(bytes.size() / LevelRecordBytes);
        levels.records.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(levels.count) * LevelRecordBytes);
        return true;
    }
    std::vector<leveltext::Level> parsed;
    std::vector<leveltext::Diagnostic> diagnostics;
    const bool ok = leveltext::parseSource(bytes, name, parsed, diagnostics);
    if (!ok) {
        for (const leveltext::Diagnostic& d : diagnostics)
            if (!d.warning) {
                error = d.text();
                return false;
            }
    }
    if (parsed.empty()) {
        error = name + ": level text without a level (a level starts with 'title NAME', see docs/levels.md)";
        return false;
    }
    for (const leveltext::Level& level : parsed) {
        levels.records.insert(levels.records.end(), level.cells.begin(), level.cells.end());
        levels.titles.push_back(level.title);
    }
    levels.count = static_cast<int>(parsed.size());
    return true;
}

bool loadLevels(Levels& levels, const std::string& path, std::string& error, std::vector<std::string>* titles) {
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
    const std::string text(bytes.begin(), bytes.end());
    if (isLevelText(text)) {
        LevelFileLevels read;
        if (!readLevelBytes(text, path, read, error)) return false;
        setLevels(levels, read.records.data(), read.count);
        if (titles) *titles = read.titles;
        return true;
    }
    if (bytes.size() < static_cast<std::size_t>(LevelRecordBytes)) {
        error = "level file " + path + " holds no whole level (" + std::to_string(bytes.size()) +
                " bytes, a level is " + std::to_string(LevelRecordBytes) + ")";
        return false;
    }
    // Bytes after the last whole record are ignored.
    setLevels(levels, bytes.data(), static_cast<int>(bytes.size() / LevelRecordBytes));
    if (titles) titles->clear();
    return true;
}

std::string levelLinkFragment(const std::uint8_t* records, int count) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    const std::size_t size = static_cast<std::size_t>(count > 0 ? count : 0) * LevelRecordBytes;
    std::string out = "level=";
    std::size_t i = 0;
    for (; i + 2 < size; i += 3) {
        const unsigned v = unsigned(records[i]) << 16 | unsigned(records[i + 1]) << 8 | unsigned(records[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) out += alphabet[(v >> shift) & 63];
    }
    const std::size_t rest = size - i;
    if (rest > 0) {
        unsigned v = unsigned(records[i]) << 16;
        if (rest == 2) v |= unsigned(records[i + 1]) << 8;
        for (std::size_t k = 0; k <= rest; ++k) out += alphabet[(v >> (18 - 6 * k)) & 63];
    }
    return out;
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
