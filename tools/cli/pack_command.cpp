// brimvale-tool pack: the image packs from their PNG sources.
#include "tools/art/pack.h"
#include "tools/cli/commands.h"
#include "common/options.h"

namespace {
const char* const packHelp =
    "usage: brimvale-tool pack [--art DIR] [--out DIR]\n\n"
    "Builds data01.pak and data02.pak from the PNG sources listed in DIR/manifest.txt.\n"
    "Every image is checked: exact size and frame count, rgb blocks fully opaque.\n"
    "Nothing is written if any image is wrong.\n\n"
    "  --art DIR   folder with manifest.txt and the PNGs (default: data/art)\n"
    "  --out DIR   where the packs go, created if missing (default: .)\n";
}  // namespace

int packCommand(int argc, char** argv) {
    std::string artDir = "data/art";
    std::string outDir = ".";
    const int status = cli::Options("pack", packHelp).file("--art", artDir).file("--out", outDir).parse(argc, argv);
    if (status >= 0) return status;
    std::string error;
    if (!art::packArt(artDir, outDir, error)) return cli::fail("pack", error, 1);
    return 0;
}
