// The manifest of the art sources: its standard text and its reader.
#include "tools/art/manifest.h"

#include <cstdio>
#include <sstream>

#include "assets/packs.h"
#include "common/files.h"
#include "common/numbers.h"

namespace art {

namespace {

// A field of at most nine digits.
bool parseInt(const std::string& text, int& value) {
    long long v = 0;
    if (text.size() > 9 || !common::parseWhole(text, 0, 999999999, v)) return false;
    value = static_cast<int>(v);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    return x != std::string::npos && parseInt(text.substr(0, x), width) && parseInt(text.substr(x + 1), height);
}

std::string where(const std::string& path, int line) { return path + ":" + std::to_string(line) + ": "; }

// The blank-separated words of a line, without its comment.
std::vector<std::string> fields(std::string text) {
    const std::size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream in(text);
    std::vector<std::string> f;
    for (std::string word; in >> word;) f.push_back(word);
    return f;
}

// One line's six fields into `e` (all but its line), checked against the
// pack layouts; false with a message.
bool parseEntry(const std::vector<std::string>& f, ManifestEntry& e, std::string& error) {
    if (f.size() != 6) {
        error = "expected 6 fields (pack block format size frames file), found " + std::to_string(f.size());
        return false;
    }
    e.file = f[5];
    if (!parseInt(f[0], e.pack) || e.pack < 1 || e.pack > PackCount) {
        error = "pack must be 1, 2 or 3, not '" + f[0] + "'";
        return false;
    }
    if (!parseInt(f[1], e.block) || e.block >= packBlockCount(e.pack)) {
        error = "pack " + f[0] + " has blocks 0 to " + std::to_string(packBlockCount(e.pack) - 1) + ", not '" + f[1] +
                "'";
        return false;
    }
    if (f[2] != "rgb" && f[2] != "rgba") {
        error = "format must be rgb or rgba, not '" + f[2] + "'";
        return false;
    }
    e.rgba = f[2] == "rgba";
    if (!parseSize(f[3], e.width, e.height)) {
        error = "size must be WIDTHxHEIGHT, not '" + f[3] + "'";
        return false;
    }
    if (!parseInt(f[4], e.frames) || e.frames < 1) {
        error = "frames must be a positive number, not '" + f[4] + "'";
        return false;
    }
    const PackBlock& b = packBlock(e.pack, e.block);
    if (e.rgba != (b.bytesPerPixel == 4) || e.width != b.width || e.height != b.height || e.frames != b.frames) {
        char expected[96];
        std::snprintf(expected, sizeof expected, "%s %dx%d %d", b.bytesPerPixel == 4 ? "rgba" : "rgb", b.width,
                      b.height, b.frames);
        error = blockName(e.pack, e.block) + " is " + expected + ", the line says " + f[2] + " " + f[3] + " " + f[4];
        return false;
    }
    return true;
}

}  // namespace

std::string blockName(int pack, int block) {
    return "pack " + std::to_string(pack) + " block " + std::to_string(block) + " (" +
           packBlockName(pack, block) + ")";
}

const char* standardFileName(int pack, int block) { return packBlockFile(pack, block); }

std::string standardManifestText() {
    std::string text =
        "# Brimvale art: the PNG source of every block of data01.pak (pack 1),\n"
        "# data02.pak (pack 2) and data03.pak (pack 3, the player set's text, marks\n"
        "# and hint arrow). size is the whole PNG, frames stacked top to bottom.\n"
        "# rgb blocks must be opaque; rgba blocks keep their alpha.\n"
        "#\n"
        "# pack block format size     frames file                   role\n";
    char line[256];
    for (int pack = 1; pack <= PackCount; ++pack) {
        for (int block = 0; block < packBlockCount(pack); ++block) {
            const PackBlock& b = packBlock(pack, block);
            char size[32];
            std::snprintf(size, sizeof size, "%dx%d", b.width, b.height);
            std::snprintf(line, sizeof line, "  %d    %-5d %-6s %-8s %-6d %-22s # %s\n", pack, block,
                          b.bytesPerPixel == 4 ? "rgba" : "rgb", size, b.frames, standardFileName(pack, block),
                          packBlockName(pack, block));
            text += line;
        }
    }
    return text;
}

bool writeStandardManifest(const std::string& dir, std::string& error) {
    return common::writeFile(common::joinPath(dir, ManifestName), standardManifestText(), error);
}

bool readManifest(const std::string& path, std::vector<ManifestEntry>& entries, std::string& error) {
    entries.clear();
    std::string bytes;
    if (!common::readFile(path, bytes, error)) return false;
    std::istringstream in(bytes);
    std::vector<int> seenLine[PackCount + 1];  // 0: not yet given
    for (int pack = 1; pack <= PackCount; ++pack) seenLine[pack].assign(packBlockCount(pack), 0);
    std::string text;
    int lineNumber = 0;
    while (std::getline(in, text)) {
        ++lineNumber;
        const std::vector<std::string> f = fields(text);
        if (f.empty()) continue;
        ManifestEntry e;
        e.line = lineNumber;
        if (!parseEntry(f, e, error)) {
            error = where(path, lineNumber) + error;
            return false;
        }
        if (seenLine[e.pack][e.block]) {
            error = where(path, lineNumber) + blockName(e.pack, e.block) + " is already given on line " +
                    std::to_string(seenLine[e.pack][e.block]);
            return false;
        }
        seenLine[e.pack][e.block] = lineNumber;
        entries.push_back(e);
    }
    for (int pack = 1; pack <= PackCount; ++pack)
        for (int block = 0; block < packBlockCount(pack); ++block)
            if (!seenLine[pack][block]) {
                error = path + ": no line for " + blockName(pack, block);
                return false;
            }
    return true;
}

}  // namespace art
