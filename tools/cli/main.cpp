// brimvale-tool: the developer command. Headless: it never opens a window.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/cli/commands.h"
#include "tools/cli/options.h"

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

// Flushes and closes stdout: whatever a command printed and the system did
// not take (a full disk, a closed descriptor) fails the command, status 1 unless
// it failed already.
int closeStdout(int status) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int flushErrno = errno;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && closed) return status;
    const int why = flushErrno ? flushErrno : errno;
    cli::say("", std::string("cannot write to standard output") + (why ? std::string(" (") + std::strerror(why) + ")" : ""));
    return status ? status : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && !std::strcmp(argv[1], "help")) {
        std::fputs(usage().c_str(), stdout);
        return closeStdout(0);
    }
    return closeStdout(cli::dispatch("", argc - 1, argv + 1, subcommands, usage()));
}
