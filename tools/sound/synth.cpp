// The sound table's recipes rendered: oscillators, seeded noise, envelopes, two-pole low-pass and one-pole high-pass filters.
#include "tools/sound/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/files.h"

namespace synth {

namespace {

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

bool render(const SoundRow& row, std::vector<std::int16_t>& samples, std::string& error) {
    const Recipe& recipe = row.recipe;
    std::vector<double> mix(static_cast<std::size_t>(std::lround(recipe.seconds * SampleRate)), 0.0);
    for (int i = 0; i < recipe.layerCount(); ++i) addLayer(recipe.layers[i], seedFor(row.name, i), mix);
    samples.assign(mix.size(), 0);
    double peak = 0;
    for (std::size_t i = 0; i < mix.size(); ++i) {
        peak = std::max(peak, std::fabs(mix[i]));
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] * 32767.0));
    }
    if (peak >= 0.9) {
        error = std::string(row.name) + ": its peak is " + std::to_string(peak) + " of full scale (0.9 at most)";
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
    for (const SoundRow& r : sound::soundTable) {
        std::vector<std::int16_t> samples;
        const std::string file = std::string(r.name) + ".wav";
        if (!render(r, samples, error) ||
            !common::writeFile(common::joinPath(outDir, file), wavBytes(samples, SampleRate), error))
            return false;
        char line[256];
        std::snprintf(line, sizeof line, "%s %s %.2f %s\n", r.name, file.c_str(), r.recipe.seconds, r.recipe.description);
        manifest += line;
    }
    return common::writeFile(common::joinPath(outDir, "manifest.txt"), manifest, error);
}

}  // namespace synth
