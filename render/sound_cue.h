// The one way the rules and the screens sound an effect: as its animation starts.
#pragma once

#include "platform/sound.h"
#include "render/screen.h"

// Plays `effect` unless drawing is off: an animation that is not shown (the
// solver's play) makes no sound either. Sound off or muted, nothing plays.
inline void cueSound(sound::Effect effect) {
    if (display().drawing) sound::play(effect);
}
