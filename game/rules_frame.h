// Small pieces shared by the rules' animations.
#pragma once

#include "game/game.h"
#include "render/screen.h"

namespace rules {

// Shows the screen buffer as one animation frame, with no pause.
inline void showFrame() {
    beginFrame();
    presentFrame();
    swapFrame();
}

// The beam lingers where it stopped: 21 pauses of 10 microseconds.
inline void lingerBeam(const Game& g) {
    for (int i = 0; i < framesToShow(g, 21); ++i) pauseMicros(10);
}

}  // namespace rules
