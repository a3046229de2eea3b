// brimvale-tool solve: shortest key sequences that win levels.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/cli/commands.h"
#include "tools/cli/data_dir.h"
#include "tools/common/files.h"
#include "tools/session/solver.h"

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
    "  --levels FILE   a level file to use instead of DIR/data.lvl\n"
    "  --level INDEX   only this level (0-based); default: every level\n"
    "  --max-states N  stop a level's search after N distinct states\n"
    "                  (default 30000000; a state takes some 20 to 60 bytes)\n"
    "\n"
    "Exit status: 0 when every line was printed; 1 when a board came out of a\n"
    "press in a form the search cannot write down (a message on stderr names\n"
    "the presses; the level's line then says unknown); 2 on bad arguments or\n"
    "an unreadable level file.\n";

bool parseCount(const std::string& text, long long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0;
}

}  // namespace

int solveCommand(int argc, char** argv) {
    std::string dataDir = defaultDataDir();
    std::string levelFile;
    long long only = -1;
    long long maxStates = static_cast<long long>(solver::DefaultMaxStates);
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "brimvale-tool solve: %s needs a value\n", arg.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            std::fputs(solveHelp, stdout);
            return 0;
        } else if (arg == "--data") {
            if (!value(dataDir)) return 2;
        } else if (arg == "--levels") {
            if (!value(levelFile)) return 2;
        } else if (arg == "--level") {
            if (!value(text)) return 2;
            if (!parseCount(text, only) || only > 1000000000) {
                std::fprintf(stderr, "brimvale-tool solve: bad level index '%s'\n", text.c_str());
                return 2;
            }
        } else if (arg == "--max-states") {
            if (!value(text)) return 2;
            if (!parseCount(text, maxStates) || maxStates < 1 || maxStates > 4000000000LL) {
                std::fprintf(stderr, "brimvale-tool solve: --max-states needs a count from 1 to 4000000000\n");
                return 2;
            }
        } else {
            std::fprintf(stderr, "brimvale-tool solve: unknown argument '%s'\n%s", arg.c_str(), solveHelp);
            return 2;
        }
    }
    if (levelFile.empty()) levelFile = dataDir + "/data.lvl";
    std::string bytes, error;
    if (!common::readFile(levelFile, bytes, error)) {
        std::fprintf(stderr, "brimvale-tool solve: %s\n", error.c_str());
        return 2;
    }
    const int count = static_cast<int>(bytes.size() / 256);
    if (count == 0) {
        std::fprintf(stderr, "brimvale-tool solve: %s holds no whole level\n", levelFile.c_str());
        return 2;
    }
    if (only >= count) {
        std::fprintf(stderr, "brimvale-tool solve: level index %lld out of range (%d levels)\n", only, count);
        return 2;
    }
    const auto* records = reinterpret_cast<const std::uint8_t*>(bytes.data());
    int status = 0;
    for (int index = only >= 0 ? static_cast<int>(only) : 0; index < (only >= 0 ? only + 1 : count); ++index) {
        const solver::Result r = solver::solveLevel(records, count, index, static_cast<std::uint64_t>(maxStates));
        if (!r.error.empty()) {
            std::fprintf(stderr, "brimvale-tool solve: level %d: %s\n", index, r.error.c_str());
            status = 1;
        }
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
    return status;
}
