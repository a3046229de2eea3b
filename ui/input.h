// Keyboard and mouse: what each screen does with a key press or a click.
#pragma once

#include "platform/input.h"

// The handlers the platform delivers input to.
void onKey(int key);
void onMouseClick(int x, int y);
// A touch that did not move: on the tank while playing it is Space, anywhere
// else a click at the same pixel.
void onTap(int x, int y);
