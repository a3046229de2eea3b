// Keyboard and mouse: what each screen does with a key press or a click.
#pragma once

#include "platform/keys.h"

struct Button {
    int x;
    int y;
    int width;
    int height;
    const char* label;
};

extern const Button gameButton;  // "Game": the title's start
extern const Button exitButton;  // "Exit": the title's quit, the level list's back

// The handlers the platform delivers input to.
void onKey(int key);
void onMouseClick(int x, int y);
