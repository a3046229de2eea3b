// The image packs: their loading, and the sprite set built on them.
#include "assets/packs.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/data_file.h"


namespace {

// The loaded packs, one zeroed buffer each (blocks are views into it at
// their offsets), and the sprite set over them: the pictures of the game.
struct Art {
    std::uint8_t pack1[Pack1Bytes];
    std::uint8_t pack2[Pack2Bytes];
    std::uint8_t pack3[Pack3Bytes];
    std::unique_ptr<SpriteSet> sprites;
};
Art art;

std::uint8_t* packData(int pack) { return pack == 1 ? art.pack1 : pack == 2 ? art.pack2 : art.pack3; }

bool readPack(const std::string& dir, int pack, std::string& error) {
    const char* name = packFileName(pack);
    const std::string path = dir.empty() ? std::string(name) : dir + "/" + name;
    std::size_t size = 0;
    std::string reason;
    std::FILE* file = openDataFile(path, size, reason);
    if (!file) {
        error = "cannot open image pack " + path + " (" + reason + ")";
        return false;
    }
    std::uint8_t* data = packData(pack);
    std::size_t offset = 0;
    for (int block = 0; block < packBlockCount(pack); ++block) {
        // A short file leaves the rest of this block and all later ones zero.
        (void)std::fread(data + offset, 1, packBlock(pack, block).bytes(), file);
        offset += packBlock(pack, block).bytes();
    }
    std::fclose(file);
    return true;
}

}  // namespace

namespace {
struct OffsetTable {
    std::size_t offsets[PackCount][MostPackBlocks + 1];
    OffsetTable() {
        for (int pack = 1; pack <= PackCount; ++pack) {
            std::size_t offset = 0;
            for (int b = 0; b < packBlockCount(pack); ++b) {
                offsets[pack - 1][b] = offset;
                offset += packBlock(pack, b).bytes();
            }
            offsets[pack - 1][packBlockCount(pack)] = offset;
        }
    }
};
const OffsetTable offsetTable;
}  // namespace

std::size_t packBlockOffset(int pack, int block) {
    assert(pack >= 1 && pack <= PackCount && block >= 0 && block <= packBlockCount(pack));
    return offsetTable.offsets[pack - 1][block];
}

const std::uint8_t* packImage(int pack, int block) { return packData(pack) + packBlockOffset(pack, block); }
std::uint8_t* packImageMutable(int pack, int block) { return packData(pack) + packBlockOffset(pack, block); }

bool loadImagePacks(const std::string& dir, std::string& error) {
    std::memset(art.pack1, 0, sizeof art.pack1);
    std::memset(art.pack2, 0, sizeof art.pack2);
    return readPack(dir, 1, error) && readPack(dir, 2, error);
}

bool loadPlayerPack(const std::string& dir, std::string& error) {
    std::memset(art.pack3, 0, sizeof art.pack3);
    return readPack(dir, 3, error);
}

SpriteSet::SpriteSet() {
    mirrorSprite.setFrameSize(24, 24);
    explosionSprite.setFrameSize(24, 24);
    digitSprite.setFrameSize(14, 25);
    glyphSprite.setFrameSize(GlyphWidth, GlyphHeight);
}

SpriteSet& sprites() { return *art.sprites; }

void buildSpriteSet() { art.sprites = std::make_unique<SpriteSet>(); }

namespace {
// The sprite set exists from the start, over blank packs (the solver plays
// with drawing off and never loads packs).
const bool spriteSetAtStart = (buildSpriteSet(), true);
}  // namespace
