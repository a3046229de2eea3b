// The sound effects, one row per kind: the file it is played from and the
// recipe the sound tool makes that file by. A new effect is a new enumerator
// (platform/sound.h) and a new row at the same place.
#pragma once

#include "platform/sound.h"

namespace sound {

enum class Wave { Sine, Triangle, Soft, Noise };  // Soft: a rounded square

// One voice of a sound: a tone (or noise) with its pitch glide, envelope
// and filters.
struct Layer {
    Wave wave;
    double startHz, endHz;  // pitch glides exponentially from start to end over the layer (noise: unused)
    double delay;           // seconds from the sound's start
    double length;          // seconds (0: no layer)
    double attack;          // linear rise, seconds
    double decay;           // exponential fall's time constant, seconds (0: held)
    double gain;            // share of full scale
    double lowpassHz;       // two-pole low-pass cutoff (0: none)
    double highpassHz;      // one-pole high-pass cutoff (0: none)
};

constexpr int MaxLayers = 5;

struct Recipe {
    double seconds;  // whole length
    const char* description;
    Layer layers[MaxLayers];  // the first `layerCount()`; the rest left out
    constexpr int layerCount() const {
        int n = 0;
        while (n < MaxLayers && layers[n].length > 0) ++n;
        return n;
    }
};

struct SoundRow {
    Effect kind;
    const char* name;  // its file is NAME.wav, and reports list it by this name
    Recipe recipe;
};

namespace soundrow {
using W = Wave;

// Notes of the chimes, in Hz.
constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.50, A5 = 880.0, E6 = 1318.51;

// kind, name, {seconds, description, layers}; a layer: wave, start Hz, end
// Hz, delay, length, attack, decay, gain, low-pass, high-pass.
inline constexpr SoundRow table[] = {
    {Turn, "turn", {0.07, "a soft, quiet click of the turret motor",
     {{W::Sine, 700, 560, 0, 0.06, 0.003, 0.02, 0.16, 0, 0},
      {W::Noise, 0, 0, 0, 0.03, 0.002, 0.01, 0.10, 2500, 0}}}},
    {Move, "move", {0.17, "tracks rolling one cell: low filtered rumble",
     {{W::Noise, 0, 0, 0, 0.16, 0.01, 0.08, 0.9, 500, 0},
      {W::Sine, 95, 80, 0, 0.16, 0.01, 0.08, 0.25, 0, 0}}}},
    {Push, "push", {0.25, "a heavier grind: the tank shoves a load ahead",
     {{W::Noise, 0, 0, 0, 0.24, 0.015, 0.12, 0.8, 900, 150},
      {W::Triangle, 70, 60, 0, 0.24, 0.015, 0.15, 0.3, 0, 0}}}},
    {Shot, "shot", {0.21, "a bright laser zap sweeping down",
     {{W::Sine, 1700, 420, 0, 0.2, 0.003, 0.08, 0.35, 0, 0},
      {W::Sine, 3400, 840, 0, 0.2, 0.003, 0.05, 0.10, 0, 0}}}},
    {Mirror, "mirror", {0.19, "a glassy ping off the mirror",
     {{W::Sine, 2637, 2637, 0, 0.18, 0.002, 0.06, 0.25, 0, 0},
      {W::Sine, 3951, 3951, 0, 0.18, 0.002, 0.04, 0.10, 0, 0}}}},
    {BrickHit, "brick-hit", {0.13, "a dull knock on brick",
     {{W::Noise, 0, 0, 0, 0.12, 0.002, 0.03, 0.8, 1400, 100},
      {W::Sine, 190, 130, 0, 0.12, 0.002, 0.04, 0.3, 0, 0}}}},
    {BrickFall, "brick-fall", {0.40, "bricks crumbling to rubble: four falling knocks",
     {{W::Noise, 0, 0, 0.00, 0.15, 0.003, 0.04, 0.8, 2000, 200},
      {W::Noise, 0, 0, 0.06, 0.15, 0.003, 0.04, 0.7, 1700, 200},
      {W::Noise, 0, 0, 0.13, 0.15, 0.003, 0.04, 0.6, 1400, 200},
      {W::Noise, 0, 0, 0.20, 0.15, 0.003, 0.05, 0.5, 1100, 150},
      {W::Sine, 110, 70, 0, 0.35, 0.005, 0.12, 0.2, 0, 0}}}},
    {Shove, "shove", {0.30, "a soft whoosh as the beam slides an object on",
     {{W::Noise, 0, 0, 0, 0.28, 0.06, 0.12, 0.7, 1800, 400},
      {W::Sine, 420, 260, 0, 0.28, 0.04, 0.10, 0.12, 0, 0}}}},
    {Splash, "splash", {0.38, "a splash: bright noise and two rising bubbles",
     {{W::Noise, 0, 0, 0, 0.35, 0.004, 0.10, 0.7, 3500, 600},
      {W::Sine, 500, 1100, 0.06, 0.10, 0.005, 0.03, 0.15, 0, 0},
      {W::Sine, 700, 1500, 0.14, 0.08, 0.005, 0.03, 0.10, 0, 0}}}},
    {Sink, "sink", {0.42, "a deep gloop as a block settles into the water",
     {{W::Sine, 320, 90, 0, 0.40, 0.01, 0.15, 0.4, 0, 0},
      {W::Noise, 0, 0, 0, 0.30, 0.01, 0.10, 0.5, 600, 0}}}},
    {AntiTankFire, "antitank-fire", {0.26, "a lower, reedier zap from an anti-tank",
     {{W::Soft, 900, 220, 0, 0.25, 0.004, 0.10, 0.22, 0, 0},
      {W::Sine, 450, 110, 0, 0.25, 0.004, 0.12, 0.20, 0, 0}}}},
    {AntiTankDestroyed, "antitank-destroyed", {0.50, "a short boom",
     {{W::Noise, 0, 0, 0, 0.5, 0.004, 0.12, 0.75, 1200, 0},
      {W::Sine, 90, 40, 0, 0.5, 0.004, 0.15, 0.22, 0, 0}}}},
    {TankDestroyed, "tank-destroyed", {0.80, "a heavier boom and a falling, sorry tone",
     {{W::Noise, 0, 0, 0, 0.8, 0.005, 0.20, 0.85, 800, 0},
      {W::Sine, 70, 35, 0, 0.8, 0.005, 0.25, 0.22, 0, 0},
      {W::Triangle, 440, 110, 0.1, 0.6, 0.02, 0.25, 0.12, 0, 0}}}},
    {Win, "win", {0.75, "a rising four-note chime, C E G C",
     {{W::Sine, C5, C5, 0.00, 0.35, 0.005, 0.15, 0.2, 0, 0},
      {W::Sine, E5, E5, 0.09, 0.35, 0.005, 0.15, 0.2, 0, 0},
      {W::Sine, G5, G5, 0.18, 0.35, 0.005, 0.15, 0.2, 0, 0},
      {W::Sine, C6, C6, 0.27, 0.45, 0.005, 0.18, 0.2, 0, 0},
      {W::Sine, C5 / 2, C5 / 2, 0.27, 0.45, 0.01, 0.2, 0.12, 0, 0}}}},
    {MenuMove, "menu-move", {0.06, "a tiny tick",
     {{W::Sine, E6, E6, 0, 0.05, 0.002, 0.015, 0.18, 0, 0}}}},
    {MenuChoose, "menu-choose", {0.17, "a two-note confirm, A then E",
     {{W::Sine, A5, A5, 0, 0.08, 0.003, 0.04, 0.2, 0, 0},
      {W::Sine, E6, E6, 0.06, 0.10, 0.003, 0.05, 0.2, 0, 0}}}},
};
}  // namespace soundrow

inline constexpr const auto& soundTable = soundrow::table;

constexpr bool soundTableWellFormed() {
    int i = 0;
    for (const SoundRow& row : soundTable) {
        if (row.kind != i++ || !row.name || !row.recipe.description || row.recipe.seconds <= 0 ||
            row.recipe.layerCount() == 0)
            return false;
    }
    return i == EffectCount;
}
static_assert(soundTableWellFormed(), "one row per effect, in Effect order, every field given");

}  // namespace sound
