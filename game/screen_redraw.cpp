// The rules' one way up to the screens: a connected redraw function.
#include "game/screen_redraw.h"

namespace rules {

namespace {
ScreenRedraw connected = nullptr;
}  // namespace

void connectScreenRedraw(ScreenRedraw redraw) { connected = redraw; }

void redrawScreen() {
    if (connected) connected();
}

}  // namespace rules
