// Options shared by the subcommands of brimvale-tool.
#include <cstdio>
#include <cstring>

#include "tools/cli/commands.h"

int parseToolOptions(const char* command, int argc, char** argv, const std::string& help,
                     std::initializer_list<ToolOption> options) {
    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(help.c_str(), stdout);
            return 0;
        }
        bool known = false;
        for (const ToolOption& o : options) {
            if (std::strcmp(a, o.name) != 0 || i + 1 >= argc) continue;
            *o.value = argv[++i];
            known = true;
            break;
        }
        if (!known) {
            std::fprintf(stderr, "brimvale-tool %s: unexpected argument '%s' (see --help)\n", command, a);
            return 2;
        }
    }
    return -1;
}
