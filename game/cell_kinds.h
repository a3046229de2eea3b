// The kinds of cell, one row per cell code: everything the rules, the
// painter, the level text and the tools know of each.
//
// A new kind is a new code and a new row (in code order); the rule files
// need code only for behaviour no row can yet say. Every field of a row is a
// constructor argument, so a row missing one does not compile.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/pack_table.h"

enum CellCode : std::uint8_t {
    Empty,
    Water,
    Ground,
    BrickWall,
    SolidWall,
    MovableBlock,
    FixedMirrorRightBottom,  // reflects between right and bottom
    FixedMirrorLeftBottom,
    FixedMirrorLeftTop,
    FixedMirrorRightTop,
    TankStart,
    Goal,
    AntiTankRight,
    AntiTankDown,
    AntiTankLeft,
    AntiTankUp,
    MovableMirrorRightBottom,
    MovableMirrorLeftBottom,
    MovableMirrorLeftTop,
    MovableMirrorRightTop,
    ClearBlock,
    HorizontalSlot,
    VerticalSlot,
    SunkBlock,
    Rubble,
    Scorch,
    CellCodeCount  // not a code: the number of them
};

// What the tank does driving at the cell.
enum class TankMeets : std::uint8_t {
    Stops,       // it stays where it is
    Enters,      // it drives onto the cell
    Pushes,      // an object: it moves a cell on ahead of the tank, if that cell takes it
    PushesBack,  // the same, only when pushed against its back (the sides its mirror does not face)
    Wins,        // the level is won; the tank never enters it
};

// What the laser beam does on meeting the cell.
enum class BeamMeets : std::uint8_t {
    Stops,         // it lingers in front of the cell
    Crosses,       // drawn across the cell; a tank standing there is destroyed
    PassesUnseen,  // goes through every way, not drawn
    PassesAcross,  // goes through left and right only, not drawn
    PassesAlong,   // goes through up and down only, not drawn
    Reflects,      // a mirror facing `turn` turns it; its back stops it
    ReflectsOrShoves,  // the same, but its back is shoved a cell on
    Shoves,        // shoved a cell on, if that cell takes it
    ShovesOrDies,  // an anti-tank facing `turn`: its face is destroyed, its sides and back shoved
    Breaks,        // damaged in steps until it becomes `becomes`; the beam stops
};

// What the cell shows an anti-tank looking along a line.
enum class Sight : std::uint8_t {
    Blocks,   // it hides what lies beyond
    Clear,    // it sees through
    Watches,  // an anti-tank, facing `turn`: it fires when the tank is in its line
};

// Whether a pushed or shoved object may land on the cell.
enum class Takes : std::uint8_t {
    Nothing,
    Holds,     // the object stands on it
    Swallows,  // the object is gone; a block sinking makes the cell `becomes`
};

// How the painter draws the cell from its picture.
enum class Look : std::uint8_t {
    Tile,     // the stored block as it is
    Stages,   // the stored block plus the cell's damage stage
    Wet,      // the stored block with shores along its dry sides
    Turned,   // an object's sprite over the ground, turned a quarter `turn` times
    Framed,   // an object's sprite over the ground, frame `turn`
};

struct CellKind {
    std::uint8_t code;
    const char* name;     // in messages and tools
    char glyph;           // in the level text
    const char* palette;  // its button in the level editor
    TankMeets tank;
    BeamMeets beam;
    Sight sight;
    Takes takes;
    std::uint8_t becomes;  // what Breaks or Swallows turns it into; else its own code
    int turn;              // a mirror's or an anti-tank's facing, 0..3: right, down, left, up first
    Look look;
    PackRef picture;

    constexpr CellKind(std::uint8_t code, const char* name, char glyph, const char* palette, TankMeets tank,
                       BeamMeets beam, Sight sight, Takes takes, std::uint8_t becomes, int turn, Look look,
                       PackRef picture)
        : code(code), name(name), glyph(glyph), palette(palette), tank(tank), beam(beam), sight(sight),
          takes(takes), becomes(becomes), turn(turn), look(look), picture(picture) {}

    // Stands over the terrain and moves (the level's object layer).
    constexpr bool isObject() const { return tank == TankMeets::Pushes || tank == TankMeets::PushesBack; }
    // Drawn as water, with shores.
    constexpr bool isWet() const { return look == Look::Wet; }
};

// The short names the rows use.
namespace cellrow {
constexpr TankMeets TStop = TankMeets::Stops, TEnter = TankMeets::Enters, TPush = TankMeets::Pushes,
                    TPushBack = TankMeets::PushesBack, TWin = TankMeets::Wins;
constexpr BeamMeets BStop = BeamMeets::Stops, BCross = BeamMeets::Crosses, BUnseen = BeamMeets::PassesUnseen,
                    BAcross = BeamMeets::PassesAcross, BAlong = BeamMeets::PassesAlong,
                    BReflect = BeamMeets::Reflects, BReflectShove = BeamMeets::ReflectsOrShoves,
                    BShove = BeamMeets::Shoves, BShoveDie = BeamMeets::ShovesOrDies, BBreak = BeamMeets::Breaks;
constexpr Sight SBlock = Sight::Blocks, SClear = Sight::Clear, SWatch = Sight::Watches;
constexpr Takes KNo = Takes::Nothing, KHold = Takes::Holds, KSwallow = Takes::Swallows;
constexpr Look LTile = Look::Tile, LStages = Look::Stages, LWet = Look::Wet, LTurned = Look::Turned,
               LFramed = Look::Framed;
constexpr PackRef P(Pack1Block b) { return packRef(b); }
constexpr PackRef P(Pack2Block b) { return packRef(b); }
using B1 = Pack1Block;
using B2 = Pack2Block;

// Columns: code, name, glyph, palette; tank, beam, sight, takes, becomes,
// turn, look, picture. Mirrors' glyphs: the open inside of r 7 J L (shaped
// like the four box corners) and the bowl of b d q p face the mirror's two
// reflecting sides.
inline constexpr CellKind table[] = {
    {Empty, "empty", '_', "empty",
     TStop, BStop, SClear, KNo, Empty, 0, LTile, P(B1::Ground)},
    {Water, "water", '~', "water",
     TStop, BCross, SClear, KSwallow, SunkBlock, 0, LWet, P(B1::Water)},
    {Ground, "ground", '.', "ground",
     TEnter, BCross, SClear, KHold, Ground, 0, LTile, P(B1::Ground)},
    {BrickWall, "brick wall", '%', "brick wall",
     TStop, BBreak, SBlock, KNo, Rubble, 0, LStages, P(B1::BrickStage0)},
    {SolidWall, "solid wall", '#', "solid wall",
     TStop, BStop, SBlock, KNo, SolidWall, 0, LTile, P(B1::SolidWall)},
    {MovableBlock, "movable block", 'O', "movable block",
     TPush, BShove, SBlock, KNo, MovableBlock, 0, LTurned, P(B1::MovableBlock)},
    {FixedMirrorRightBottom, "fixed mirror right-bottom", 'r', "fixed mirror r-b",
     TStop, BReflect, SBlock, KNo, FixedMirrorRightBottom, 0, LTile, P(B1::FixedMirrorRightBottom)},
    {FixedMirrorLeftBottom, "fixed mirror left-bottom", '7', "fixed mirror l-b",
     TStop, BReflect, SBlock, KNo, FixedMirrorLeftBottom, 1, LTile, P(B1::FixedMirrorLeftBottom)},
    {FixedMirrorLeftTop, "fixed mirror left-top", 'J', "fixed mirror l-t",
     TStop, BReflect, SBlock, KNo, FixedMirrorLeftTop, 2, LTile, P(B1::FixedMirrorLeftTop)},
    {FixedMirrorRightTop, "fixed mirror right-top", 'L', "fixed mirror r-t",
     TStop, BReflect, SBlock, KNo, FixedMirrorRightTop, 3, LTile, P(B1::FixedMirrorRightTop)},
    {TankStart, "tank start", 'T', "tank start",
     TEnter, BStop, SBlock, KNo, TankStart, 0, LTile, P(B1::Ground)},
    {Goal, "goal", 'G', "goal",
     TWin, BCross, SClear, KNo, Goal, 0, LTile, P(B1::Goal)},
    {AntiTankRight, "anti-tank right", '>', "anti-tank right",
     TPush, BShoveDie, SWatch, KNo, AntiTankRight, 0, LTurned, P(B1::AntiTank)},
    {AntiTankDown, "anti-tank down", 'v', "anti-tank down",
     TPush, BShoveDie, SWatch, KNo, AntiTankDown, 1, LTurned, P(B1::AntiTank)},
    {AntiTankLeft, "anti-tank left", '<', "anti-tank left",
     TPush, BShoveDie, SWatch, KNo, AntiTankLeft, 2, LTurned, P(B1::AntiTank)},
    {AntiTankUp, "anti-tank up", '^', "anti-tank up",
     TPush, BShoveDie, SWatch, KNo, AntiTankUp, 3, LTurned, P(B1::AntiTank)},
    {MovableMirrorRightBottom, "movable mirror right-bottom", 'b', "mov. mirror r-b",
     TPushBack, BReflectShove, SBlock, KNo, MovableMirrorRightBottom, 0, LFramed, P(B1::MovableMirror)},
    {MovableMirrorLeftBottom, "movable mirror left-bottom", 'd', "mov. mirror l-b",
     TPushBack, BReflectShove, SBlock, KNo, MovableMirrorLeftBottom, 1, LFramed, P(B1::MovableMirror)},
    {MovableMirrorLeftTop, "movable mirror left-top", 'q', "mov. mirror l-t",
     TPushBack, BReflectShove, SBlock, KNo, MovableMirrorLeftTop, 2, LFramed, P(B1::MovableMirror)},
    {MovableMirrorRightTop, "movable mirror right-top", 'p', "mov. mirror r-t",
     TPushBack, BReflectShove, SBlock, KNo, MovableMirrorRightTop, 3, LFramed, P(B1::MovableMirror)},
    {ClearBlock, "glass block", '+', "glass block",
     TStop, BUnseen, SBlock, KNo, ClearBlock, 0, LTile, P(B2::Glass)},
    {HorizontalSlot, "horizontal slot", '-', "slot, across",
     TStop, BAcross, SBlock, KNo, HorizontalSlot, 0, LTile, P(B2::HorizontalSlot)},
    {VerticalSlot, "vertical slot", '|', "slot, up-down",
     TStop, BAlong, SBlock, KNo, VerticalSlot, 0, LTile, P(B2::VerticalSlot)},
    {SunkBlock, "sunk block", 's', "sunk block",
     TEnter, BCross, SClear, KHold, SunkBlock, 0, LWet, P(B1::SunkBlock)},
    {Rubble, "rubble", ':', "rubble",
     TEnter, BCross, SClear, KHold, Rubble, 0, LTile, P(B1::Rubble)},
    {Scorch, "scorch", 'x', "scorch",
     TEnter, BCross, SClear, KHold, Scorch, 0, LTile, P(B2::Scorch)},
};
}  // namespace cellrow

inline constexpr const auto& cellKinds = cellrow::table;
constexpr int CellKindCount = static_cast<int>(sizeof cellrow::table / sizeof cellrow::table[0]);

// Every code has its row, in code order, with a name, a glyph of its own and
// a picture; the codes the rows point at exist.
constexpr bool cellKindsWellFormed() {
    for (int i = 0; i < CellKindCount; ++i) {
        const CellKind& k = cellKinds[i];
        if (k.code != i || !k.name || !k.palette || k.glyph <= ' ' || k.becomes >= CellKindCount || k.turn < 0 ||
            k.turn > 3 || k.picture.pack < 1 || k.picture.pack > PackCount || k.picture.block < 0 ||
            k.picture.block >= packBlockCount(k.picture.pack))
            return false;
        for (int j = 0; j < i; ++j)
            if (cellKinds[j].glyph == k.glyph) return false;
    }
    return true;
}
static_assert(cellKindsWellFormed(), "one row per cell code, in code order, every field given");
static_assert(CellKindCount == CellCodeCount, "a row for every code, the last included");

// A code no row describes (a damaged level may hold one): open ground to
// the tank, a wall to the beam and the anti-tanks, drawn as ground.
inline constexpr CellKind unknownCellKind{0xFF, "unknown", 0, "", TankMeets::Enters, BeamMeets::Stops, Sight::Blocks,
                                   Takes::Nothing, 0, 0, Look::Tile, packRef(Pack1Block::Ground)};

constexpr const CellKind& cellKind(int code) {
    return code >= 0 && code < CellKindCount ? cellKinds[code] : unknownCellKind;
}

// The way a turn faces, as a step: right, down, left, up.
constexpr int turnDx(int turn) { return turn == 0 ? 1 : turn == 2 ? -1 : 0; }
constexpr int turnDy(int turn) { return turn == 1 ? 1 : turn == 3 ? -1 : 0; }

// A mirror facing `turn` (open right-bottom, left-bottom, left-top,
// right-top) turns a beam travelling (dx, dy) that enters through one of its
// open sides; false when it meets the closed side.
bool reflect(int turn, int& dx, int& dy);
