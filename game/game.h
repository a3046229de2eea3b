// One game: everything the rules read and change, in one value. The rules
// and the board queries take the game they work on, so that several games
// (the window's, a solver's on another thread) can play side by side; a
// reset is an assignment.
#pragma once

#include <cstdint>
#include <vector>

#include "game/play_state.h"
#include "platform/sound.h"
#include "render/screen.h"

// The levels of the level file: 256-byte records of cell codes.
struct Levels {
    std::vector<std::uint8_t> data;
    std::int32_t count = 0;
    // How many times startLevel has run: the conveniences tell a level start
    // (or a restart) by it.
    long starts = 0;
};

struct Game;
// The whole-screen redraw a rule asks for in the middle of a move: a win, a
// loss, a destroyed anti-tank, a level start. The screens provide it, so the
// rules never reach up into them; a game without one (a solver's) skips it.
using ScreenRedraw = void (*)(Game&);

struct Game {
    PlayState play;
    Levels levels;
    // Where the game draws: the window's display, or none (a game that is
    // never shown, such as a solver's). Only the window's game draws: the
    // sprite set is the window's.
    Display* display = nullptr;
    ScreenRedraw redraw = nullptr;

    bool drawing() const { return display != nullptr && display->drawing; }
};

namespace rules {

// Redraws the whole screen (which also polls input); nothing without a redraw.
inline void redrawScreen(Game& g) {
    if (g.redraw) g.redraw(g);
}

}  // namespace rules

// The frames an animation of `frames` frames shows: none while the game does
// not draw.
inline int framesToShow(const Game& g, int frames) { return g.drawing() ? frames : 0; }

// Plays `effect` as its animation starts, unless the game does not draw: an
// animation that is not shown (the solver's play) makes no sound either.
inline void cueSound(const Game& g, sound::Effect effect) {
    if (g.drawing()) sound::play(effect);
}
