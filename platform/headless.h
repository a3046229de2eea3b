// The headless display: what tests and tools read back from it and how they
// feed it input.
#pragma once

#include <cstdint>
#include <deque>

namespace headless {

struct Event {
    enum Kind { Key, Click } kind;
    int key;      // GLFW key value, for Key
    double x, y;  // window pixel, for Click
};

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
};

Stats& stats();
void resetStats();

// Input waiting in the "window system", delivered by the next poll.
std::deque<Event>& queue();
void queueKey(int key);
void queueClick(double x, double y);

// Set to make windowShouldClose answer true (the close button).
void requestClose(bool close);

}  // namespace headless
