// brimvale-tool levels: the level compiler, the dump, and the check of the
// recorded press counts against the solver.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tools/levels/level_text.h"
#include "tools/levels/level_gen.h"
#include "tools/session/solver.h"
#include "tools/cli/commands.h"

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

// Parses every source; false on any error.
bool compileSources(const std::vector<std::string>& sources, std::vector<leveltext::Level>& levels) {
    std::vector<leveltext::Diagnostic> diagnostics;
    bool ok = true;
    for (const std::string& source : sources) ok = leveltext::parseFile(source, levels, diagnostics) && ok;
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
    std::vector<leveltext::Record> records;
    for (const auto& level : levels) records.push_back(level.cells);
    if (!leveltext::writeFile(output, leveltext::joinRecords(records))) {
        std::fprintf(stderr, "brimvale-tool levels build: cannot write %s\n", output.c_str());
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
    std::string bytes;
    if (!leveltext::readFile(input, bytes)) {
        std::fprintf(stderr, "brimvale-tool levels dump: cannot read %s\n", input.c_str());
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
    } else if (!leveltext::writeFile(output, text)) {
        std::fprintf(stderr, "brimvale-tool levels dump: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
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
    std::vector<leveltext::Record> records;
    for (const auto& level : levels) records.push_back(level.cells);
    const std::string bytes = leveltext::joinRecords(records);
    int failures = 0;
    std::set<leveltext::Record> seen;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const auto& level = levels[i];
        const solver::Result r = solver::solveLevel(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                    static_cast<int>(records.size()), static_cast<int>(i),
                                                    static_cast<std::uint64_t>(maxStates));
        std::string verdict;
        bool ok = false;
        if (r.status == solver::Status::Solved) {
            ok = level.moves == r.moves();
            verdict = "solved in " + std::to_string(r.moves()) +
                      (level.moves < 0 ? ", no 'moves' line"
                                       : ok ? "" : ", 'moves' says " + std::to_string(level.moves));
        } else {
            verdict = r.status == solver::Status::Unsolvable ? "UNSOLVABLE" : "unknown (state limit hit)";
        }
        if (!seen.insert(level.cells).second) {
            ok = false;
            verdict += ", same board as an earlier level";
        }
        std::printf("%s:%d: level %zu '%s': %s, %llu states%s\n", level.file.c_str(), level.line, i,
                    level.title.c_str(), verdict.c_str(), static_cast<unsigned long long>(r.states),
                    ok ? "" : "  <-- FAIL");
        if (r.status == solver::Status::Solved) std::printf("    %s\n", solver::tokens(r.path).c_str());
        std::fflush(stdout);
        if (!ok) ++failures;
    }
    std::printf("%zu levels, %d failed\n", levels.size(), failures);
    return failures ? 1 : 0;
}

}  // namespace

int runLevels(int argc, char** argv) {
    if (argc < 1 || !std::strcmp(argv[0], "--help") || !std::strcmp(argv[0], "-h")) {
        std::fputs(levelsHelp, argc < 1 ? stderr : stdout);
        return argc < 1 ? 2 : 0;
    }
    const std::string command = argv[0];
    if (command == "build") return build(argc - 1, argv + 1);
    if (command == "dump") return dump(argc - 1, argv + 1);
    if (command == "check") return check(argc - 1, argv + 1);
    if (command == "generate") return runGenerate(argc - 1, argv + 1);
    std::fprintf(stderr, "brimvale-tool levels: unknown command '%s'\n", command.c_str());
    std::fputs(levelsHelp, stderr);
    return 2;
}
