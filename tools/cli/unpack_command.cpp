// brimvale-tool unpack: two image packs back into PNGs and a manifest.
#include <vector>

#include "tools/art/pack.h"
#include "tools/cli/commands.h"
#include "common/options.h"

namespace {
const char* const unpackHelp =
    "usage: brimvale-tool unpack [--data DIR] [--out DIR]\n\n"
    "Turns DIR/data01.pak and DIR/data02.pak into one PNG per block and a manifest.txt\n"
    "that `brimvale-tool pack --art` accepts. A short pack is read as if its missing\n"
    "bytes were zero (black tiles, invisible sprites).\n\n"
    "  --data DIR  folder with the two packs (default: .)\n"
    "  --out DIR   where the PNGs and manifest go, created if missing (default: art-unpacked)\n";
}  // namespace

int unpackCommand(int argc, char** argv) {
    std::string dataDir = ".";
    std::string outDir = "art-unpacked";
    const int status =
        cli::Options("unpack", unpackHelp).file("--data", dataDir).file("--out", outDir).parse(argc, argv);
    if (status >= 0) return status;
    std::string error;
    std::vector<std::string> notes;
    const bool ok = art::unpackArt(dataDir, outDir, error, &notes);
    for (const std::string& note : notes) cli::say("unpack", "note: " + note);
    return ok ? 0 : cli::fail("unpack", error, 1);
}
