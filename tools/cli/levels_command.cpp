// brimvale-tool levels: build, dump, check and generate.
// The level compiler, the dump of a level file as text, the check of the
// recorded press counts against the solver, and the candidate generator.
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "game/levels.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"
#include "tools/common/files.h"
#include "tools/levels/level_check.h"
#include "tools/levels/level_gen.h"
#include "tools/levels/level_stats.h"
#include "tools/levels/level_text.h"
#include "tools/session/solver.h"
#include "ui/progress.h"

namespace {

const char* const levelsHelp =
    "usage: brimvale-tool levels build SOURCE... -o FILE [--par FILE]\n"
    "       brimvale-tool levels dump FILE [-o TEXT]\n"
    "       brimvale-tool levels check [--max-states N] SOURCE...\n"
    "       brimvale-tool levels stats [--max-states N] SOURCE...\n"
    "       brimvale-tool levels generate [options]   (see levels generate --help)\n"
    "\n"
    "build     compiles level sources, in the order given, into one level file\n"
    "          of 256-byte records. Errors and warnings name file:line:column;\n"
    "          any error fails the build (exit status 1) and writes nothing.\n"
    "          --par also writes each level's recorded 'moves' by the level's\n"
    "          key, for the game's press counter. Both files are written whole\n"
    "          or not at all, and only as regular files (a device, a pipe or a\n"
    "          folder of that name: status 1); neither may name the other or a\n"
    "          source (status 2).\n"
    "dump      prints any level file as level source text (to TEXT with -o);\n"
    "          building that text gives the same bytes back.\n"
    "check     compiles the sources, solves every level and compares the\n"
    "          optimal press count with the level's 'moves' line; exit status 1\n"
    "          on any difference, on a level without 'moves', or on one that is\n"
    "          not proven solvable.\n"
    "\n"
    "A level file is at most 16 MiB (65536 levels), a source at most 64 MiB;\n"
    "either must be a regular file.\n"
    "The text format is described in docs/levels.md.\n";

const char* const generateHelp =
    "usage: brimvale-tool levels generate --from SOURCE [--seed N] [--steps N]\n"
    "         [--palette GLYPHS] [--max-states N] [--keep N]\n"
    "\n"
    "Climbs from the first level of SOURCE: each step changes one to three cells\n"
    "of the playfield (the cells that are ground in the sketch; everything else\n"
    "stays as drawn) to a glyph of the palette, solves the result, and keeps it\n"
    "when it scores at least as well: the shortest win in presses, less CLUTTER\n"
    "for every playfield cell that is not ground.\n"
    "Prints the best candidates found, as level source with their 'moves'.\n"
    "\n"
    "  --seed N        seed of the random choices (default 1)\n"
    "  --steps N       changes tried (default 300)\n"
    "  --palette G     glyphs to place (default \".#~O%\"); '.' clears a cell\n"
    "  --max-states N  a candidate needing more states is dropped (default 400000)\n"
    "  --keep N        candidates printed (default 3)\n"
    "  --clutter W     score lost per busy cell (default 2)\n";

void printDiagnostics(const std::vector<leveltext::Diagnostic>& diagnostics) {
    for (const auto& d : diagnostics) std::fprintf(stderr, "%s\n", d.text().c_str());
}

// Parses every source and prints the errors and warnings; false on any error.
bool compileSources(const std::vector<std::string>& sources, std::vector<leveltext::Level>& levels) {
    std::vector<leveltext::Diagnostic> diagnostics;
    const bool ok = leveltext::parseFiles(sources, levels, diagnostics);
    printDiagnostics(diagnostics);
    return ok;
}

// Each level's recorded fewest presses by its key, one "KEY MOVES" a line:
// the press counter's "fewest" in the game.
std::string parText(const std::vector<leveltext::Level>& levels) {
    std::string text;
    for (const leveltext::Level& level : levels)
        if (level.moves >= 0)
            text += progress::hashText(progress::levelHash(level.cells.data())) + " " + std::to_string(level.moves) + "\n";
    return text;
}

int build(int argc, char** argv) {
    std::vector<std::string> sources;
    std::string output, parOutput;
    const int status = cli::Options("levels build", nullptr)
                           .file("-o", output, "--output")
                           .file("--par", parOutput)
                           .words(cli::Words::Files, sources)
                           .parse(argc, argv);
    if (status >= 0) return status;
    if (output.empty() || sources.empty())
        return cli::fail("levels build", "needs level sources and -o FILE (see brimvale-tool levels --help)", 2);
    if (!parOutput.empty() && common::sameFile(output, parOutput))
        return cli::fail("levels build", "-o and --par name the same file, " + output, 2);
    for (const std::string& source : sources)
        for (const std::string& out : {output, parOutput})
            if (!out.empty() && common::sameFile(source, out))
                return cli::fail("levels build", "the output " + out + " is also a source", 2);
    std::vector<leveltext::Level> levels;
    if (!compileSources(sources, levels)) return cli::fail("levels build", "errors; " + output + " not written", 1);
    if (levels.empty()) return cli::fail("levels build", "the sources hold no level; " + output + " not written", 1);
    std::vector<std::pair<std::string, std::string>> files = {{output, leveltext::compileLevels(levels)}};
    if (!parOutput.empty()) files.emplace_back(parOutput, parText(levels));
    std::string error;
    if (!common::writeFilesTogether(files, error)) return cli::fail("levels build", error, 1);
    return 0;
}

int dump(int argc, char** argv) {
    std::vector<std::string> inputs;
    std::string output;
    const int status = cli::Options("levels dump", nullptr)
                           .file("-o", output, "--output")
                           .words(cli::Words::Files, inputs, 1)
                           .parse(argc, argv);
    if (status >= 0) return status;
    if (inputs.empty())
        return cli::fail("levels dump", "needs a level file (see brimvale-tool levels --help)", 2);
    const std::string& input = inputs[0];
    std::string bytes, error;
    if (!common::readFile(input, bytes, error, MaxLevelFileBytes)) return cli::fail("levels dump", error, 1);
    std::size_t trailing = 0;
    const auto records = leveltext::splitRecords(bytes, &trailing);
    if (trailing)
        cli::say("levels dump", "warning: " + input + " ends in " + std::to_string(trailing) +
                                    " bytes that are no whole level; the game ignores them and so does the dump");
    const std::string text = leveltext::dumpRecords(records, input);
    if (output.empty())
        std::fwrite(text.data(), 1, text.size(), stdout);
    else if (!common::writeFile(output, text, error))
        return cli::fail("levels dump", error, 1);
    return 0;
}

// Parses the sources of check and stats; status >= 0 when it is the end.
int readChecked(const char* command, int argc, char** argv, std::vector<leveltext::Level>& levels,
                std::uint64_t& maxStates) {
    std::vector<std::string> sources;
    const int status = cli::Options(command, nullptr)
                           .whole("--max-states", maxStates, 1, 4000000000LL)
                           .words(cli::Words::Files, sources)
                           .parse(argc, argv);
    if (status >= 0) return status;
    if (sources.empty()) return cli::fail(command, "needs level sources (see brimvale-tool levels --help)", 2);
    return compileSources(sources, levels) ? -1 : 1;
}

// One level's line of the check, and its solution under it.
void printVerdict(const leveltext::Level& level, std::size_t index, const levelcheck::Verdict& v) {
    const solver::Result& r = v.solution;
    std::string verdict;
    if (r.status == solver::Status::Solved) {
        verdict = "solved in " + std::to_string(r.moves()) +
                  (level.moves < 0 ? ", no 'moves' line"
                                   : level.moves == r.moves() ? "" : ", 'moves' says " + std::to_string(level.moves));
    } else {
        verdict = r.status == solver::Status::Unsolvable ? "UNSOLVABLE" : "unknown (state limit hit)";
    }
    if (v.duplicate) verdict += ", same board as an earlier level";
    if (v.trap != levelcheck::Trap::None)
        verdict += v.trap == levelcheck::Trap::Holds ? ", lost for good after its trap"
                   : v.trapError.empty()               ? ", its trap leaves it winnable"
                                                       : ", its trap: " + v.trapError;
    std::printf("%s:%d: level %zu '%s': %s, %llu states%s\n", level.file.c_str(), level.line, index,
                level.title.c_str(), verdict.c_str(), static_cast<unsigned long long>(r.states),
                v.ok ? "" : "  <-- FAIL");
    if (r.status == solver::Status::Solved) std::printf("    %s\n", solver::tokens(r.path).c_str());
    std::fflush(stdout);
}

int check(int argc, char** argv) {
    std::vector<leveltext::Level> levels;
    std::uint64_t maxStates = solver::DefaultMaxStates;
    const int status = readChecked("levels check", argc, argv, levels, maxStates);
    if (status >= 0) return status;
    levelcheck::Checker checker(levels, maxStates);
    int failures = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const levelcheck::Verdict v = checker.check(i);
        printVerdict(levels[i], i, v);
        if (!v.ok) ++failures;
    }
    std::printf("%zu levels, %d failed\n", levels.size(), failures);
    return failures ? 1 : 0;
}

void printPages(const levelstats::Figures& f) {
    for (const levelstats::Page& p : f.pages)
        std::printf("page %d: levels %d-%d, median presses %.1f, median non-wall cells %.1f, traps %d\n",
                    p.first / levelstats::PageSize + 1, p.first + 1, p.first + p.count, p.medianMoves,
                    p.medianNonWall, p.traps);
    std::printf("levels %d on: median non-wall cells %.1f, fewest %d\n", levelstats::TeachingLevels + 1,
                f.laterMedianNonWall, f.laterMinNonWall);
}

int stats(int argc, char** argv) {
    std::vector<leveltext::Level> levels;
    std::uint64_t maxStates = solver::DefaultMaxStates;
    const int status = readChecked("levels stats", argc, argv, levels, maxStates);
    if (status >= 0) return status;
    levelcheck::Checker checker(levels, maxStates);
    int failures = 0;
    std::printf("%4s %-24s %8s %7s %7s %10s %s\n", "#", "title", "non-wall", "objects", "presses", "states",
                "trap");
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const levelcheck::Verdict v = checker.check(i);
        const std::string trap = v.trap == levelcheck::Trap::None    ? "-"
                                 : v.trap == levelcheck::Trap::Holds ? "holds (" + std::to_string(v.trapStates) + ")"
                                                                     : "FAILS";
        std::printf("%4zu %-24.24s %8d %7d %7d %10llu %s%s\n", i + 1, levels[i].title.c_str(),
                    levelstats::nonWallCells(levels[i].cells), levelstats::objectCount(levels[i].cells),
                    v.solution.status == solver::Status::Solved ? v.solution.moves() : -1,
                    static_cast<unsigned long long>(v.solution.states), trap.c_str(), v.ok ? "" : "  <-- FAIL");
        std::fflush(stdout);
        if (!v.ok) ++failures;
    }
    printPages(levelstats::measure(levels));
    std::printf("%zu levels, %d failed\n", levels.size(), failures);
    return failures ? 1 : 0;
}

// The first level of `from`; false, with the file's errors and warnings
// printed, when there is none.
bool readSketch(const std::string& from, leveltext::Level& sketch) {
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    if (!leveltext::parseFile(from, levels, diagnostics) || levels.empty()) {
        printDiagnostics(diagnostics);
        return false;
    }
    sketch = levels[0];
    return true;
}

int generate(int argc, char** argv) {
    std::string from, palette = ".#~O%";
    levelgen::Settings settings;
    const int status = cli::Options("levels generate", generateHelp)
                           .file("--from", from)
                           .whole("--seed", settings.seed, 0, 4294967295LL)
                           .whole("--steps", settings.steps, 0, 1000000000)
                           .text("--palette", palette)
                           .whole("--max-states", settings.maxStates, 1, 4000000000LL)
                           .whole("--keep", settings.keep, 0, 1000000000)
                           .real("--clutter", settings.clutter, -1000000, 1000000)
                           .parse(argc, argv);
    if (status >= 0) return status;
    std::string error;
    if (!levelgen::paletteCodes(palette, settings.palette, error)) return cli::fail("levels generate", error, 2);
    if (settings.palette.empty()) return cli::fail("levels generate", "--palette needs at least one glyph", 2);
    if (from.empty()) return cli::fail("levels generate", "--from SOURCE is needed (see --help)", 2);
    leveltext::Level sketch;
    if (!readSketch(from, sketch)) return cli::fail("levels generate", "no usable sketch in " + from, 1);
    std::vector<leveltext::Level> candidates;
    if (!levelgen::generate(sketch, settings, candidates, error)) return cli::fail("levels generate", error, 1);
    for (std::size_t k = 0; k < candidates.size(); ++k)
        std::printf("%s%s", k ? "\n" : "", leveltext::formatLevel(candidates[k]).c_str());
    return 0;
}

}  // namespace

int levelsCommand(int argc, char** argv) {
    return cli::dispatch("levels", argc, argv,
                         {{"build", build, nullptr}, {"dump", dump, nullptr}, {"check", check, nullptr},
                          {"stats", stats, nullptr},
                          {"generate", generate, nullptr}},
                         levelsHelp);
}
