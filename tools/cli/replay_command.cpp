// brimvale-tool replay: scripted keys and clicks played headlessly, and the
// report of the state they leave.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/cli/commands.h"
#include "tools/cli/data_dir.h"
#include "tools/session/replay.h"

namespace {

const char* const replayHelp =
    "usage: brimvale-tool replay [--data DIR] [--levels FILE] [--start INDEX] [--png FILE] [EVENT ...]\n"
    "\n"
    "Plays the game headlessly: the game's own start-up and input handlers, driven\n"
    "by scripted keys and clicks, then prints the final state.\n"
    "\n"
    "  --data DIR      folder holding data01.pak, data02.pak and data.lvl\n"
    "                  (default: the data folder of the build or installation)\n"
    "  --levels FILE   a level file to use instead of DIR/data.lvl\n"
    "  --start INDEX   start level INDEX (0-based) and play it at once, as a\n"
    "                  click on its cell in the level list does\n"
    "  --png FILE      write the final screen as an 8-bit RGB PNG\n"
    "\n"
    "EVENT tokens, separated by white space (one argument may hold several):\n"
    "  key names, case-insensitive: Space Enter Escape Left Right Up Down\n"
    "    PageUp PageDown W A S D R\n"
    "  click:X,Y   a left-button press at window pixel X, Y\n"
    "  Tokens joined by '+' without spaces form one group, queued at once.\n"
    "\n"
    "Each group is delivered by one main-loop redraw, whose event poll hands its\n"
    "events in order to the game's key and mouse callbacks; a handler that redraws\n"
    "polls the rest of its group nested, as a window system would. After the last\n"
    "group, one more main-loop redraw. A quit (Escape or \"Exit\" on the title)\n"
    "stops the replay there, with 'quit yes'.\n"
    "\n"
    "Report, on stdout: screen, outcome, index (current level), page, levels,\n"
    "tank (x y dx dy angle), quit, redraws (every redraw, the start-up's\n"
    "included), frames (animation frames), pauses, then the board as three\n"
    "16x16 grids: terrain, objects, states.\n"
    "\n"
    "Exit status: 0; 2 on an unknown token, an unreadable file or a level index\n"
    "out of range (nothing is reported then).\n";


bool parseInt(const std::string& s, long& value) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(s.c_str(), &end, 10);
    return *end == '\0' && errno == 0 && !std::isspace(static_cast<unsigned char>(s[0]));
}

}  // namespace

int replayCommand(int argc, char** argv) {
    session::ReplaySetup setup;
    setup.dataDir = defaultDataDir();
    std::string pngFile;
    std::vector<std::string> eventArgs;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "brimvale-tool replay: %s needs a value\n", arg.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(replayHelp, stdout);
            return 0;
        } else if (arg == "--data") {
            if (!value(setup.dataDir)) return 2;
        } else if (arg == "--levels") {
            if (!value(setup.levelFile)) return 2;
        } else if (arg == "--png") {
            if (!value(pngFile)) return 2;
        } else if (arg == "--start") {
            std::string text;
            long index = 0;
            if (!value(text)) return 2;
            if (!parseInt(text, index) || index < 0 || index > 1000000000) {
                std::fprintf(stderr, "brimvale-tool replay: bad level index '%s'\n", text.c_str());
                return 2;
            }
            setup.start = static_cast<int>(index);
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            std::fprintf(stderr, "brimvale-tool replay: unknown option '%s'\n", arg.c_str());
            return 2;
        } else {
            eventArgs.push_back(arg);
        }
    }
    std::vector<session::EventGroup> groups;
    std::string error;
    session::ReplayResult result;
    if (setup.levelFile.empty()) setup.levelFile = setup.dataDir + "/data.lvl";
    if (!session::parseEvents(eventArgs, groups, error) || !session::playReplay(setup, groups, result, error) ||
        (!pngFile.empty() && !session::writeScreenPng(pngFile, error))) {
        std::fprintf(stderr, "brimvale-tool replay: %s\n", error.c_str());
        return 2;
    }
    std::fputs(session::replayReport(result.quit).c_str(), stdout);
    return 0;
}
