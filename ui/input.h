// Keyboard and mouse: what each screen does with a key press or a click.
#pragma once

#include "platform/input.h"

// The handlers the platform delivers input to.
void onKey(int key);
void onMouseClick(int x, int y);
