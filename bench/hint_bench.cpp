// Benchmark: how long a hint (H) takes natively on the levels of the first two
// pages, from a sample of states of each: the start, points along a shortest
// win, a step off it, and deterministic wanders (some of them past any win).
// The guide's own hint is timed, played through the replay in-process, where
// its search runs whole.
//
//   bench_hint_bench
//
// Prints the slowest states; counters: samples, worst_ms and median_ms (wall
// clock), worst_cpu_ms (the process's CPU time, what a shared machine's load
// does not inflate), and the answers that said no win or gave up.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

#include "common/files.h"
#include "tools/session/replay.h"
#include "solver/solver.h"
#include "ui/conveniences.h"
#include "ui/window_game.h"

namespace {

constexpr int Levels = 60;  // pages 1 and 2

struct Sample {
    int level;
    std::string presses;
    double ms;
    double cpuMs;
    std::string answer;
};

std::vector<session::EventGroup> groupsOf(const std::string& tokens) {
    std::vector<session::EventGroup> groups;
    std::string error;
    session::parseEvents({tokens}, groups, error);
    return groups;
}

// The states to ask a hint from, as press tokens from the level's start.
std::vector<std::string> statesOf(const std::vector<std::uint8_t>& win, int level) {
    std::vector<std::string> out{""};
    auto prefix = [&](std::size_t n) { return solver::tokens(std::vector<std::uint8_t>(win.begin(), win.begin() + n)); };
    out.push_back(prefix(win.size() / 3));
    out.push_back(prefix(win.size() * 2 / 3));
    std::vector<std::uint8_t> off(win.begin(), win.begin() + win.size() / 2);
    off.push_back(static_cast<std::uint8_t>(((win.size() > off.size() ? win[off.size()] : 0) + 2) % solver::PressCount));
    out.push_back(solver::tokens(off));
    for (int w = 0; w < 3; ++w) {
        std::vector<std::uint8_t> walk;
        unsigned seed = 2654435761u * static_cast<unsigned>(level * 3 + w + 1);
        for (int i = 0; i < 4 * (w + 1); ++i) {
            seed = seed * 1103515245u + 12345u;
            walk.push_back(static_cast<std::uint8_t>((seed >> 16) % solver::PressCount));
        }
        out.push_back(solver::tokens(walk));
    }
    return out;
}

void BM_HintFromSampledStates(benchmark::State& state) {
    const std::string data = BRIMVALE_DATA_BUILD_DIR;
    std::string bytes, error;
    if (!common::readFile(data + "/data.lvl", bytes, error) || bytes.size() < 256) {
        state.SkipWithError(("no level file in " + data + " (build the brimvale_data target)").c_str());
        return;
    }
    const int count = static_cast<int>(bytes.size() / 256);
    const auto* records = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::vector<Sample> samples;
    for (auto _ : state) {
        samples.clear();
        for (int level = 0; level < Levels && level < count; ++level) {
            const solver::Result solved = solver::solveLevel(records, count, level);
            for (const std::string& presses : statesOf(solved.path, level)) {
                session::ReplaySetup setup;
                setup.dataDir = data;
                setup.levelFile = data + "/data.lvl";
                setup.start = level;
                setup.set = session::launcherSet();
                session::ReplayResult result;
                if (!session::playReplay(setup, groupsOf(presses), result, error) || game().play.outcome != InPlay)
                    continue;  // a wander that ended the level
                const std::vector<session::EventGroup> hint = groupsOf("H");
                const std::clock_t cpu = std::clock();
                const auto started = std::chrono::steady_clock::now();
                session::playGroups(hint);
                const double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
                const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
                const std::string title = counterTitle();
                samples.push_back({level, presses, ms, cpuMs, title.substr(title.find("hint: ") + 6)});
            }
        }
    }
    std::vector<Sample> sorted = samples;
    std::sort(sorted.begin(), sorted.end(), [](const Sample& a, const Sample& b) { return a.ms > b.ms; });
    for (std::size_t i = 0; i < sorted.size() && i < 5; ++i)
        std::printf("slow hint: %.1f ms (CPU %.1f ms), level %d after '%s': %s\n", sorted[i].ms, sorted[i].cpuMs,
                    sorted[i].level + 1, sorted[i].presses.c_str(), sorted[i].answer.c_str());
    int noWin = 0, gaveUp = 0;
    double worstCpu = 0;
    for (const Sample& s : samples) {
        worstCpu = std::max(worstCpu, s.cpuMs);
        noWin += s.answer.find("no way") != std::string::npos;
        gaveUp += s.answer.find("gave up") != std::string::npos;
    }
    state.counters["samples"] = static_cast<double>(samples.size());
    state.counters["worst_ms"] = sorted.empty() ? 0 : sorted.front().ms;
    state.counters["worst_cpu_ms"] = worstCpu;
    state.counters["median_ms"] = sorted.empty() ? 0 : sorted[sorted.size() / 2].ms;
    state.counters["no_win"] = noWin;
    state.counters["gave_up"] = gaveUp;
}
BENCHMARK(BM_HintFromSampledStates)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
