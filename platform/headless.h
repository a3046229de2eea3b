// The headless display: what tests and tools read back from it and how they
// feed it input.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

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
void resetStats();

// Input waiting in the "window system" (the platform's event queue),
// delivered by the next poll.
std::deque<Event>& queue();
void queueKey(int key, int action = 1);
void queueClick(double x, double y, int button = 0, int action = 1);

// Set to make windowShouldClose answer true (the close button).
void requestClose(bool close);

}  // namespace headless
