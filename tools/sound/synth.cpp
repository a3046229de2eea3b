// The sound recipes and their rendering: oscillators, seeded noise, envelopes, two-pole low-pass and one-pole high-pass filters.
#include "tools/sound/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/files.h"

namespace synth {

namespace {

using W = Wave;

// Notes of the chimes, in Hz.
constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.50, A5 = 880.0, E6 = 1318.51;

// wave, start Hz, end Hz, delay, length, attack, decay, gain, low-pass, high-pass
const std::vector<Recipe> recipes = {
    {"turn", 0.07, "a soft, quiet click of the turret motor",
     {{W::Sine, 700, 560, 0, 0.06, 0.003, 0.02, 0.16, 0, 0},
      {W::Noise, 0, 0, 0, 0.03, 0.002, 0.01, 0.10, 2500, 0}}},
    {"move", 0.17, "tracks rolling one cell: low filtered rumble",
     {{W::Noise, 0, 0, 0, 0.16, 0.01, 0.08, 0.9, 500, 0},
      {W::Sine, 95, 80, 0, 0.16, 0.01, 0.08, 0.25, 0, 0}}},
    {"push", 0.25, "a heavier grind: the tank shoves a load ahead",
     {{W::Noise, 0, 0, 0, 0.24, 0.015, 0.12, 0.8, 900, 150},
      {W::Triangle, 70, 60, 0, 0.24, 0.015, 0.15, 0.3, 0, 0}}},
    {"shot", 0.21, "a bright laser zap sweeping down",
     {{W::Sine, 1700, 420, 0, 0.2, 0.003, 0.08, 0.35, 0, 0},
      {W::Sine, 3400, 840, 0, 0.2, 0.003, 0.05, 0.10, 0, 0}}},
    {"mirror", 0.19, "a glassy ping off the mirror",
     {{W::Sine, 2637, 2637, 0, 0.18, 0.002, 0.06, 0.25, 0, 0},
      {W::Sine, 3951, 3951, 0, 0.18, 0.002, 0.04, 0.10, 0, 0}}},
    {"brick-hit", 0.13, "a dull knock on brick",
     {{W::Noise, 0, 0, 0, 0.12, 0.002, 0.03, 0.8, 1400, 100},
      {W::Sine, 190, 130, 0, 0.12, 0.002, 0.04, 0.3, 0, 0}}},
    {"brick-fall", 0.40, "bricks crumbling to rubble: four falling knocks",
     {{W::Noise, 0, 0, 0.00, 0.15, 0.003, 0.04, 0.8, 2000, 200},
      {W::Noise, 0, 0, 0.06, 0.15, 0.003, 0.04, 0.7, 1700, 200},
      {W::Noise, 0, 0, 0.13, 0.15, 0.003, 0.04, 0.6, 1400, 200},
      {W::Noise, 0, 0, 0.20, 0.15, 0.003, 0.05, 0.5, 1100, 150},
      {W::Sine, 110, 70, 0, 0.35, 0.005, 0.12, 0.2, 0, 0}}},
    {"shove", 0.30, "a soft whoosh as the beam slides an object on",
     {{W::Noise, 0, 0, 0, 0.28, 0.06, 0.12, 0.7, 1800, 400},
      {W::Sine, 420, 260, 0, 0.28, 0.04, 0.10, 0.12, 0, 0}}},
    {"splash", 0.38, "a splash: bright noise and two rising bubbles",
     {{W::Noise, 0, 0, 0, 0.35, 0.004, 0.10, 0.7, 3500, 600},
      {W::Sine, 500, 1100, 0.06, 0.10, 0.005, 0.03, 0.15, 0, 0},
      {W::Sine, 700, 1500, 0.14, 0.08, 0.005, 0.03, 0.10, 0, 0}}},
    {"sink", 0.42, "a deep gloop as a block settles into the water",
     {{W::Sine, 320, 90, 0, 0.40, 0.01, 0.15, 0.4, 0, 0},
      {W::Noise, 0, 0, 0, 0.30, 0.01, 0.10, 0.5, 600, 0}}},
    {"antitank-fire", 0.26, "a lower, reedier zap from an anti-tank",
     {{W::Soft, 900, 220, 0, 0.25, 0.004, 0.10, 0.22, 0, 0},
      {W::Sine, 450, 110, 0, 0.25, 0.004, 0.12, 0.20, 0, 0}}},
    {"antitank-destroyed", 0.50, "a short boom",
     {{W::Noise, 0, 0, 0, 0.5, 0.004, 0.12, 0.75, 1200, 0},
      {W::Sine, 90, 40, 0, 0.5, 0.004, 0.15, 0.22, 0, 0}}},
    {"tank-destroyed", 0.80, "a heavier boom and a falling, sorry tone",
     {{W::Noise, 0, 0, 0, 0.8, 0.005, 0.20, 0.85, 800, 0},
      {W::Sine, 70, 35, 0, 0.8, 0.005, 0.25, 0.22, 0, 0},
      {W::Triangle, 440, 110, 0.1, 0.6, 0.02, 0.25, 0.12, 0, 0}}},
    {"win", 0.75, "a rising four-note chime, C E G C",
     {{W::Sine, C5, C5, 0.00, 0.35, 0.005, 0.15, 0.2, 0, 0},
      {W::Sine, E5, E5, 0.09, 0.35, 0.005, 0.15, 0.2, 0, 0},
      {W::Sine, G5, G5, 0.18, 0.35, 0.005, 0.15, 0.2, 0, 0},
      {W::Sine, C6, C6, 0.27, 0.45, 0.005, 0.18, 0.2, 0, 0},
      {W::Sine, C5 / 2, C5 / 2, 0.27, 0.45, 0.01, 0.2, 0.12, 0, 0}}},
    {"menu-move", 0.06, "a tiny tick",
     {{W::Sine, E6, E6, 0, 0.05, 0.002, 0.015, 0.18, 0, 0}}},
    {"menu-choose", 0.17, "a two-note confirm, A then E",
     {{W::Sine, A5, A5, 0, 0.08, 0.003, 0.04, 0.2, 0, 0},
      {W::Sine, E6, E6, 0.06, 0.10, 0.003, 0.05, 0.2, 0, 0}}},
};

constexpr double Pi = 3.14159265358979323846;

// A fixed-seed generator: the same noise on every run.
struct Noise {
    std::uint32_t state;
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483647.5 - 1.0;
    }
};

double oscillator(Wave wave, double phase, Noise& noise) {
    switch (wave) {
        case Wave::Sine: return std::sin(phase);
        case Wave::Triangle: return 2.0 / Pi * std::asin(std::sin(phase));
        case Wave::Soft: return std::tanh(3.0 * std::sin(phase)) / std::tanh(3.0);
        default: return noise.next();
    }
}

double envelope(const Layer& l, double t) {
    double e = l.attack > 0 && t < l.attack ? t / l.attack : 1.0;
    if (l.decay > 0) e *= std::exp(-t / l.decay);
    const double release = 0.015;  // a short fade at the end, never a click
    if (l.length - t < release) e *= (l.length - t) / release;
    return e;
}

// Each sound's noise its own: the seed comes from its name and the layer.
std::uint32_t seedFor(const char* name, int index) {
    std::uint32_t h = 2166136261u;
    for (const char* c = name; *c; ++c) h = (h ^ static_cast<unsigned char>(*c)) * 16777619u;
    h ^= static_cast<std::uint32_t>(index + 1) * 0x85EBCA6Bu;
    return h ? h : 1;
}

void addLayer(const Layer& l, std::uint32_t seed, std::vector<double>& mix) {
    Noise noise{seed};
    const double lowA = l.lowpassHz > 0 ? 1.0 - std::exp(-2 * Pi * l.lowpassHz / SampleRate) : 1.0;
    const double highA = l.highpassHz > 0 ? 1.0 - std::exp(-2 * Pi * l.highpassHz / SampleRate) : 0.0;
    const int first = static_cast<int>(std::lround(l.delay * SampleRate));
    const int count = static_cast<int>(std::lround(l.length * SampleRate));
    double phase = 0, low = 0, lower = 0, floor = 0;
    for (int i = 0; i < count && first + i < static_cast<int>(mix.size()); ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        const double hz = l.startHz * std::pow(l.endHz / (l.startHz > 0 ? l.startHz : 1.0), t / l.length);
        double v = oscillator(l.wave, phase, noise);
        phase = std::fmod(phase + 2 * Pi * hz / SampleRate, 2 * Pi);
        // Two low-pass poles (12 dB an octave), then the high-pass.
        low += lowA * (v - low);
        lower += lowA * (low - lower);
        floor += highA * (lower - floor);
        v = lower - floor;
        mix[static_cast<std::size_t>(first + i)] += l.gain * envelope(l, t) * v;
    }
}

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

const std::vector<Recipe>& soundSet() { return recipes; }

bool render(const Recipe& recipe, std::vector<std::int16_t>& samples, std::string& error) {
    std::vector<double> mix(static_cast<std::size_t>(std::lround(recipe.seconds * SampleRate)), 0.0);
    for (std::size_t i = 0; i < recipe.layers.size(); ++i) addLayer(recipe.layers[i], seedFor(recipe.name, static_cast<int>(i)), mix);
    samples.assign(mix.size(), 0);
    double peak = 0;
    for (std::size_t i = 0; i < mix.size(); ++i) {
        peak = std::max(peak, std::fabs(mix[i]));
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] * 32767.0));
    }
    if (peak >= 0.9) {
        error = std::string(recipe.name) + ": its peak is " + std::to_string(peak) + " of full scale (0.9 at most)";
        return false;
    }
    return true;
}

std::string wavBytes(const std::vector<std::int16_t>& samples, int rate) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);  // PCM
    putLe(out, 1, 2);  // mono
    putLe(out, static_cast<std::uint32_t>(rate), 4);
    putLe(out, static_cast<std::uint32_t>(rate) * 2, 4);
    putLe(out, 2, 2);
    putLe(out, 16, 2);
    out += "data";
    putLe(out, dataBytes, 4);
    for (std::int16_t s : samples) putLe(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

bool paintSounds(const std::string& outDir, std::string& error) {
    if (!common::makeFolders(outDir, error)) return false;
    std::string manifest = "# The game's sound effects: name, file, seconds, what it sounds like.\n";
    for (const Recipe& r : recipes) {
        std::vector<std::int16_t> samples;
        const std::string file = std::string(r.name) + ".wav";
        if (!render(r, samples, error) ||
            !common::writeFile(common::joinPath(outDir, file), wavBytes(samples, SampleRate), error))
            return false;
        char line[256];
        std::snprintf(line, sizeof line, "%s %s %.2f %s\n", r.name, file.c_str(), r.seconds, r.description);
        manifest += line;
    }
    return common::writeFile(common::joinPath(outDir, "manifest.txt"), manifest, error);
}

}  // namespace synth
