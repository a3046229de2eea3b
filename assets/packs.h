// The two image packs and the sprite set built from them.
//
// A pack is a headerless run of raw pixel blocks of fixed sizes; the program
// knows the order, size and format of every block. Images are named by pack
// and block number: pack 1 is data01.pak, pack 2 is data02.pak.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "render/canvas.h"

struct PackBlock {
    int width;
    int height;   // of the whole image: all frames stacked
    int frames;
    int bytesPerPixel;  // 3: blue, green, red; 4: blue, green, red, alpha
    std::size_t bytes() const { return static_cast<std::size_t>(width) * height * bytesPerPixel; }
    int frameHeight() const { return height / frames; }
};

constexpr int Pack1Blocks = 31;
constexpr int Pack2Blocks = 16;
constexpr int Pack3Blocks = 5;
constexpr std::size_t Pack1Bytes = 561600;
constexpr std::size_t Pack2Bytes = 607865;
constexpr std::size_t Pack3Bytes = 162752;
constexpr int PackCount = 3;

extern const PackBlock pack1Layout[Pack1Blocks];
extern const PackBlock pack2Layout[Pack2Blocks];
extern const PackBlock pack3Layout[Pack3Blocks];
extern const char* const pack1Roles[Pack1Blocks];
extern const char* const pack2Roles[Pack2Blocks];
extern const char* const pack3Roles[Pack3Blocks];

// The layout of pack 1, 2 or 3, its block count and total size.
const PackBlock* packLayout(int pack);
int packBlockCount(int pack);
std::size_t packBytes(int pack);
// Byte offset of a block within its pack; `block` may be the count (the end).
std::size_t packBlockOffset(int pack, int block);

// The blocks of data01.pak by role, in file order.
enum class Pack1Block : int {
    MovableBlock = 0,
    BrickStage0 = 1,  // stages 0..10 lie back to back
    Rubble = 12,
    Goal = 13,
    Ground = 14,
    BeamStraight = 15,
    BeamCorner = 16,
    BeamCrossing = 17,
    FixedMirror0 = 18,  // codes 6..9 lie back to back
    MovableMirror = 22,
    Tank = 23,
    SolidWall = 24,
    Water = 25,
    SunkBlock = 26,
    Title = 27,
    Explosion = 28,
    AntiTank = 29,
    Background = 30,
};

// The blocks of data02.pak by role, in file order.
enum class Pack2Block : int {
    LevelSelectBackground = 0,
    ShoreFirstHalf = 1,  // the two shore strips; the painter says which half takes which
    ShoreCorner = 2,
    ShoreSecondHalf = 3,
    LevelCell = 4,
    Digits = 5,
    ArrowFrame = 6,
    ArrowGlyph = 7,
    HorizontalSlot = 8,
    VerticalSlot = 9,
    Glass = 10,
    Scorch = 11,
    ResultOverlay = 12,
    ButtonLevels = 13,
    ButtonContinue = 14,
    ButtonRestart = 15,
};

// The blocks of data03.pak, the player set's pictures: text, marks, hints.
// The game reads it only when a convenience is on; without it they are blank.
enum class Pack3Block : int {
    Glyphs = 0,     // characters 32..126, one frame each, white: alpha is the glyph
    Banner = 1,     // the panel behind a message over the board
    WonMark = 2,    // a level won unaided, on its cell in the level list
    HelpedMark = 3, // a level won after a hint
    HintArrow = 4,  // on the tank's cell, pointing right (turned to the hinted way)
};
constexpr int GlyphWidth = 9;
constexpr int GlyphHeight = 16;
constexpr int GlyphFirst = 32;
constexpr int GlyphCount = 95;
constexpr int BannerWidth = 360;
constexpr int BannerHeight = 72;
constexpr int MarkSize = 16;

constexpr int BrickStages = 11;

// The loaded pictures: each block addressable by pack and block number
// (tools that walk every block) or by role (the game).
const std::uint8_t* packImage(int pack, int block);
std::uint8_t* packImageMutable(int pack, int block);
inline const std::uint8_t* packImage(Pack1Block block) { return packImage(1, static_cast<int>(block)); }
inline const std::uint8_t* packImage(Pack2Block block) { return packImage(2, static_cast<int>(block)); }
inline const std::uint8_t* packImage(Pack3Block block) { return packImage(3, static_cast<int>(block)); }
// Brick wall stage 0..10, or fixed mirror code 6..9, by offset from the first.
inline const std::uint8_t* packImage(Pack1Block first, int offset) {
    return packImage(1, static_cast<int>(first) + offset);
}

// Reads data01.pak, then data02.pak, from `dir` (empty: the working
// directory), every block with one read of its size into zeroed storage.
// False, with the reason in `error`, when a pack cannot be opened or is no
// regular file (a folder or a device is a missing pack).
bool loadImagePacks(const std::string& dir, std::string& error);

// Reads data03.pak from `dir` (empty: the working directory); false with
// the reason when it cannot be opened (its pictures then stay blank).
bool loadPlayerPack(const std::string& dir, std::string& error);

// The sprite set: four canvases and nineteen sprites over the loaded packs,
// built as one value. It exists from the start, over blank packs, so that the
// rules can be played before any start-up.
struct SpriteSet {
    SpriteSet();
    SpriteSet(const SpriteSet&) = delete;
    SpriteSet& operator=(const SpriteSet&) = delete;

    Canvas tankCanvas{24, 24};
    Canvas waterCanvas{24, 24};
    Canvas objectCanvas{24, 24};
    Canvas screenCanvas{384, 384};
    Sprite tankSprite{&tankCanvas, packImage(Pack1Block::Tank), 24, 24};
    Sprite beamStraightSprite{&objectCanvas, packImage(Pack1Block::BeamStraight), 24, 24};
    Sprite beamCornerSprite{&objectCanvas, packImage(Pack1Block::BeamCorner), 24, 24};
    Sprite beamCrossSprite{&objectCanvas, packImage(Pack1Block::BeamCrossing), 24, 24};
    Sprite mirrorSprite{&objectCanvas, packImage(Pack1Block::MovableMirror), 24, 24};
    Sprite blockSprite{&objectCanvas, packImage(Pack1Block::MovableBlock), 24, 24};
    Sprite antiTankSprite{&objectCanvas, packImage(Pack1Block::AntiTank), 24, 24};
    Sprite explosionSprite{&objectCanvas, packImage(Pack1Block::Explosion), 24, 24};
    Sprite screenTankSprite{&screenCanvas, packImage(Pack1Block::Tank), 24, 24};
    Sprite levelCellSprite{&screenCanvas, packImage(Pack2Block::LevelCell), 51, 50};
    Sprite digitSprite{&screenCanvas, packImage(Pack2Block::Digits), 14, 25};
    Sprite arrowFrameSprite{&screenCanvas, packImage(Pack2Block::ArrowFrame), 57, 57};
    Sprite arrowSprite{&screenCanvas, packImage(Pack2Block::ArrowGlyph), 25, 15};
    Sprite resultOverlaySprite{&screenCanvas, packImage(Pack2Block::ResultOverlay), 24, 24};
    Sprite glyphSprite{&screenCanvas, packImage(Pack3Block::Glyphs), GlyphWidth, GlyphHeight};
    Sprite bannerSprite{&screenCanvas, packImage(Pack3Block::Banner), BannerWidth, BannerHeight};
    Sprite wonMarkSprite{&screenCanvas, packImage(Pack3Block::WonMark), MarkSize, MarkSize};
    Sprite helpedMarkSprite{&screenCanvas, packImage(Pack3Block::HelpedMark), MarkSize, MarkSize};
    Sprite hintArrowSprite{&screenCanvas, packImage(Pack3Block::HintArrow), 24, 24};
};

// The window's sprite set.
SpriteSet& sprites();
// Builds the sprite set anew: blank canvases, sprites untinted.
void buildSpriteSet();
