// brimvale-tool icon: the desktop icon at a larger size, for the installation.
#include "tools/art/icon.h"
#include "tools/cli/commands.h"
#include "common/options.h"

namespace {
const char* const iconHelp =
    "usage: brimvale-tool icon --from ICON --size N -o FILE\n"
    "       brimvale-tool icon --from ICON --source NAME -o FILE\n\n"
    "Writes the desktop icon N pixels square (24 to 1024) from the 48-pixel ICON\n"
    "that paint-art draws: its 24-pixel picture enlarged pixel for pixel by the\n"
    "largest whole factor that fits, centred on transparency.\n"
    "With --source, writes ICON's own RGBA bytes as C++ source defining the array\n"
    "NAME, which the game carries as its window's icon.\n";
}  // namespace

int iconCommand(int argc, char** argv) {
    std::string from, out, source;
    int size = 0;
    const int status = cli::Options("icon", iconHelp)
                           .file("--from", from)
                           .whole("--size", size, 24, 1024)
                           .text("--source", source)
                           .file("-o", out, "--output")
                           .parse(argc, argv);
    if (status >= 0) return status;
    if (from.empty() || out.empty() || (size == 0) == source.empty())
        return cli::fail("icon", "needs --from, -o and either --size or --source (see --help)", 2);
    std::string error;
    if (!source.empty()) {
        if (!art::writeIconSource(from, source, out, error)) return cli::fail("icon", error, 1);
        return 0;
    }
    if (!art::writeIconAtSize(from, size, out, error)) return cli::fail("icon", error, 1);
    return 0;
}
