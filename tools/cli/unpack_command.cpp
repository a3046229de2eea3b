// brimvale-tool unpack: two image packs back into PNGs and a manifest.
#include <cstdio>
#include <vector>

#include "tools/art/pack.h"
#include "tools/cli/commands.h"

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
    const int status = parseToolOptions("unpack", argc, argv, unpackHelp, {{"--data", &dataDir}, {"--out", &outDir}});
    if (status >= 0) return status;
    std::string error;
    std::vector<std::string> notes;
    const bool ok = art::unpackArt(dataDir, outDir, error, &notes);
    for (const std::string& note : notes) std::fprintf(stderr, "brimvale-tool unpack: note: %s\n", note.c_str());
    if (!ok) {
        std::fprintf(stderr, "brimvale-tool unpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
