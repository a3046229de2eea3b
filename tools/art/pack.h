// The image packs from PNG sources and back: the library side of pack and unpack.
#pragma once

#include <string>
#include <vector>

namespace art {

// Builds data01.pak, data02.pak and data03.pak in `outDir` from `artDir`/manifest.txt and
// its PNGs. Nothing is written unless every image is right.
bool packArt(const std::string& artDir, const std::string& outDir, std::string& error);

// Turns data01.pak, data02.pak and data03.pak of `dataDir` into PNGs and a
// manifest in `outDir`. A short pack leaves its missing bytes zero (`notes`
// collects such remarks); a missing data03.pak unpacks as blank pictures.
bool unpackArt(const std::string& dataDir, const std::string& outDir, std::string& error,
               std::vector<std::string>* notes = nullptr);

}  // namespace art
