// The whole-screen redraw a rule asks for in the middle of a move: a win, a
// loss, a destroyed anti-tank, a level start. The screens provide it and the
// start-up connects it, so the rules never reach up into the screens.
#pragma once

namespace rules {

using ScreenRedraw = void (*)();

void connectScreenRedraw(ScreenRedraw redraw);
// Redraws the whole screen (which also polls input); nothing until connected.
void redrawScreen();

}  // namespace rules
