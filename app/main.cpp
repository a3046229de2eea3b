// Brimvale: the entry point, the window and the main loop.
#include <cstdio>

#include "app/startup.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "ui/screens.h"

int main() {
    // The game opens its files by bare name in the working directory.
    if (!startGame("", "data.lvl")) return 1;

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
