// brimvale-tool levels generate: proposes level candidates by hill climbing.
// It starts from a designer's sketch (a level source), changes a few cells
// of its playfield at random (a seeded generator: the same seed gives the
// same candidates), solves each change, and keeps those that make the
// shortest win longer without cluttering the board. What it prints is a
// candidate for a designer to look at, name and finish, not a level.
#include "tools/levels/level_gen.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tools/levels/level_text.h"
#include "tools/session/solver.h"

namespace {

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

struct Candidate {
    leveltext::Record cells;
    int moves = -1;
    int busy = 0;  // cells that are not ground
};

int busyCells(const leveltext::Record& cells, const std::vector<int>& field) {
    int n = 0;
    for (int i : field) n += cells[i] != 2;
    return n;
}

int solveMoves(const leveltext::Record& cells, std::uint64_t maxStates) {
    const solver::Result r = solver::solveLevel(cells.data(), 1, 0, maxStates);
    return r.status == solver::Status::Solved ? r.moves() : -1;
}

double clutterWeight = 2;

double score(const Candidate& c) { return c.moves - clutterWeight * c.busy; }

bool better(const Candidate& a, const Candidate& b) {
    return score(a) > score(b) || (score(a) == score(b) && a.moves > b.moves);
}

}  // namespace

int runGenerate(int argc, char** argv) {
    std::string from, palette = ".#~O%";
    unsigned long seed = 1;
    long steps = 300, keep = 3;
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
            seed = std::strtoul(argv[++i], nullptr, 10);
        } else if (arg == "--steps" && hasValue) {
            steps = std::atol(argv[++i]);
        } else if (arg == "--keep" && hasValue) {
            keep = std::atol(argv[++i]);
        } else if (arg == "--max-states" && hasValue) {
            maxStates = std::atoll(argv[++i]);
        } else if (arg == "--clutter" && hasValue) {
            clutterWeight = std::atof(argv[++i]);
        } else if (arg == "--palette" && hasValue) {
            palette = argv[++i];
        } else {
            std::fprintf(stderr, "brimvale-tool levels generate: bad argument '%s'\n%s", arg.c_str(), generateHelp);
            return 2;
        }
    }
    std::vector<std::uint8_t> codes;
    for (char g : palette) {
        const int code = leveltext::codeForGlyph(g);
        if (code < 0 || code == 10 || code == 11) {
            std::fprintf(stderr, "brimvale-tool levels generate: '%c' cannot be placed\n", g);
            return 2;
        }
        codes.push_back(static_cast<std::uint8_t>(code));
    }
    if (from.empty() || codes.empty() || steps < 0 || maxStates <= 0) {
        std::fputs(generateHelp, stderr);
        return 2;
    }
    std::vector<leveltext::Level> levels;
    std::vector<leveltext::Diagnostic> diagnostics;
    if (!leveltext::parseFile(from, levels, diagnostics) || levels.empty()) {
        for (const auto& d : diagnostics) std::fprintf(stderr, "%s\n", d.text().c_str());
        std::fprintf(stderr, "brimvale-tool levels generate: no usable sketch in %s\n", from.c_str());
        return 1;
    }
    const leveltext::Level& sketch = levels[0];
    std::vector<int> field;
    for (int i = 0; i < 256; ++i)
        if (sketch.cells[i] == 2) field.push_back(i);
    if (field.empty()) {
        std::fprintf(stderr, "brimvale-tool levels generate: the sketch has no playfield\n");
        return 1;
    }

    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    Candidate current{sketch.cells, solveMoves(sketch.cells, static_cast<std::uint64_t>(maxStates)), 0};
    current.busy = busyCells(current.cells, field);
    std::vector<Candidate> best{current};
    for (long step = 0; step < steps; ++step) {
        Candidate next = current;
        const int changes = 1 + static_cast<int>(rng() % 3);
        for (int c = 0; c < changes; ++c)
            next.cells[field[rng() % field.size()]] = codes[rng() % codes.size()];
        if (next.cells == current.cells) continue;
        next.moves = solveMoves(next.cells, static_cast<std::uint64_t>(maxStates));
        if (next.moves < 0) continue;
        next.busy = busyCells(next.cells, field);
        if (score(next) < score(current)) continue;
        current = next;
        bool known = false;
        for (const Candidate& b : best) known = known || b.cells == next.cells;
        if (known) continue;
        best.push_back(next);
        for (std::size_t k = best.size() - 1; k > 0 && better(best[k], best[k - 1]); --k) std::swap(best[k], best[k - 1]);
        if (static_cast<long>(best.size()) > keep) best.pop_back();
    }
    for (std::size_t k = 0; k < best.size(); ++k) {
        leveltext::Level out;
        out.title = sketch.title + " (seed " + std::to_string(seed) + ", candidate " + std::to_string(k + 1) + ")";
        out.moves = best[k].moves;
        out.cells = best[k].cells;
        std::printf("%s%s", k ? "\n" : "", leveltext::formatLevel(out).c_str());
    }
    return 0;
}
