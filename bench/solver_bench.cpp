// Benchmark: the solver's speed and memory.
// The shipped level set, and one room whose every reachable state (some ten
// million) is explored.
//
//   bench_solver_bench --benchmark_counters_tabular=true
//
// Counters: states (distinct states stored), states_per_s, peak_MiB (what the
// search held at its largest), max_rss_MiB (the whole process so far).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "tools/common/files.h"
#include "game/level_text.h"
#include "tools/session/solver.h"

namespace {

double maxRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// An 8 by 8 room with three blocks and no goal: 10,164,832 states, all of
// them reachable, none a win.
std::string roomLevel() {
    std::string text = "title Room\n";
    for (int y = 0; y < 16; ++y) {
        std::string row(16, '#');
        if (y >= 1 && y <= 8)
            for (int x = 1; x <= 8; ++x) row[x] = '.';
        if (y == 1) row[1] = 'T';
        if (y == 3) row[3] = 'O';
        if (y == 5) row[5] = 'O';
        if (y == 6) row[4] = 'O';
        text += row + "\n";
    }
    return text;
}

std::string compile(const std::string& text) {
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    leveltext::parseSource(text, "bench", levels, diagnostics);
    return leveltext::compileLevels(levels);
}

void report(benchmark::State& state, std::uint64_t states, std::uint64_t peakBytes) {
    state.counters["states"] = static_cast<double>(states);
    state.counters["states_per_s"] =
        benchmark::Counter(static_cast<double>(states), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MiB"] = static_cast<double>(peakBytes) / (1024.0 * 1024.0);
    state.counters["max_rss_MiB"] = maxRssMiB();
}

void BM_ShippedLevels(benchmark::State& state) {
    std::string bytes, error;
    const std::string path = std::string(BRIMVALE_DATA_BUILD_DIR) + "/data.lvl";
    if (!common::readFile(path, bytes, error) || bytes.size() < 256) {
        state.SkipWithError(("no level file at " + path + " (build the brimvale_data target)").c_str());
        return;
    }
    const int count = static_cast<int>(bytes.size() / 256);
    const auto* records = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::uint64_t states = 0, peak = 0;
    int unsolved = 0;
    for (auto _ : state) {
        states = 0;
        for (int i = 0; i < count; ++i) {
            const solver::Result r = solver::solveLevel(records, count, i);
            states += r.states;
            if (r.peakBytes > peak) peak = r.peakBytes;
            if (r.status != solver::Status::Solved) ++unsolved;
        }
    }
    report(state, states, peak);
    state.counters["levels"] = count;
    if (unsolved) state.SkipWithError("a shipped level did not solve");
}
BENCHMARK(BM_ShippedLevels)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExploreRoom(benchmark::State& state) {
    const std::string bytes = compile(roomLevel());
    solver::Result r;
    for (auto _ : state) r = solver::solveLevel(reinterpret_cast<const std::uint8_t*>(bytes.data()), 1, 0);
    report(state, r.states, r.peakBytes);
    state.counters["state_bytes"] = r.stateBytes;
    if (r.status != solver::Status::Unsolvable) state.SkipWithError("the room was not explored to the end");
}
BENCHMARK(BM_ExploreRoom)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
