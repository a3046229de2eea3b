// The art sources of the two image packs: the manifest that names a PNG for
// every block, and the library side of `pack`, `unpack` and `paint-art`.
//
// Manifest: a text file, one block a line, fields separated by blanks:
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
// The desktop icon that paint-art draws beside the pack sources.
constexpr const char* IconName = "icon.png";

// The file name our own art set uses for a block.
const char* standardFileName(int pack, int block);

// The manifest of the standard file names, as `unpack` and `paint-art` write it.
std::string standardManifestText();

// Parses a manifest and checks it against the pack layouts. On failure the
// message names the manifest file and line.
bool readManifest(const std::string& path, std::vector<ManifestEntry>& entries, std::string& error);

// Builds data01.pak and data02.pak in `outDir` from `artDir`/manifest.txt and
// its PNGs. Nothing is written unless every image is right.
bool packArt(const std::string& artDir, const std::string& outDir, std::string& error);

// Turns data01.pak and data02.pak of `dataDir` into PNGs and a manifest in
// `outDir`. A short pack leaves its missing bytes zero; `notes` collects such
// remarks.
bool unpackArt(const std::string& dataDir, const std::string& outDir, std::string& error,
               std::vector<std::string>* notes = nullptr);

// Draws the game's own art set into `outDir` (PNGs and manifest), using the
// DejaVu fonts of `fontDir`.
bool paintArt(const std::string& outDir, const std::string& fontDir, std::string& error);

constexpr const char* DefaultFontDir = "/usr/share/fonts/truetype/dejavu";

}  // namespace art
