// Headless platform: nothing is shown and nothing sleeps. It counts what a
// window would have done and plays queued input through the game's callbacks.
#include "platform/headless.h"

#include <cstdlib>

#include "platform/platform.h"
#include "ui/input.h"

namespace headless {

namespace {
Stats theStats;
std::deque<Event> theQueue;
bool closeRequested = false;
double cursorX = 0, cursorY = 0;
}  // namespace

Stats& stats() { return theStats; }
void resetStats() { theStats = Stats(); }
std::deque<Event>& queue() { return theQueue; }
void queueKey(int key) { theQueue.push_back(Event{Event::Key, key, 0, 0}); }
void queueClick(double x, double y) { theQueue.push_back(Event{Event::Click, 0, x, y}); }
void requestClose(bool close) { closeRequested = close; }

}  // namespace headless

namespace platform {

using headless::theStats;

void beginFrame() {}

void presentFrame(const std::uint8_t*, bool fromDrawScreen) {
    if (fromDrawScreen)
        ++theStats.screenFrames;
    else
        ++theStats.animationFrames;
}

void updateTexture(int, int, int, int, const std::uint8_t*) { ++theStats.textureUpdates; }
void createTexture() { theStats.textureExists = true; }
void deleteTexture() { theStats.textureExists = false; }
void swapBuffers() { ++theStats.swaps; }

void pollEvents() {
    ++theStats.polls;
    // Like a window system's queue: a handler that redraws polls again, and
    // so handles the rest of the queue nested inside its own call.
    while (!headless::theQueue.empty()) {
        headless::Event event = headless::theQueue.front();
        headless::theQueue.pop_front();
        if (event.kind == headless::Event::Key) {
            keyCallback(nullptr, event.key, 0, 1, 0);
        } else {
            headless::cursorX = event.x;
            headless::cursorY = event.y;
            mouseButtonCallback(nullptr, 0, 1, 0);
        }
    }
}

void cursorPos(double& x, double& y) {
    x = headless::cursorX;
    y = headless::cursorY;
}

bool windowShouldClose() { return headless::closeRequested; }

bool openWindow(const char**) {
    theStats.windowOpen = true;
    return true;
}

void finishWindowSetup() {}

void closeWindowSystem() { theStats.windowOpen = false; }

void pause(unsigned, unsigned millis) {
    ++theStats.pauses;
    theStats.pausedMillis += millis;
}

void quit(int status) {
    headless::theQueue.clear();
    throw Quit{status};
}

void abortProcess() { std::abort(); }

}  // namespace platform
