// The two image packs: their block layout, loading, and the sprite set built on them.
#include "assets/packs.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/data_file.h"


const PackBlock pack1Layout[Pack1Blocks] = {
    {24, 24, 1, 4},                                    // 0 movable block
    {24, 24, 1, 3}, {24, 24, 1, 3}, {24, 24, 1, 3},    // 1..11 brick wall stages 0..10
    {24, 24, 1, 3}, {24, 24, 1, 3}, {24, 24, 1, 3},
    {24, 24, 1, 3}, {24, 24, 1, 3}, {24, 24, 1, 3},
    {24, 24, 1, 3}, {24, 24, 1, 3},
    {24, 24, 1, 3},                                    // 12 rubble
    {24, 24, 1, 3},                                    // 13 goal
    {24, 24, 1, 3},                                    // 14 ground
    {24, 24, 1, 4},                                    // 15 beam, straight
    {24, 24, 1, 4},                                    // 16 beam, corner
    {24, 24, 1, 4},                                    // 17 beam, crossing
    {24, 24, 1, 3}, {24, 24, 1, 3}, {24, 24, 1, 3}, {24, 24, 1, 3},  // 18..21 fixed mirrors
    {24, 96, 4, 4},                                    // 22 movable mirror, 4 frames
    {24, 24, 1, 4},                                    // 23 tank
    {24, 24, 1, 3},                                    // 24 solid wall
    {24, 24, 1, 3},                                    // 25 water
    {24, 24, 1, 3},                                    // 26 sunk block
    {384, 384, 1, 3},                                  // 27 title screen
    {24, 336, 14, 4},                                  // 28 explosion, 14 frames
    {24, 24, 1, 4},                                    // 29 anti-tank
    {96, 96, 1, 3},                                    // 30 background pattern
};

const PackBlock pack2Layout[Pack2Blocks] = {
    {384, 384, 1, 3},  // 0 level-select background
    {12, 1, 1, 3},     // 1 shore strip
    {12, 1, 1, 3},     // 2 shore strip, corner
    {12, 1, 1, 3},     // 3 shore strip
    {51, 50, 1, 4},    // 4 level cell
    {14, 250, 10, 4},  // 5 digits 0..9
    {57, 57, 1, 4},    // 6 page-arrow frame
    {25, 15, 1, 4},    // 7 page-arrow glyph
    {24, 24, 1, 3},    // 8 horizontal slot
    {24, 24, 1, 3},    // 9 vertical slot
    {24, 24, 1, 3},    // 10 glass block
    {24, 24, 1, 3},    // 11 scorch
    {24, 24, 1, 4},    // 12 result overlay
    {229, 57, 1, 3},   // 13 result button at y 318 ("Levels")
    {229, 57, 1, 3},   // 14 result button at y 192 ("Continue")
    {229, 57, 1, 3},   // 15 result button at y 255 ("Restart")
};

const PackBlock pack3Layout[Pack3Blocks] = {
    {GlyphWidth, GlyphHeight * GlyphCount, GlyphCount, 4},  // 0 text glyphs
    {BannerWidth, BannerHeight, 1, 4},                        // 1 message banner
    {MarkSize, MarkSize, 1, 4},                               // 2 won mark
    {MarkSize, MarkSize, 1, 4},                               // 3 helped mark
    {24, 24, 1, 4},                                           // 4 hint arrow
};

const char* const pack1Roles[Pack1Blocks] = {
    "movable block", "brick wall stage 0", "brick wall stage 1", "brick wall stage 2",
    "brick wall stage 3", "brick wall stage 4", "brick wall stage 5", "brick wall stage 6",
    "brick wall stage 7", "brick wall stage 8", "brick wall stage 9", "brick wall stage 10",
    "rubble", "goal", "ground", "beam straight", "beam corner", "beam crossing",
    "fixed mirror 6", "fixed mirror 7", "fixed mirror 8", "fixed mirror 9", "movable mirror",
    "tank", "solid wall", "water", "sunk block", "title screen", "explosion", "anti-tank",
    "background pattern",
};

const char* const pack2Roles[Pack2Blocks] = {
    "level-select background", "shore strip", "shore strip corner", "shore strip",
    "level cell", "digits", "page-arrow frame", "page-arrow glyph", "horizontal slot",
    "vertical slot", "glass block", "scorch", "result overlay", "result button levels",
    "result button continue", "result button restart",
};

const char* const pack3Roles[Pack3Blocks] = {
    "text glyphs", "message banner", "won mark", "helped mark", "hint arrow",
};

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

bool readPack(const std::string& dir, const char* name, int pack, std::string& error) {
    const std::string path = dir.empty() ? std::string(name) : dir + "/" + name;
    std::size_t size = 0;
    std::string reason;
    std::FILE* file = openDataFile(path, size, reason);
    if (!file) {
        error = "cannot open image pack " + path + " (" + reason + ")";
        return false;
    }
    const PackBlock* layout = packLayout(pack);
    std::uint8_t* data = packData(pack);
    std::size_t offset = 0;
    for (int block = 0; block < packBlockCount(pack); ++block) {
        // A short file leaves the rest of this block and all later ones zero.
        (void)std::fread(data + offset, 1, layout[block].bytes(), file);
        offset += layout[block].bytes();
    }
    std::fclose(file);
    return true;
}

}  // namespace

const PackBlock* packLayout(int pack) { return pack == 1 ? pack1Layout : pack == 2 ? pack2Layout : pack3Layout; }
int packBlockCount(int pack) { return pack == 1 ? Pack1Blocks : pack == 2 ? Pack2Blocks : Pack3Blocks; }
std::size_t packBytes(int pack) { return pack == 1 ? Pack1Bytes : pack == 2 ? Pack2Bytes : Pack3Bytes; }

namespace {
struct OffsetTable {
    std::size_t offsets[PackCount][Pack1Blocks + 1];
    OffsetTable() {
        for (int pack = 1; pack <= PackCount; ++pack) {
            std::size_t offset = 0;
            for (int b = 0; b < packBlockCount(pack); ++b) {
                offsets[pack - 1][b] = offset;
                offset += packLayout(pack)[b].bytes();
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
    return readPack(dir, "data01.pak", 1, error) && readPack(dir, "data02.pak", 2, error);
}

bool loadPlayerPack(const std::string& dir, std::string& error) {
    std::memset(art.pack3, 0, sizeof art.pack3);
    return readPack(dir, "data03.pak", 3, error);
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
