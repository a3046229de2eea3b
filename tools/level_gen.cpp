#include "tools/level_gen.h"

#include <cstdio>

int runGenerate(int, char**) {
    std::fprintf(stderr, "brimvale-tool levels generate: not written yet\n");
    return 2;
}
