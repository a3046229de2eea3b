// The headless display: what tests and tools read back from it and how they
// feed it input.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/gamepad.h"
#include "platform/input.h"

namespace headless {

using Event = platform::Event;

struct Stats {
    long screenFrames = 0;     // presented by drawScreen
    long animationFrames = 0;  // presented by the rules' animations
    long pauses = 0;           // pauseMicros calls
    long pausedMillis = 0;     // what a real window would have slept
    long swaps = 0;
    long polls = 0;
    long textureUpdates = 0;
    bool textureExists = false;
    bool windowOpen = false;
    std::vector<int> sounds;  // the effects played while sound is open and not muted, in order
};

Stats& stats();
// The last title the game gave the window ("" until it gives one) and the
// scale it asked for.
const std::string& windowTitle();
int windowScale();
// The picture's width the game asked for (platform::setPictureSize), and its height.
int pictureSize(int& height);
void resetStats();

// Input waiting in the "window system" (the platform's event queue),
// delivered by the next poll.
std::deque<Event>& queue();
void queueKey(int key, int action = 1);
void queueClick(double x, double y, int button = 0, int action = 1);
void queueChar(int codePoint);
void queueDrag(double x, double y);

// Set to make windowShouldClose answer true (the close button).
void requestClose(bool close);

// The window's identity as the game set it ("" and none until it does).
const std::string& windowName();
int windowIconCount();

// Controllers, scripted frame by frame. While controllers are on
// (platform::useGamepads), each poll takes the next frame: the controllers
// connected then and their states, `millis` after the frame before (the
// only clock the repeat of a held button sees). With no frame waiting the
// last one's controllers stay as they were, and no time passes.
struct PadFrame {
    std::vector<platform::gamepad::State> pads;
    double millis = 0;
};
void queuePadFrame(const PadFrame& frame);
// Frames not yet taken.
std::size_t padFramesWaiting();
// The reader the polls feed (to set its repeat rate).
platform::gamepad::Reader& padReader();
// Controllers off, no frame waiting, none connected, the clock at 0 and
// every button let go.
void resetGamepads();

}  // namespace headless
