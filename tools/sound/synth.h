// The game's own sound effects, made by code: the recipe table and its rendering to WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int SampleRate = 22050;

enum class Wave { Sine, Triangle, Soft, Noise };  // Soft: a rounded square

// One voice of a sound: a tone (or noise) with its pitch glide, envelope
// and filters.
struct Layer {
    Wave wave;
    double startHz, endHz;  // pitch glides exponentially from start to end over the layer (noise: unused)
    double delay;           // seconds from the sound's start
    double length;          // seconds
    double attack;          // linear rise, seconds
    double decay;           // exponential fall's time constant, seconds (0: held)
    double gain;            // share of full scale
    double lowpassHz;       // two-pole low-pass cutoff (0: none)
    double highpassHz;      // one-pole high-pass cutoff (0: none)
};

struct Recipe {
    const char* name;  // the effect's name (platform/sound.h), the file is NAME.wav
    double seconds;    // whole length
    const char* description;
    std::vector<Layer> layers;
};

// Every effect's recipe, in the order of sound::Effect.
const std::vector<Recipe>& soundSet();

// The recipe's samples at SampleRate; false with a message in `error` when
// the peak reaches 0.9 of full scale (the recipe is too loud).
bool render(const Recipe& recipe, std::vector<std::int16_t>& samples, std::string& error);

// A mono 16-bit PCM WAV file's bytes.
std::string wavBytes(const std::vector<std::int16_t>& samples, int rate);

// Renders every recipe into `outDir`/NAME.wav and writes `outDir`/manifest.txt
// (one line a sound: name, file, seconds, description). The same program
// gives the same bytes. False with a message in `error`.
bool paintSounds(const std::string& outDir, std::string& error);

}  // namespace synth
