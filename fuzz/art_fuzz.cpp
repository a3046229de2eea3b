// Fuzz target: the art manifest and the PNG input of pack.
//
// Input: a mode byte. Even: the rest is the manifest of an art folder whose
// PNGs are all right; it is read, and packed when it names only files of
// that folder. Odd: the next byte picks a block, the rest is that block's
// PNG in an otherwise right art folder, which is packed; the right PNG is
// put back afterwards.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/packs.h"
#include "fuzz/fuzz_support.h"
#include "tools/art/manifest.h"
#include "tools/art/pack.h"
#include "tools/common/png_io.h"
#include "common/files.h"

namespace {

struct BlockRef {
    int pack, block;
};

const std::vector<BlockRef>& allBlocks() {
    static const std::vector<BlockRef> blocks = [] {
        std::vector<BlockRef> list;
        for (int pack = 1; pack <= 2; ++pack)
            for (int block = 0; block < packBlockCount(pack); ++block) list.push_back({pack, block});
        return list;
    }();
    return blocks;
}

// An art folder: the standard manifest and a right PNG for every block.
std::string makeArtFolder(const std::string& name) {
    const std::string dir = fuzz::scratchDir() + "/" + name;
    std::string error;
    if (!common::makeFolders(dir, error) || !art::writeStandardManifest(dir, error)) __builtin_trap();
    for (const BlockRef& b : allBlocks()) {
        const PackBlock& layout = packBlock(b.pack, b.block);
        if (!art::writeBgrPng(common::joinPath(dir, art::standardFileName(b.pack, b.block)), layout.width,
                              layout.height, layout.bytesPerPixel, packImage(b.pack, b.block), error))
            __builtin_trap();
    }
    return dir;
}

struct Folders {
    std::string manifestArt, pngArt, out;
};

const Folders& folders() {
    static const Folders f = [] {
        fuzz::fillSyntheticPacks();
        return Folders{makeArtFolder("manifest-art"), makeArtFolder("png-art"), fuzz::scratchDir() + "/out"};
    }();
    return f;
}

// Only names inside the art folder: no path, no hidden or special name.
bool plainNames(const std::vector<art::ManifestEntry>& entries) {
    for (const art::ManifestEntry& e : entries)
        if (e.file.empty() || e.file[0] == '.' || e.file.find('/') != std::string::npos) return false;
    return true;
}

void manifestCase(fuzz::Input& in) {
    const std::string manifest = common::joinPath(folders().manifestArt, art::ManifestName);
    if (!fuzz::writeBytes(manifest, in.rest())) __builtin_trap();
    std::vector<art::ManifestEntry> entries;
    std::string error;
    if (!art::readManifest(manifest, entries, error)) {
        if (error.empty()) __builtin_trap();
        return;
    }
    if (entries.size() != static_cast<std::size_t>(Pack1Blocks + Pack2Blocks)) __builtin_trap();
    if (plainNames(entries)) art::packArt(folders().manifestArt, folders().out, error);
}

void pngCase(fuzz::Input& in) {
    const BlockRef b = allBlocks()[in.byte() % allBlocks().size()];
    const std::string path = common::joinPath(folders().pngArt, art::standardFileName(b.pack, b.block));
    std::string right, error;
    if (!common::readFile(path, right, error) || !fuzz::writeBytes(path, in.rest())) __builtin_trap();
    art::RgbaImage image;
    if (art::readPng(path, image, error) &&
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        __builtin_trap();
    const bool packed = art::packArt(folders().pngArt, folders().out, error);
    if (!packed && error.empty()) __builtin_trap();
    if (!fuzz::writeBytes(path, right)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    if (in.byte() % 2 == 0)
        manifestCase(in);
    else
        pngCase(in);
    return 0;
}
