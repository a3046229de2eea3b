// The image packs loaded, and the sprite set built from them. What each
// pack holds is its table (assets/pack_table.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "assets/pack_table.h"
#include "render/canvas.h"

// Byte offset of a block within its pack; `block` may be the count (the end).
std::size_t packBlockOffset(int pack, int block);

// The loaded pictures: each block addressable by pack and block number
// (tools that walk every block) or by role (the game).
const std::uint8_t* packImage(int pack, int block);
std::uint8_t* packImageMutable(int pack, int block);
inline const std::uint8_t* packImage(Pack1Block block) { return packImage(1, static_cast<int>(block)); }
inline const std::uint8_t* packImage(Pack2Block block) { return packImage(2, static_cast<int>(block)); }
inline const std::uint8_t* packImage(Pack3Block block) { return packImage(3, static_cast<int>(block)); }
inline const std::uint8_t* packImage(PackRef ref) { return packImage(ref.pack, ref.block); }

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
