// The screen buffer: the whole 384x384 window as one software picture of
// 3-byte pixels (blue, green, red), shown through one OpenGL texture.
#pragma once

#include <cstdint>

constexpr int ScreenWidth = 384;
constexpr int ScreenHeight = 384;
constexpr int ScreenBytes = ScreenWidth * ScreenHeight * 3;

extern std::uint8_t screenBuffer[ScreenBytes];

// Copies a width x height rectangle of 3-byte pixels to row `top`, column
// `left` of the screen buffer. No clipping: callers stay inside the screen.
void blitToScreen(const std::uint8_t* pixels, int width, int height, int top, int left);

void beginFrame();
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

// The drawing switch. With drawing off the rules skip every picture, frame
// and pause, and nothing else: outcomes are the same either way.
extern bool drawingEnabled;
