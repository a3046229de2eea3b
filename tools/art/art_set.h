// The game's own art set, drawn by code: the library side of paint-art.
#pragma once

#include <string>

namespace art {

// The desktop icon drawn beside the pack sources.
constexpr const char* IconName = "icon.png";
constexpr const char* DefaultFontDir = "/usr/share/fonts/truetype/dejavu";

// Draws every block of both packs as a PNG into `outDir`, with the manifest
// and the desktop icon, using the DejaVu fonts of `fontDir`. Running it again
// gives the same files.
bool paintArt(const std::string& outDir, const std::string& fontDir, std::string& error);

}  // namespace art
