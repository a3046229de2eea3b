// brimvale-tool levels: the level compiler, the dump, and the check of the
// recorded press counts against the solver.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/cli/commands.h"
#include "tools/common/files.h"
#include "tools/levels/level_check.h"
#include "tools/levels/level_gen.h"
#include "tools/levels/level_text.h"
#include "tools/session/solver.h"

namespace {

const char* const levelsHelp =
    "usage: brimvale-tool levels build SOURCE... -o FILE\n"
    "       brimvale-tool levels dump FILE [-o TEXT]\n"
    "       brimvale-tool levels check [--max-states N] SOURCE...\n"
    "       brimvale-tool levels generate [options]   (see levels generate --help)\n"
    "\n"
    "build     compiles level sources, in the order given, into one level file\n"
    "          of 256-byte records. Errors and warnings name file:line:column;\n"
    "          any error fails the build (exit status 1) and writes nothing.\n"
    "dump      prints any level file as level source text (to TEXT with -o);\n"
    "          building that text gives the same bytes back.\n"
    "check     compiles the sources, solves every level and compares the\n"
    "          optimal press count with the level's 'moves' line; exit status 1\n"
    "          on any difference, on a level without 'moves', or on one that is\n"
    "          not proven solvable.\n"
    "\n"
    "The text format is described in docs/levels.md.\n";

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

int build(int argc, char** argv) {
    std::vector<std::string> sources;
    std::string output;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "brimvale-tool levels build: %s needs a file name\n", arg.c_str());
                return 2;
            }
            output = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "brimvale-tool levels build: unknown option '%s'\n", arg.c_str());
            return 2;
        } else {
            sources.push_back(arg);
        }
    }
    if (output.empty() || sources.empty()) {
        std::fprintf(stderr, "usage: brimvale-tool levels build SOURCE... -o FILE\n");
        return 2;
    }
    std::vector<leveltext::Level> levels;
    if (!compileSources(sources, levels)) {
        std::fprintf(stderr, "brimvale-tool levels build: errors; %s not written\n", output.c_str());
        return 1;
    }
    if (levels.empty()) {
        std::fprintf(stderr, "brimvale-tool levels build: the sources hold no level; %s not written\n",
                     output.c_str());
        return 1;
    }
    std::string error;
    if (!common::writeFile(output, leveltext::compileLevels(levels), error)) {
        std::fprintf(stderr, "brimvale-tool levels build: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int dump(int argc, char** argv) {
    std::string input, output;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "brimvale-tool levels dump: %s needs a file name\n", arg.c_str());
                return 2;
            }
            output = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "brimvale-tool levels dump: unknown option '%s'\n", arg.c_str());
            return 2;
        } else if (input.empty()) {
            input = arg;
        } else {
            std::fprintf(stderr, "brimvale-tool levels dump: one level file at a time\n");
            return 2;
        }
    }
    if (input.empty()) {
        std::fprintf(stderr, "usage: brimvale-tool levels dump FILE [-o TEXT]\n");
        return 2;
    }
    std::string bytes, error;
    if (!common::readFile(input, bytes, error)) {
        std::fprintf(stderr, "brimvale-tool levels dump: %s\n", error.c_str());
        return 1;
    }
    std::size_t trailing = 0;
    const auto records = leveltext::splitRecords(bytes, &trailing);
    if (trailing)
        std::fprintf(stderr, "brimvale-tool levels dump: warning: %s ends in %zu bytes that are no whole level; "
                             "the game ignores them and so does the dump\n",
                     input.c_str(), trailing);
    const std::string text = leveltext::dumpRecords(records, input);
    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (!common::writeFile(output, text, error)) {
        std::fprintf(stderr, "brimvale-tool levels dump: %s\n", error.c_str());
        return 1;
    }
    return 0;
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
    std::printf("%s:%d: level %zu '%s': %s, %llu states%s\n", level.file.c_str(), level.line, index,
                level.title.c_str(), verdict.c_str(), static_cast<unsigned long long>(r.states),
                v.ok ? "" : "  <-- FAIL");
    if (r.status == solver::Status::Solved) std::printf("    %s\n", solver::tokens(r.path).c_str());
    std::fflush(stdout);
}

int check(int argc, char** argv) {
    std::vector<std::string> sources;
    long long maxStates = solver::DefaultMaxStates;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--max-states") {
            if (i + 1 >= argc || (maxStates = std::atoll(argv[i + 1])) <= 0) {
                std::fprintf(stderr, "brimvale-tool levels check: --max-states needs a positive number\n");
                return 2;
            }
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "brimvale-tool levels check: unknown option '%s'\n", arg.c_str());
            return 2;
        } else {
            sources.push_back(arg);
        }
    }
    if (sources.empty()) {
        std::fprintf(stderr, "usage: brimvale-tool levels check [--max-states N] SOURCE...\n");
        return 2;
    }
    std::vector<leveltext::Level> levels;
    if (!compileSources(sources, levels)) return 1;
    levelcheck::Checker checker(levels, static_cast<std::uint64_t>(maxStates));
    int failures = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const levelcheck::Verdict v = checker.check(i);
        printVerdict(levels[i], i, v);
        if (!v.ok) ++failures;
    }
    std::printf("%zu levels, %d failed\n", levels.size(), failures);
    return failures ? 1 : 0;
}

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

int generate(int argc, char** argv) {
    std::string from, palette = ".#~O%";
    levelgen::Settings settings;
    long long maxStates = 400000;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(generateHelp, stdout);
            return 0;
        } else if (arg == "--from" && hasValue) {
            from = argv[++i];
        } else if (arg == "--seed" && hasValue) {
            settings.seed = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--steps" && hasValue) {
            settings.steps = std::atol(argv[++i]);
        } else if (arg == "--keep" && hasValue) {
            settings.keep = std::atol(argv[++i]);
        } else if (arg == "--max-states" && hasValue) {
            maxStates = std::atoll(argv[++i]);
        } else if (arg == "--clutter" && hasValue) {
            settings.clutter = std::atof(argv[++i]);
        } else if (arg == "--palette" && hasValue) {
            palette = argv[++i];
        } else {
            std::fprintf(stderr, "brimvale-tool levels generate: bad argument '%s'\n%s", arg.c_str(), generateHelp);
            return 2;
        }
    }
    std::string error;
    if (!levelgen::paletteCodes(palette, settings.palette, error)) {
        std::fprintf(stderr, "brimvale-tool levels generate: %s\n", error.c_str());
        return 2;
    }
    if (from.empty() || settings.palette.empty() || settings.steps < 0 || maxStates <= 0) {
        std::fputs(generateHelp, stderr);
        return 2;
    }
    settings.maxStates = static_cast<std::uint64_t>(maxStates);
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    if (!leveltext::parseFile(from, levels, diagnostics) || levels.empty()) {
        printDiagnostics(diagnostics);
        std::fprintf(stderr, "brimvale-tool levels generate: no usable sketch in %s\n", from.c_str());
        return 1;
    }
    std::vector<leveltext::Level> candidates;
    if (!levelgen::generate(levels[0], settings, candidates, error)) {
        std::fprintf(stderr, "brimvale-tool levels generate: %s\n", error.c_str());
        return 1;
    }
    for (std::size_t k = 0; k < candidates.size(); ++k)
        std::printf("%s%s", k ? "\n" : "", leveltext::formatLevel(candidates[k]).c_str());
    return 0;
}

}  // namespace

int levelsCommand(int argc, char** argv) {
    if (argc < 1 || !std::strcmp(argv[0], "--help") || !std::strcmp(argv[0], "-h")) {
        std::fputs(levelsHelp, argc < 1 ? stderr : stdout);
        return argc < 1 ? 2 : 0;
    }
    const std::string command = argv[0];
    if (command == "build") return build(argc - 1, argv + 1);
    if (command == "dump") return dump(argc - 1, argv + 1);
    if (command == "check") return check(argc - 1, argv + 1);
    if (command == "generate") return generate(argc - 1, argv + 1);
    std::fprintf(stderr, "brimvale-tool levels: unknown command '%s'\n", command.c_str());
    std::fputs(levelsHelp, stderr);
    return 2;
}
