// The image packs, one row per block: its role, the PNG it is drawn from and
// its layout. A pack is a headerless run of raw pixel blocks in row order;
// pack 1 is data01.pak, pack 2 data02.pak, pack 3 (the player set's) data03.pak.
//
// A new picture is a new enumerator and a new row at the same place; the
// checks below refuse a row out of order or with a field left out.
#pragma once

#include <cstddef>

struct PackBlock {
    int width;
    int height;   // of the whole image: all frames stacked
    int frames;
    int bytesPerPixel;  // 3: blue, green, red; 4: blue, green, red, alpha
    constexpr std::size_t bytes() const { return static_cast<std::size_t>(width) * height * bytesPerPixel; }
    constexpr int frameHeight() const { return height / frames; }
};

// The blocks of data01.pak by role, in file order.
enum class Pack1Block : int {
    MovableBlock,
    BrickStage0, BrickStage1, BrickStage2, BrickStage3, BrickStage4, BrickStage5,
    BrickStage6, BrickStage7, BrickStage8, BrickStage9, BrickStage10,
    Rubble,
    Goal,
    Ground,
    BeamStraight,
    BeamCorner,
    BeamCrossing,
    FixedMirrorRightBottom, FixedMirrorLeftBottom, FixedMirrorLeftTop, FixedMirrorRightTop,
    MovableMirror,  // four frames, one per facing
    Tank,
    SolidWall,
    Water,
    SunkBlock,
    Title,
    Explosion,
    AntiTank,
    Background,
};

// The blocks of data02.pak by role, in file order.
enum class Pack2Block : int {
    LevelSelectBackground,
    ShoreFirstHalf,  // the two shore strips; the painter says which half takes which
    ShoreCorner,
    ShoreSecondHalf,
    LevelCell,
    Digits,
    ArrowFrame,
    ArrowGlyph,
    HorizontalSlot,
    VerticalSlot,
    Glass,
    Scorch,
    ResultOverlay,
    ButtonLevels,
    ButtonContinue,
    ButtonRestart,
};

// The blocks of data03.pak, the player set's pictures: text, marks, hints.
// The game reads it only when a convenience is on; without it they are blank.
enum class Pack3Block : int {
    Glyphs,      // characters 32..126, one frame each, white: alpha is the glyph
    Banner,      // the panel behind a message over the board
    WonMark,     // a level won unaided, on its cell in the level list
    HelpedMark,  // a level won after a hint
    HintArrow,   // on the tank's cell, pointing right (turned to the hinted way)
};

constexpr int GlyphWidth = 9;
constexpr int GlyphHeight = 16;
constexpr int GlyphFirst = 32;
constexpr int GlyphCount = 95;
constexpr int BannerWidth = 360;
constexpr int BannerHeight = 72;
constexpr int MarkSize = 16;

template <class Role>
struct PackRow {
    Role role;
    const char* name;  // as the art manifest and messages say it
    const char* file;  // its PNG in the art folder
    PackBlock layout;
};

constexpr PackBlock Rgb24{24, 24, 1, 3}, Rgba24{24, 24, 1, 4};

inline constexpr PackRow<Pack1Block> pack1Table[] = {
    {Pack1Block::MovableBlock, "movable block", "movable_block.png", Rgba24},
    {Pack1Block::BrickStage0, "brick wall stage 0", "brick_00.png", Rgb24},
    {Pack1Block::BrickStage1, "brick wall stage 1", "brick_01.png", Rgb24},
    {Pack1Block::BrickStage2, "brick wall stage 2", "brick_02.png", Rgb24},
    {Pack1Block::BrickStage3, "brick wall stage 3", "brick_03.png", Rgb24},
    {Pack1Block::BrickStage4, "brick wall stage 4", "brick_04.png", Rgb24},
    {Pack1Block::BrickStage5, "brick wall stage 5", "brick_05.png", Rgb24},
    {Pack1Block::BrickStage6, "brick wall stage 6", "brick_06.png", Rgb24},
    {Pack1Block::BrickStage7, "brick wall stage 7", "brick_07.png", Rgb24},
    {Pack1Block::BrickStage8, "brick wall stage 8", "brick_08.png", Rgb24},
    {Pack1Block::BrickStage9, "brick wall stage 9", "brick_09.png", Rgb24},
    {Pack1Block::BrickStage10, "brick wall stage 10", "brick_10.png", Rgb24},
    {Pack1Block::Rubble, "rubble", "rubble.png", Rgb24},
    {Pack1Block::Goal, "goal", "goal.png", Rgb24},
    {Pack1Block::Ground, "ground", "ground.png", Rgb24},
    {Pack1Block::BeamStraight, "beam straight", "beam_straight.png", Rgba24},
    {Pack1Block::BeamCorner, "beam corner", "beam_corner.png", Rgba24},
    {Pack1Block::BeamCrossing, "beam crossing", "beam_cross.png", Rgba24},
    {Pack1Block::FixedMirrorRightBottom, "fixed mirror 6", "mirror_6.png", Rgb24},
    {Pack1Block::FixedMirrorLeftBottom, "fixed mirror 7", "mirror_7.png", Rgb24},
    {Pack1Block::FixedMirrorLeftTop, "fixed mirror 8", "mirror_8.png", Rgb24},
    {Pack1Block::FixedMirrorRightTop, "fixed mirror 9", "mirror_9.png", Rgb24},
    {Pack1Block::MovableMirror, "movable mirror", "movable_mirror.png", {24, 96, 4, 4}},
    {Pack1Block::Tank, "tank", "tank.png", Rgba24},
    {Pack1Block::SolidWall, "solid wall", "solid_wall.png", Rgb24},
    {Pack1Block::Water, "water", "water.png", Rgb24},
    {Pack1Block::SunkBlock, "sunk block", "sunk_block.png", Rgb24},
    {Pack1Block::Title, "title screen", "title.png", {384, 384, 1, 3}},
    {Pack1Block::Explosion, "explosion", "explosion.png", {24, 336, 14, 4}},
    {Pack1Block::AntiTank, "anti-tank", "anti_tank.png", Rgba24},
    {Pack1Block::Background, "background pattern", "background.png", {96, 96, 1, 3}},
};

inline constexpr PackRow<Pack2Block> pack2Table[] = {
    {Pack2Block::LevelSelectBackground, "level-select background", "level_select.png", {384, 384, 1, 3}},
    {Pack2Block::ShoreFirstHalf, "shore strip", "shore_a.png", {12, 1, 1, 3}},
    {Pack2Block::ShoreCorner, "shore strip corner", "shore_corner.png", {12, 1, 1, 3}},
    {Pack2Block::ShoreSecondHalf, "shore strip", "shore_b.png", {12, 1, 1, 3}},
    {Pack2Block::LevelCell, "level cell", "level_cell.png", {51, 50, 1, 4}},
    {Pack2Block::Digits, "digits", "digits.png", {14, 250, 10, 4}},
    {Pack2Block::ArrowFrame, "page-arrow frame", "arrow_frame.png", {57, 57, 1, 4}},
    {Pack2Block::ArrowGlyph, "page-arrow glyph", "arrow.png", {25, 15, 1, 4}},
    {Pack2Block::HorizontalSlot, "horizontal slot", "slot_horizontal.png", Rgb24},
    {Pack2Block::VerticalSlot, "vertical slot", "slot_vertical.png", Rgb24},
    {Pack2Block::Glass, "glass block", "glass_block.png", Rgb24},
    {Pack2Block::Scorch, "scorch", "scorch.png", Rgb24},
    {Pack2Block::ResultOverlay, "result overlay", "result_overlay.png", Rgba24},
    {Pack2Block::ButtonLevels, "result button levels", "button_levels.png", {229, 57, 1, 3}},     // at y 318
    {Pack2Block::ButtonContinue, "result button continue", "button_continue.png", {229, 57, 1, 3}}, // at y 192
    {Pack2Block::ButtonRestart, "result button restart", "button_restart.png", {229, 57, 1, 3}},   // at y 255
};

inline constexpr PackRow<Pack3Block> pack3Table[] = {
    {Pack3Block::Glyphs, "text glyphs", "player_glyphs.png", {GlyphWidth, GlyphHeight * GlyphCount, GlyphCount, 4}},
    {Pack3Block::Banner, "message banner", "player_banner.png", {BannerWidth, BannerHeight, 1, 4}},
    {Pack3Block::WonMark, "won mark", "player_won_mark.png", {MarkSize, MarkSize, 1, 4}},
    {Pack3Block::HelpedMark, "helped mark", "player_helped_mark.png", {MarkSize, MarkSize, 1, 4}},
    {Pack3Block::HintArrow, "hint arrow", "player_hint_arrow.png", Rgba24},
};

struct PackFile {
    const char* file;
    int blocks;
    std::size_t bytes;
};

template <class Role, std::size_t N>
constexpr PackFile packFile(const char* file, const PackRow<Role> (&rows)[N]) {
    std::size_t bytes = 0;
    for (const PackRow<Role>& row : rows) bytes += row.layout.bytes();
    return {file, static_cast<int>(N), bytes};
}

// Every row in role order, every field given and sound.
template <class Role, std::size_t N>
constexpr bool wellFormed(const PackRow<Role> (&rows)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        const PackRow<Role>& r = rows[i];
        const PackBlock& b = r.layout;
        if (static_cast<std::size_t>(r.role) != i || !r.name || !r.file || b.width <= 0 || b.height <= 0 ||
            b.frames <= 0 || b.height % b.frames != 0 || (b.bytesPerPixel != 3 && b.bytesPerPixel != 4))
            return false;
    }
    return true;
}
static_assert(wellFormed(pack1Table) && wellFormed(pack2Table) && wellFormed(pack3Table),
              "one row per block, in role order, every field given");

constexpr int PackCount = 3;
inline constexpr PackFile packFiles[PackCount] = {
    packFile("data01.pak", pack1Table),
    packFile("data02.pak", pack2Table),
    packFile("data03.pak", pack3Table),
};

constexpr int Pack1Blocks = packFiles[0].blocks;
constexpr int Pack2Blocks = packFiles[1].blocks;
constexpr int Pack3Blocks = packFiles[2].blocks;
constexpr std::size_t Pack1Bytes = packFiles[0].bytes;
constexpr std::size_t Pack2Bytes = packFiles[1].bytes;
constexpr std::size_t Pack3Bytes = packFiles[2].bytes;
constexpr int MostPackBlocks = Pack1Blocks > Pack2Blocks ? (Pack1Blocks > Pack3Blocks ? Pack1Blocks : Pack3Blocks)
                                                         : (Pack2Blocks > Pack3Blocks ? Pack2Blocks : Pack3Blocks);

constexpr int BrickStages = static_cast<int>(Pack1Block::BrickStage10) - static_cast<int>(Pack1Block::BrickStage0) + 1;

// Pack 1, 2 or 3: its file name, block count and total size.
constexpr const char* packFileName(int pack) { return packFiles[pack - 1].file; }
constexpr int packBlockCount(int pack) { return packFiles[pack - 1].blocks; }
constexpr std::size_t packBytes(int pack) { return packFiles[pack - 1].bytes; }

// A block of pack 1, 2 or 3 by number: its layout, role name and PNG file.
constexpr const PackBlock& packBlock(int pack, int block) {
    return pack == 1 ? pack1Table[block].layout : pack == 2 ? pack2Table[block].layout : pack3Table[block].layout;
}
constexpr const char* packBlockName(int pack, int block) {
    return pack == 1 ? pack1Table[block].name : pack == 2 ? pack2Table[block].name : pack3Table[block].name;
}
constexpr const char* packBlockFile(int pack, int block) {
    return pack == 1 ? pack1Table[block].file : pack == 2 ? pack2Table[block].file : pack3Table[block].file;
}

// A block by role, as a pack and block number (what a cell kind's picture names).
struct PackRef {
    int pack;
    int block;
};
constexpr PackRef packRef(Pack1Block b) { return {1, static_cast<int>(b)}; }
constexpr PackRef packRef(Pack2Block b) { return {2, static_cast<int>(b)}; }
constexpr PackRef packRef(Pack3Block b) { return {3, static_cast<int>(b)}; }
