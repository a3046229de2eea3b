// What a key press did, in the player's terms: the mechanics it used.
// The game's rules make the move; this only reads the boards before and
// after it (and, for a shot, walks the beam over the board before it, as the
// rules walk it) to name what happened. The solver uses it to forbid a
// mechanic, the level figures to list what a solution uses.
#pragma once

#include <cstdint>
#include <string>

#include "game/play_state.h"

namespace mechanics {

enum Mechanic : std::uint16_t {
    Push = 1 << 0,           // the tank pushed an object a cell on
    IntoWater = 1 << 1,      // an object went into the water
    Shove = 1 << 2,          // the beam shoved an object a cell on
    Brick = 1 << 3,          // a brick wall fell to rubble
    FixedMirror = 1 << 4,    // the beam turned on a fixed mirror
    MovableMirror = 1 << 5,  // the beam turned on a movable mirror
    Glass = 1 << 6,          // the beam crossed a glass block
    Slot = 1 << 7,           // the beam crossed a slot
    AntiTank = 1 << 8,       // an anti-tank was shot through its front
    Shield = 1 << 9,         // the tank stood in a gun's line behind an object moved there
};
constexpr int Count = 10;

// The word of mechanic k (0 .. Count - 1) in a level's 'needs' line:
// push water shove brick fixed-mirror movable-mirror glass slot anti-tank shield.
const char* word(int k);
// The mechanic a word names; 0 for none.
std::uint16_t fromWord(const std::string& word);
// "push water ..." for a set of mechanics.
std::string words(std::uint16_t set);

// The cells a shot from `tank` crosses or stops on, over `board`, as the
// rules walk the beam (bit y * 16 + x of `cells`); returns the mechanics the
// walk itself uses (mirrors, glass, slots, an anti-tank's front).
struct Walk {
    std::uint16_t used = 0;
    bool cells[256] = {};
    int endX = -1, endY = -1;  // the cell where it stopped (-1: off the board)
};
Walk walkBeam(const Board& board, const Tank& tank);

// The mechanics of one press from `before` (board and tank) to `after`,
// which the rules left in game().play. `start` is the level's board at its start
// (a shield counts only an object that has moved since).
std::uint16_t classify(const Board& start, const Board& before, const Tank& tankBefore, int press,
                       const Board& after, const Tank& tankAfter);

}  // namespace mechanics
