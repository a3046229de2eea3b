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
#include "common/options.h"
#include "common/files.h"
#include "common/numbers.h"
#include "tools/levels/level_check.h"
#include "tools/levels/level_gen.h"
#include "tools/levels/level_stats.h"
#include "tools/levels/level_files.h"
#include "solver/mechanics.h"
#include "solver/solver.h"
#include "ui/progress.h"

namespace {

const char* const levelsHelp =
    "usage: brimvale-tool levels build SOURCE... -o FILE [--par FILE]\n"
    "       brimvale-tool levels dump FILE [-o TEXT]\n"
    "       brimvale-tool levels check [--max-states N] SOURCE...\n"
    "       brimvale-tool levels stats [--max-states N] [--explore-states N] [--dead-cells] SOURCE...\n"
    "       brimvale-tool levels generate [options]   (see levels generate --help)\n"
    "       brimvale-tool levels link FILE N [--base URL]   (or --level N)\n"
    "\n"
    "build     compiles level sources, in the order given, into one level file\n"
    "          of 256-byte records. Errors and warnings name file:line:column;\n"
    "          any error fails the build (exit status 1) and writes nothing.\n"
    "          --par also writes each level's recorded 'moves' (-1 when none)\n"
    "          and title by the level's key, for the game's press counter and\n"
    "          level titles. Both files are written whole or not at all, and\n"
    "          only as regular files (a device, a pipe or a folder of that name:\n"
    "          status 1); neither may name the other or a source (status 2).\n"
    "dump      prints any level file as level source text (to TEXT with -o);\n"
    "          building that text gives the same bytes back.\n"
    "check     compiles the sources, solves every level and compares the\n"
    "          optimal press count with the level's 'moves' line; exit status 1\n"
    "          on any difference, on a level without 'moves', or on one that is\n"
    "          not proven solvable; it also proves each 'trap' line and each\n"
    "          mechanic of a 'needs' line (forbidden, no win in the press count).\n"
    "stats     checks as check does and prints what a player meets in each\n"
    "          level, from the solver's search: states to the optimum, all\n"
    "          reachable states (up to --explore-states, default 2000000), dead\n"
    "          states, floor reached, dead floor, the solution's walking share\n"
    "          and mechanics; then per page their medians, and the set's\n"
    "          thresholds, met or not. --dead-cells lists each level's dead\n"
    "          floor as x,y.\n"
    "link      prints a link that plays level N of FILE (1 is the first; FILE a\n"
    "          level file or level text) in the browser page: URL#level= and\n"
    "          the level's 256-byte record in base64url without padding (URL:\n"
    "          index.html unless --base).\n"
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

// Each level's recorded fewest presses (-1 when none is recorded) and its
// title by its key, one "KEY MOVES title TITLE" a line: the press counter's
// "fewest" and the guide's level titles in the game.
std::string parText(const std::vector<leveltext::Level>& levels) {
    std::string text;
    for (const leveltext::Level& level : levels) {
        if (level.moves < 0 && level.title.empty()) continue;
        text += progress::hashText(progress::levelHash(level.cells.data())) + " " + std::to_string(level.moves);
        if (!level.title.empty()) text += " title " + level.title;
        text += "\n";
    }
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
                std::uint64_t& maxStates, std::uint64_t* exploreStates = nullptr, bool* deadCells = nullptr) {
    std::vector<std::string> sources;
    cli::Options options(command, nullptr);
    options.whole("--max-states", maxStates, 1, 4000000000LL);
    if (exploreStates) options.whole("--explore-states", *exploreStates, 1, 4000000000LL);
    if (deadCells) options.flag("--dead-cells", *deadCells);
    const int status = options.words(cli::Words::Files, sources).parse(argc, argv);
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
    if (v.needsProven) verdict += ", needs " + mechanics::words(v.needsProven);
    if (v.needsFailed) verdict += ", NOT needed: " + mechanics::words(v.needsFailed);
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

std::string share(double v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// The set's thresholds against its figures; the count of those not met.
int printThresholds(const std::vector<leveltext::Level>& levels, const std::vector<levelstats::LevelFigures>& per,
                    const levelstats::Figures& f) {
    int unmet = 0;
    const auto verdict = [&](bool met, const std::string& what) {
        std::printf("%s %s\n", met ? "met:    " : "NOT met:", what.c_str());
        if (!met) ++unmet;
    };
    const double minimum[3] = {500, 10000, 200000};
    for (std::size_t p = 0; p < f.pages.size() && p < 3; ++p) {
        const levelstats::Page& page = f.pages[p];
        verdict(page.medianStates >= minimum[p], "page " + std::to_string(p + 1) + " median states to the optimum " +
                                                     std::to_string(static_cast<long long>(page.medianStates)) +
                                                     " >= " + std::to_string(static_cast<long long>(minimum[p])));
        verdict(page.order >= 0.5, "page " + std::to_string(p + 1) + " order follows states (rank correlation " +
                                       share(page.order) + " >= 0.50)");
        if (p > 0)
            verdict(page.medianWalking <= 0.70, "page " + std::to_string(p + 1) + " median walking share " +
                                                    share(page.medianWalking) + " <= 0.70");
        verdict(page.worstDeadFloor <= 0.20, "page " + std::to_string(p + 1) + " dead floor at most " +
                                                 share(page.worstDeadFloor) + " <= 0.20 (levels " +
                                                 std::to_string(levelstats::TeachingLevels + 1) + " on)");
    }
    if (f.pages.size() >= 3) {
        const levelstats::Page& last = f.pages[2];
        int fewest = 1000;
        std::string counts;
        for (int g = 0; g < levelstats::GroupCount; ++g) {
            fewest = std::min(fewest, last.needsGroup[g]);
            counts += std::string(g ? ", " : "") + levelstats::lastPageGroups[g].name + " " +
                      std::to_string(last.needsGroup[g]);
        }
        verdict(fewest >= levelstats::LastPageNeedsAtLeast,
                "page 3 needs each mechanic in at least " + std::to_string(levelstats::LastPageNeedsAtLeast) +
                    " levels (" + counts + ")");
    }
    int overlapping = 0;
    double worst = 0;
    for (std::size_t a = 0; a < levels.size(); ++a)
        for (std::size_t b = a + 1; b < levels.size(); ++b) {
            const double o = levelstats::boardOverlap(levels[a].cells, levels[b].cells);
            worst = std::max(worst, o);
            if (o > 0.70) {
                ++overlapping;
                std::printf("  boards %zu and %zu share %.0f%%\n", a + 1, b + 1, 100 * o);
            }
        }
    verdict(overlapping == 0, "no two boards share more than 70% (" + std::to_string(overlapping) +
                                  " pairs do; the most " + share(worst) + ")");
    int withNeeds = 0, later = 0;
    for (std::size_t i = levelstats::TeachingLevels; i < levels.size(); ++i, ++later)
        if (levels[i].needs) ++withNeeds;
    verdict(withNeeds == later, "levels " + std::to_string(levelstats::TeachingLevels + 1) +
                                    " on with a proven needs line: " + std::to_string(withNeeds) + " of " +
                                    std::to_string(later));
    // The walk to the goal once nothing is left to decide.
    int longWalks = 0;
    std::size_t longest = 0;
    for (std::size_t i = levelstats::TeachingLevels; i < per.size() && i < levels.size(); ++i) {
        if (per[i].finalWalk > per[longest].finalWalk || longest < levelstats::TeachingLevels) longest = i;
        if (per[i].finalWalk > levelstats::LongestFinalWalk) {
            ++longWalks;
            std::printf("  level %zu walks %d presses after its last other one\n", i + 1, per[i].finalWalk);
        }
    }
    if (longest >= levelstats::TeachingLevels)
        verdict(longWalks == 0, "levels " + std::to_string(levelstats::TeachingLevels + 1) + " on walk at most " +
                                    std::to_string(levelstats::LongestFinalWalk) +
                                    " presses after the solution's last other one (" + std::to_string(longWalks) +
                                    " walk more; the most " + std::to_string(per[longest].finalWalk) + ", level " +
                                    std::to_string(longest + 1) + ")");
    verdict(levels.size() >= 90, std::to_string(levels.size()) + " levels >= 90");
    return unmet;
}

int stats(int argc, char** argv) {
    std::vector<leveltext::Level> levels;
    std::uint64_t maxStates = solver::DefaultMaxStates, exploreStates = levelstats::DefaultExploreStates;
    bool deadCells = false;
    const int status = readChecked("levels stats", argc, argv, levels, maxStates, &exploreStates, &deadCells);
    if (status >= 0) return status;
    levelcheck::Checker checker(levels, maxStates);
    int failures = 0;
    std::vector<levelstats::LevelFigures> per;
    std::printf("%3s %-20s %5s %9s %9s %5s %4s %5s %5s %4s %4s %9s %4s %4s %4s  %s\n", "#", "title", "press",
                "to-opt", "reachable", "dead", "die", "first", "floor", "tank", "chg", "deadfloor", "walk", "tail",
                "used", "mechanics (needs proven)");
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const levelcheck::Verdict v = checker.check(i);
        per.push_back(levelstats::measureLevel(checker.bytes(), static_cast<int>(levels.size()), static_cast<int>(i),
                                               v.solution, exploreStates));
        const levelstats::LevelFigures& l = per.back();
        const std::string reach = std::to_string(l.reach.states) + (l.reach.capped ? "+" : "");
        const std::string dead = l.reach.capped ? "?" : share(l.deadShare());
        const std::string die = l.reach.capped || l.reach.fewestToDead < 0 ? "-" : std::to_string(l.reach.fewestToDead);
        const std::string first = l.reach.capped ? "?" : std::to_string(l.reach.firstWinnable);
        const std::string deadFloor = std::to_string(l.deadFloor) + " " + share(l.deadFloorShare);
        std::string used = mechanics::words(l.used);
        if (v.needsProven) used += " (" + mechanics::words(v.needsProven) + ")";
        if (v.needsFailed) used += " NOT NEEDED: " + mechanics::words(v.needsFailed);
        std::printf("%3zu %-20.20s %5d %9llu %9s %5s %4s %5s %5d %4d %4d %9s %4s %4d %4d  %s%s\n", i + 1,
                    levels[i].title.c_str(), l.presses, static_cast<unsigned long long>(l.statesToOptimum),
                    reach.c_str(), dead.c_str(), die.c_str(), first.c_str(), l.floor, l.tankFloor, l.changed,
                    deadFloor.c_str(), share(l.walkingShare).c_str(), l.finalWalk, l.cellsUsed, used.c_str(),
                    v.ok ? "" : "  <-- FAIL");
        std::fflush(stdout);
        if (!v.ok) ++failures;
        if (deadCells && l.deadFloor) {
            std::printf("    dead floor:");
            for (int c = 0; c < 256; ++c)
                if (l.dead[c]) std::printf(" %d,%d", c % 16, c / 16);
            std::printf("\n");
        }
    }
    const levelstats::Figures f = levelstats::measure(levels, &per);
    for (const levelstats::Page& p : f.pages) {
        std::printf("page %d: levels %d-%d, median states to the optimum %.0f, order %.2f, median walking %.2f, "
                    "worst dead floor %.2f, median presses %.1f, traps %d\n",
                    p.first / levelstats::PageSize + 1, p.first + 1, p.first + p.count, p.medianStates, p.order,
                    p.medianWalking, p.worstDeadFloor, p.medianMoves, p.traps);
        std::string uses;
        for (int k = 0; k < mechanics::Count; ++k)
            uses += std::string(k ? ", " : "") + mechanics::word(k) + " " + std::to_string(p.usesMechanic[k]) + "/" +
                    std::to_string(p.needsMechanic[k]);
        std::printf("  used/needed: %s\n", uses.c_str());
    }
    const int unmet = printThresholds(levels, per, f);
    std::printf("%zu levels, %d failed, %d thresholds not met\n", levels.size(), failures, unmet);
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

int link(int argc, char** argv) {
    std::vector<std::string> inputs;
    std::string base = "index.html";
    long long level = 0;
    const int status = cli::Options("levels link", nullptr)
                           .whole("--level", level, 1, 65536)
                           .text("--base", base)
                           .words(cli::Words::Files, inputs, 2)
                           .parse(argc, argv);
    if (status >= 0) return status;
    // The level's number may follow the file instead of --level.
    if (inputs.size() == 2 && !common::parseWhole(inputs[1], 1, 65536, level))
        return cli::fail("levels link", "the level number (or --level) needs a whole number from 1 to 65536, not '" +
                                            inputs[1] + "'", 2);
    if (inputs.empty() || level == 0)
        return cli::fail("levels link", "needs a level file and --level N (see brimvale-tool levels --help)", 2);
    std::string bytes, error;
    if (!common::readFile(inputs[0], bytes, error, MaxLevelFileBytes)) return cli::fail("levels link", error, 1);
    LevelFileLevels levels;
    if (!readLevelBytes(bytes, inputs[0], levels, error)) return cli::fail("levels link", error, 1);
    const int count = levels.count;
    if (level > count)
        return cli::fail("levels link", "--level " + std::to_string(level) + ": " + inputs[0] + " holds " +
                                            std::to_string(count) + " level" + (count == 1 ? "" : "s"), 1);
    const std::uint8_t* record = levels.records.data() + static_cast<std::size_t>(level - 1) * LevelRecordBytes;
    std::printf("%s#%s\n", base.c_str(), levelLinkFragment(record, 1).c_str());
    return 0;
}

}  // namespace

int levelsCommand(int argc, char** argv) {
    return cli::dispatch("levels", argc, argv,
                         {{"build", build, nullptr}, {"dump", dump, nullptr}, {"check", check, nullptr},
                          {"stats", stats, nullptr},
                          {"generate", generate, nullptr}, {"link", link, nullptr}},
                         levelsHelp);
}
