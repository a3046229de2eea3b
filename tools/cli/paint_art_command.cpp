// brimvale-tool paint-art: draws the game's own art set as PNG sources.
#include "tools/art/art_set.h"
#include "tools/cli/commands.h"
#include "common/options.h"

namespace {
const std::string paintArtHelp = std::string(
                                     "usage: brimvale-tool paint-art [--out DIR] [--fonts DIR]\n\n"
                                     "Draws every block of both image packs as PNGs, with manifest.txt, into DIR,\n"
                                     "and the desktop icon beside them.\n"
                                     "The drawing is deterministic: the same program and fonts give the same files.\n\n"
                                     "  --out DIR    where the art goes, created if missing (default: data/art)\n"
                                     "  --fonts DIR  folder with DejaVuSans-Bold.ttf and DejaVuSansCondensed-Bold.ttf\n"
                                     "               (default: ") +
                                 art::DefaultFontDir + ")\n";
}  // namespace

int paintArtCommand(int argc, char** argv) {
    std::string outDir = "data/art";
    std::string fontDir = art::DefaultFontDir;
    const int status = cli::Options("paint-art", paintArtHelp.c_str())
                           .file("--out", outDir)
                           .file("--fonts", fontDir)
                           .parse(argc, argv);
    if (status >= 0) return status;
    std::string error;
    if (!art::paintArt(outDir, fontDir, error)) return cli::fail("paint-art", error, 1);
    return 0;
}
