// brimvale-tool solve: shortest key sequences that win levels.
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/levels.h"
#include "tools/cli/commands.h"
#include "tools/cli/data_dir.h"
#include "common/options.h"
#include "common/files.h"
#include "solver/solver.h"

namespace {

const char* const solveHelp =
    "usage: brimvale-tool solve [--data DIR] [--levels FILE] [--level INDEX] [--max-states N]\n"
    "\n"
    "Finds a shortest sequence of key presses (Left Right Up Down Space; a turn\n"
    "costs a press like a move) that wins each level, by a breadth-first search\n"
    "that plays the game's own rules with drawing off. One line per level:\n"
    "\n"
    "  level INDEX solved MOVES TOKENS...   a shortest win; the tokens replay it:\n"
    "                                       brimvale-tool replay --levels FILE --start INDEX TOKENS...\n"
    "  level INDEX unsolvable STATES        every reachable state explored, no win\n"
    "  level INDEX unknown STATES           the state limit was hit first\n"
    "\n"
    "  --data DIR      folder holding data.lvl (default: the build's or installation's)\n"
    "  --levels FILE   a level file to use instead of DIR/data.lvl (a regular\n"
    "                  file of at most 16 MiB, 65536 levels)\n"
    "  --level INDEX   only this level (0-based); default: every level\n"
    "  --max-states N  stop a level's search after N distinct states\n"
    "                  (default 30000000; a state takes some 20 to 60 bytes)\n"
    "\n"
    "Exit status: 0 when every line was printed; 1 when a board came out of a\n"
    "press in a form the search cannot write down (a message on stderr names\n"
    "the presses; the level's line then says unknown); 2 on bad arguments or\n"
    "an unreadable level file.\n";

// The line of one level.
void printSolution(int index, const solver::Result& r) {
    const unsigned long long states = r.states;
    switch (r.status) {
        case solver::Status::Solved:
            std::printf("level %d solved %d%s%s\n", index, r.moves(), r.path.empty() ? "" : " ",
                        solver::tokens(r.path).c_str());
            break;
        case solver::Status::Unsolvable: std::printf("level %d unsolvable %llu\n", index, states); break;
        case solver::Status::Unknown: std::printf("level %d unknown %llu\n", index, states); break;
    }
    std::fflush(stdout);
}

}  // namespace

int solveCommand(int argc, char** argv) {
    std::string dataDir = defaultDataDir();
    std::string levelFile;
    int only = -1;
    std::uint64_t maxStates = solver::DefaultMaxStates;
    const int status = cli::Options("solve", solveHelp)
                           .file("--data", dataDir)
                           .file("--levels", levelFile)
                           .whole("--level", only, 0, 1000000000)
                           .whole("--max-states", maxStates, 1, 4000000000LL)
                           .parse(argc, argv);
    if (status >= 0) return status;
    if (levelFile.empty()) levelFile = dataDir + "/data.lvl";
    std::string bytes, error;
    if (!common::readFile(levelFile, bytes, error, MaxLevelFileBytes)) return cli::fail("solve", error, 2);
    LevelFileLevels levels;
    if (!readLevelBytes(bytes, levelFile, levels, error)) return cli::fail("solve", error, 2);
    const int count = levels.count;
    if (count == 0) return cli::fail("solve", levelFile + " holds no whole level", 2);
    if (only >= count)
        return cli::fail("solve", "level index " + std::to_string(only) + " out of range (" + std::to_string(count) +
                                      " levels)", 2);
    const std::uint8_t* records = levels.records.data();
    int result = 0;
    for (int index = only >= 0 ? only : 0; index < (only >= 0 ? only + 1 : count); ++index) {
        const solver::Result r = solver::solveLevel(records, count, index, maxStates);
        if (!r.error.empty()) {
            cli::say("solve", "level " + std::to_string(index) + ": " + r.error);
            result = 1;
        }
        printSolution(index, r);
    }
    return result;
}
