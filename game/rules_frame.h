// Small pieces shared by the rules' animations.
#pragma once

#include "platform/platform.h"
#include "render/screen.h"

namespace rules {

// Shows the screen buffer as one animation frame, with no pause.
inline void showFrame() {
    if (!drawingEnabled) return;
    beginFrame();
    presentFrame();
    platform::swapBuffers();
}

// The beam lingers where it stopped: 21 pauses of 10 microseconds.
inline void lingerBeam() {
    if (!drawingEnabled) return;
    for (int i = 0; i < 21; ++i) pauseMicros(10);
}

}  // namespace rules
