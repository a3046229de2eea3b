// The game's own sound effects, made by code: the sound table's recipes rendered to WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound_table.h"

namespace synth {

constexpr int SampleRate = 22050;

// The recipes are the sound table's (platform/sound_table.h).
using sound::Layer;
using sound::Recipe;
using sound::SoundRow;
using sound::Wave;

// The row's recipe's samples at SampleRate; false with a message in `error`
// when the peak reaches 0.9 of full scale (the recipe is too loud).
bool render(const SoundRow& row, std::vector<std::int16_t>& samples, std::string& error);

// A mono 16-bit PCM WAV file's bytes.
std::string wavBytes(const std::vector<std::int16_t>& samples, int rate);

// Renders every recipe into `outDir`/NAME.wav and writes `outDir`/manifest.txt
// (one line a sound: name, file, seconds, description). The same program
// gives the same bytes. False with a message in `error`.
bool paintSounds(const std::string& outDir, std::string& error);

}  // namespace synth
