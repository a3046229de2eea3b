// Brimvale: the entry point, the command line, the window and the main loop.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/startup.h"
#include "assets/icon.h"
#include "game/levels.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "tools/cli/options.h"
#include "ui/conveniences.h"
#include "ui/player_set.h"
#include "ui/screens.h"
#include "ui/window_game.h"

#ifndef __EMSCRIPTEN__
extern const unsigned char windowIconPixels[48 * 48 * 4];
#endif

namespace {

void warn(const std::string& warning) { cli::say("", warning); }

// A level file by its full path, so that its last level played is found
// again from any folder.
std::string fullPath(const std::string& path) {
    char* full = realpath(path.c_str(), nullptr);
    if (!full) return path;
    const std::string result = full;
    std::free(full);
    return result;
}

// The level --level asks for, put in play before the window opens; false
// (with one line on stderr) when the level file has no such level.
bool enterFirstLevel(long long level) {
    if (level == 0) return true;
    if (level > game().levels.count) {
        cli::say("", "--level " + std::to_string(level) + ": the level file holds " + std::to_string(game().levels.count) +
                         " level" + (game().levels.count == 1 ? "" : "s"));
        return false;
    }
    startLevel(game(), static_cast<int>(level - 1));
    setScreen(Playing);
    return true;
}

#ifndef __EMSCRIPTEN__
// The window's icon at the sizes docks and window lists ask for, made from
// the art set's own 48-pixel icon that the build puts in the program.
void nameWindowForDesktop() {
    static std::vector<std::uint8_t> sizes[2] = {icon::atSize(windowIconPixels, 128), icon::atSize(windowIconPixels, 256)};
    static const platform::Picture icons[3] = {
        {48, 48, windowIconPixels}, {128, 128, sizes[0].data()}, {256, 256, sizes[1].data()}};
    platform::setWindowIdentity("brimvale", icons, 3);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    GameOptions options;
    const int status = readCommandLine(argc - 1, argv + 1, options);
    if (status >= 0) return cli::closeStdout(status);
    playerSet() = options.set;
    if (playerSet().save && playerSet().progressFile.empty()) playerSet().progressFile = defaultProgressFile();

    // Without --data the game opens its files by bare name in the working
    // directory.
    if (!startGame(options.dataDir, levelFileOf(options))) return 1;
    setWarningSink(warn);
    startConveniences(fullPath(levelFileOf(options)),
                      options.dataDir.empty() ? "data.par" : options.dataDir + "/data.par");
    if (!enterFirstLevel(options.level)) return 2;
    // Sound, when the player set has it, from the sound folder beside the
    // packs; when it cannot play, one line and the game goes on silent.
    std::string warning;
    if (!startSound(options.dataDir, warning)) cli::say("", warning);

    const char* why = "";
    platform::setWindowScale(options.scale);
    platform::useGamepads(playerSet().gamepad);
#ifndef __EMSCRIPTEN__
    if (playerSet().desktop) nameWindowForDesktop();
#endif
    if (!platform::openWindow(&why)) {
        std::fprintf(stderr, "brimvale: cannot open the game window: %s\n", why);
        return 1;
    }
    createScreenTexture();
    platform::finishWindowSetup();

    while (!platform::windowShouldClose()) drawScreen();

    deleteScreenTexture();
    platform::closeWindowSystem();
    return 0;
}
