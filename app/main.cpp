// Brimvale: the entry point, the window and the main loop.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/startup.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "ui/player_set.h"
#include "ui/screens.h"

int main(int argc, char** argv) {
    // --sound turns the effects on; the bare program stays silent.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--sound") == 0) playerSet.sound = true;
    // The game opens its files by bare name in the working directory.
    if (!startGame("", "data.lvl")) return 1;
    // Sound, when the player set has it, from ./sound; without it the game
    // plays on silent after one line.
    std::string warning;
    if (!startSound("", warning)) std::fprintf(stderr, "brimvale: %s\n", warning.c_str());

    const char* why = "";
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
