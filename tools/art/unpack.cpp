// Two image packs back into one PNG per block and a manifest.
#include <filesystem>

#include "assets/packs.h"
#include "tools/art/manifest.h"
#include "tools/art/pack.h"
#include "tools/common/png_io.h"
#include "common/files.h"

namespace art {

bool unpackArt(const std::string& dataDir, const std::string& outDir, std::string& error,
               std::vector<std::string>* notes) {
    std::string packs[PackCount + 1];
    for (int pack = 1; pack <= PackCount; ++pack) {
        const std::string path = common::joinPath(dataDir, packFileName(pack));
        // The player set's pack is optional: a folder with the first two
        // alone unpacks, the guide's pictures blank.
        if (pack == 3 && !std::filesystem::exists(path)) {
            packs[pack].assign(packBytes(pack), '\0');
            continue;
        }
        if (!common::readFile(path, packs[pack], error)) return false;
        const std::size_t want = packBytes(pack);
        const std::size_t have = packs[pack].size();
        if (notes && have < want)
            notes->push_back(path + ": " + std::to_string(have) + " bytes, " + std::to_string(want - have) +
                             " short of " + std::to_string(want) + "; the missing bytes are taken as zero");
        if (notes && have > want)
            notes->push_back(path + ": " + std::to_string(have - want) + " bytes beyond the last block are ignored");
        packs[pack].resize(want, '\0');
    }
    if (!common::makeFolders(outDir, error)) return false;
    for (int pack = 1; pack <= PackCount; ++pack) {
        for (int block = 0; block < packBlockCount(pack); ++block) {
            const PackBlock& b = packBlock(pack, block);
            const auto* in = reinterpret_cast<const std::uint8_t*>(packs[pack].data()) + packBlockOffset(pack, block);
            const std::string path = common::joinPath(outDir, standardFileName(pack, block));
            if (!writeBgrPng(path, b.width, b.height, b.bytesPerPixel, in, error)) return false;
        }
    }
    return writeStandardManifest(outDir, error);
}

}  // namespace art
