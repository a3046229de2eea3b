#include <cstdio>

#include "tools/tools.h"

int runPack(int, char**) {
    std::fprintf(stderr, "brimvale-tool: not built yet\n");
    return 2;
}
