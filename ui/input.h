// Keyboard and mouse: the window's callbacks and the handlers behind them.
#pragma once

struct Button {
    int x;
    int y;
    int width;
    int height;
    const char* label;
};

extern const Button gameButton;  // "Game": the title's start
extern const Button exitButton;  // "Exit": the title's quit, the level list's back

// Key values as the window system numbers them.
enum Key {
    KeySpace = 32,
    KeyA = 65,
    KeyD = 68,
    KeyR = 82,
    KeyS = 83,
    KeyW = 87,
    KeyEscape = 256,
    KeyEnter = 257,
    KeyRight = 262,
    KeyLeft = 263,
    KeyDown = 264,
    KeyUp = 265,
    KeyPageUp = 266,
    KeyPageDown = 267,
};

// The window is passed through untouched (a GLFWwindow* in the real game).
void keyCallback(void* window, int key, int scancode, int action, int mods);
void mouseButtonCallback(void* window, int button, int action, int mods);
void onKey(int key);
void onMouseClick(int x, int y);
