// brimvale-tool paint-art: draws the game's own art set as PNG sources.
#include <cstdio>
#include <cstring>

#include "tools/art_manifest.h"
#include "tools/tools.h"

int runPaintArt(int argc, char** argv) {
    std::string outDir = "data/art";
    std::string fontDir = art::DefaultFontDir;
    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::printf(
                "usage: brimvale-tool paint-art [--out DIR] [--fonts DIR]\n\n"
                "Draws every block of both image packs as PNGs, with manifest.txt, into DIR.\n"
                "The drawing is deterministic: the same program and fonts give the same files.\n\n"
                "  --out DIR    where the art goes, created if missing (default: data/art)\n"
                "  --fonts DIR  folder with DejaVuSans-Bold.ttf and DejaVuSansCondensed-Bold.ttf\n"
                "               (default: %s)\n",
                art::DefaultFontDir);
            return 0;
        }
        if ((!std::strcmp(a, "--out") || !std::strcmp(a, "--fonts")) && i + 1 < argc) {
            (a[2] == 'o' ? outDir : fontDir) = argv[++i];
            continue;
        }
        std::fprintf(stderr, "brimvale-tool paint-art: unexpected argument '%s' (see --help)\n", a);
        return 2;
    }
    std::string error;
    if (!art::paintArt(outDir, fontDir, error)) {
        std::fprintf(stderr, "brimvale-tool paint-art: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
