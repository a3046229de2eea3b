// The screen buffer: the whole 384x384 window as one software picture of
// 3-byte pixels (blue, green, red), shown through one OpenGL texture.
#pragma once

#include <cstdint>

constexpr int ScreenWidth = 384;
constexpr int ScreenHeight = 384;
constexpr int ScreenBytes = ScreenWidth * ScreenHeight * 3;

// The window's picture and its drawing switch. With drawing off every
// picture, frame and pause is skipped, and nothing else: outcomes are the
// same either way.
struct Display {
    std::uint8_t buffer[ScreenBytes];
    bool drawing = true;
};

// The one display of the window, which the helpers below draw on.
Display& display();

// Copies a width x height rectangle of 3-byte pixels to row `top`, column
// `left` of the screen buffer. No clipping: callers stay inside the screen
// (asserted).
// Like every helper below, it does nothing while drawing is off.
void blitToScreen(const std::uint8_t* pixels, int width, int height, int top, int left);

void beginFrame();
void swapFrame();
// Shows the screen buffer (an animation frame; drawScreen uses presentScreen).
void presentFrame();
// Shows the screen buffer at the end of a full screen refresh.
void presentScreen();
void createScreenTexture();
void deleteScreenTexture();

// Whole milliseconds that pauseMicros sleeps for a request: rounded up;
// 0 for a request of 0 or of more than 999,999 microseconds.
unsigned pauseMillisFor(unsigned micros);
// The pause between animation frames.
void pauseMicros(unsigned micros);
