// brimvale-tool: the developer command. Headless: it never opens a window.
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/cli/commands.h"
#include "common/options.h"

namespace {

const std::vector<cli::Subcommand> subcommands = {
    {"replay", replayCommand, "play scripted keys and clicks headlessly and report the final state"},
    {"pack", packCommand, "build data01.pak and data02.pak from the PNG sources and manifest"},
    {"unpack", unpackCommand, "turn two packs back into PNGs and a manifest"},
    {"paint-art", paintArtCommand, "draw the game's own art set into PNG sources"},
    {"paint-sound", paintSoundCommand, "make the game's own sound effects into WAV sources"},
    {"levels", levelsCommand, "compile level sources to data.lvl, or dump a level file as text"},
    {"solve", solveCommand, "find the shortest key sequence that wins each level"},
    {"icon", iconCommand, "write the desktop icon at a larger size"},
};

std::string usage() {
    std::string text =
        "usage: brimvale-tool <command> [arguments]\n"
        "       brimvale-tool <command> --help\n\ncommands:\n";
    char line[160];
    for (const cli::Subcommand& s : subcommands) {
        std::snprintf(line, sizeof line, "  %-10s %s\n", s.name, s.summary);
        text += line;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && !std::strcmp(argv[1], "help")) {
        std::fputs(usage().c_str(), stdout);
        return cli::closeStdout(0);
    }
    return cli::closeStdout(cli::dispatch("", argc - 1, argv + 1, subcommands, usage()));
}
