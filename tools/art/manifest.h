// The manifest of the art sources, which names a PNG for every pack block.
//
// A text file, one block a line, fields separated by blanks:
//
//     pack  block  format  size    frames  file
//     1     22     rgba    24x96   4       movable_mirror.png
//
// `size` is the whole PNG (all frames stacked top to bottom); `format` is rgb
// for a 3-byte block (the PNG must be opaque) or rgba for a 4-byte block.
// '#' starts a comment; blank lines are ignored. File names are relative to
// the manifest's folder. Every block of both packs appears exactly once.
#pragma once

#include <string>
#include <vector>

namespace art {

struct ManifestEntry {
    int pack = 0;
    int block = 0;
    bool rgba = false;
    int width = 0;
    int height = 0;  // the whole image: all frames
    int frames = 0;
    std::string file;
    int line = 0;  // in the manifest, for messages
};

constexpr const char* ManifestName = "manifest.txt";

// A block as messages name it: "pack 1 block 23 (tank)".
std::string blockName(int pack, int block);

// The file name our own art set uses for a block.
const char* standardFileName(int pack, int block);

// The manifest of the standard file names, as `unpack` and `paint-art` write it.
std::string standardManifestText();
// Writes it as `dir`/manifest.txt.
bool writeStandardManifest(const std::string& dir, std::string& error);

// Parses a manifest and checks it against the pack layouts. On failure the
// message names the manifest file and line.
bool readManifest(const std::string& path, std::vector<ManifestEntry>& entries, std::string& error);

}  // namespace art
