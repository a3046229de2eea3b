// brimvale-tool: the developer command. Headless: it never opens a window.
#include <cstdio>
#include <cstring>

#include "tools/cli/commands.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int, char**);
    const char* summary;
};

const Subcommand subcommands[] = {
    {"replay", replayCommand, "play scripted keys and clicks headlessly and report the final state"},
    {"pack", packCommand, "build data01.pak and data02.pak from the PNG sources and manifest"},
    {"unpack", unpackCommand, "turn two packs back into PNGs and a manifest"},
    {"paint-art", paintArtCommand, "draw the game's own art set into PNG sources"},
    {"levels", levelsCommand, "compile level sources to data.lvl, or dump a level file as text"},
    {"solve", solveCommand, "find the shortest key sequence that wins each level"},
};

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: brimvale-tool <command> [arguments]\n"
                 "       brimvale-tool <command> --help\n\ncommands:\n");
    for (const Subcommand& s : subcommands) std::fprintf(out, "  %-10s %s\n", s.name, s.summary);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        usage(stdout);
        return 0;
    }
    for (const Subcommand& s : subcommands)
        if (!std::strcmp(argv[1], s.name)) return s.run(argc - 2, argv + 2);
    std::fprintf(stderr, "brimvale-tool: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return 2;
}
