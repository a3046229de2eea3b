// Finding known effects in a recording of the game's mix: each one in turn by
// cross-correlation, subtracted once found, and silence in what is left.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace audiomatch {

using Signal = std::vector<double>;

// A mono 16-bit WAV file as samples in -1..1: the data chunk to the end of
// the file (a recording cut short keeps what it wrote). Empty if unreadable.
inline Signal readWav(const std::string& path, int& rate) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto le = [&b](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
        return v;
    };
    Signal out;
    rate = 0;
    for (std::size_t at = 12; b.size() >= 12 && at + 8 <= b.size();) {
        const std::uint32_t size = le(at + 4, 4);
        if (b.compare(at, 4, "fmt ") == 0 && at + 24 <= b.size()) {
            if (le(at + 10, 2) != 1 || le(at + 22, 2) != 16) return out;
            rate = static_cast<int>(le(at + 12, 4));
        } else if (b.compare(at, 4, "data") == 0) {
            for (std::size_t i = at + 8; i + 1 < b.size(); i += 2)
                out.push_back(static_cast<std::int16_t>(le(i, 2)) / 32768.0);
            return out;
        }
        at += 8 + size + (size & 1);
    }
    return out;
}

struct Found {
    long at = -1;        // the first sample of the effect in the recording; -1: not found
    double score = 0;    // normalized cross-correlation of its beginning there
    double gain = 0;     // its level in the mix
};

// The least level at which an effect counts as heard (its samples as they
// are in the file: 1).
constexpr double MinGain = 0.3;

// Where `effect` begins at or after `from`: the earliest stretch where the
// correlation of its first `head` samples passes `threshold` at a level of
// at least MinGain, and there the best offset within the effect's own length.
inline Found locate(const Signal& mix, const Signal& effect, long from, double threshold) {
    const long n = static_cast<long>(mix.size());
    const long head = std::min<long>(static_cast<long>(effect.size()), 2205);
    double templateEnergy = 0;
    for (long i = 0; i < head; ++i) templateEnergy += effect[i] * effect[i];
    // Running energy of the mix's window, so silent windows are skipped.
    double window = 0;
    for (long i = from; i < std::min(n, from + head); ++i) window += mix[i] * mix[i];
    Found best;
    long stop = n - head;
    for (long t = from; t <= stop; ++t) {
        if (t > from) window += mix[t + head - 1] * mix[t + head - 1] - mix[t - 1] * mix[t - 1];
        if (window < 1e-7 * head) continue;
        double dot = 0;
        for (long i = 0; i < head; ++i) dot += mix[t + i] * effect[i];
        const double score = dot / std::sqrt(window * templateEnergy);
        if (score > best.score && score >= threshold && dot >= MinGain * templateEnergy) {
            if (best.at < 0) stop = std::min(stop, t + static_cast<long>(effect.size()));
            best.at = t;
            best.score = score;
        }
    }
    return best;
}

// The level of `effect`'s first `length` samples at `at` in the mix.
inline double level(const Signal& mix, const Signal& effect, long at, long length) {
    double dot = 0, energy = 0;
    for (long i = 0; i < length && at + i < static_cast<long>(mix.size()); ++i) {
        dot += mix[at + i] * effect[i];
        energy += effect[i] * effect[i];
    }
    return energy > 0 ? dot / energy : 0;
}

// Adds `gain` times the first `length` samples of `effect` at `at`.
inline void add(Signal& mix, const Signal& effect, long at, long from, long length, double gain) {
    for (long i = from; i < length && at + i < static_cast<long>(mix.size()); ++i) mix[at + i] += gain * effect[i];
}

// Finds `order` (indices into `effects`) one after another in `mix`, each at
// or after the one before, and takes each out of the mix. An effect started
// again while it still sounds is cut where it restarts: the part after the
// cut is given back to the mix. Last, the levels of effects that overlap
// are settled together (a few rounds of each against what the others leave).
// Returns one Found per entry.
inline std::vector<Found> matchInOrder(Signal& mix, const std::vector<Signal>& effects, const std::vector<int>& order,
                                       double threshold) {
    std::vector<Found> found;
    std::vector<long> lengths;
    std::vector<int> last(effects.size(), -1);  // the entry of the effect's last placing
    long from = 0;
    for (int e : order) {
        const Signal& effect = effects[static_cast<std::size_t>(e)];
        Found f = locate(mix, effect, from, threshold);
        const int before = last[static_cast<std::size_t>(e)];
        if (f.at >= 0 && before >= 0 && found[before].at + lengths[before] > f.at) {
            const long cut = f.at - found[before].at;
            add(mix, effect, found[before].at, cut, lengths[before], found[before].gain);
            lengths[before] = cut;
            f = locate(mix, effect, from, threshold);
        }
        found.push_back(f);
        lengths.push_back(static_cast<long>(effect.size()));
        if (f.at < 0) continue;
        found.back().gain = level(mix, effect, f.at, lengths.back());
        add(mix, effect, f.at, 0, lengths.back(), -found.back().gain);
        last[static_cast<std::size_t>(e)] = static_cast<int>(found.size()) - 1;
        from = f.at;
    }
    for (int round = 0; round < 4; ++round)
        for (std::size_t k = 0; k < found.size(); ++k) {
            if (found[k].at < 0) continue;
            const Signal& effect = effects[static_cast<std::size_t>(order[k])];
            add(mix, effect, found[k].at, 0, lengths[k], found[k].gain);
            found[k].gain = level(mix, effect, found[k].at, lengths[k]);
            add(mix, effect, found[k].at, 0, lengths[k], -found[k].gain);
        }
    return found;
}

// The loudest sample left, and where.
inline double peak(const Signal& mix, long& at) {
    double p = 0;
    at = -1;
    for (long i = 0; i < static_cast<long>(mix.size()); ++i)
        if (std::fabs(mix[i]) > p) {
            p = std::fabs(mix[i]);
            at = i;
        }
    return p;
}

}  // namespace audiomatch
