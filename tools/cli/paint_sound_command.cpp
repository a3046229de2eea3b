// brimvale-tool paint-sound: makes the game's own sound effects as WAV sources.
#include "tools/cli/commands.h"
#include "common/options.h"
#include "tools/sound/synth.h"

namespace {
const char* const paintSoundHelp =
    "usage: brimvale-tool paint-sound [--out DIR]\n\n"
    "Makes every sound effect of the game from the recipe table in\n"
    "tools/sound/synth.cpp (oscillators, fixed-seed noise, envelopes, filters)\n"
    "as mono 16-bit 22050 Hz WAV files, with manifest.txt, into DIR.\n"
    "The same program gives the same files, sample for sample.\n\n"
    "  --out DIR    where the sounds go, created if missing (default: data/sound)\n";
}  // namespace

int paintSoundCommand(int argc, char** argv) {
    std::string outDir = "data/sound";
    const int status = cli::Options("paint-sound", paintSoundHelp).file("--out", outDir).parse(argc, argv);
    if (status >= 0) return status;
    std::string error;
    if (!synth::paintSounds(outDir, error)) return cli::fail("paint-sound", error, 1);
    return 0;
}
