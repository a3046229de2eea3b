// Headless platform: nothing is shown and nothing sleeps. It counts what a
// window would have done and plays queued input through the game's callbacks.
#include "platform/headless.h"

#include <cstdlib>

#include "platform/input.h"
#include "platform/platform.h"
#include "platform/sound.h"

namespace headless {

namespace {

// Everything the headless machine keeps: what a window would have shown
// (reset with the stats), the scripted controllers, the counting sound.
struct Machine {
    struct Window {
        Stats stats;
        std::string title;
        int scale = 1;
        std::string name;
        int iconCount = 0;
    } window;
    bool closeRequested = false;
    struct Pads {
        bool on = false;
        std::deque<PadFrame> frames;
        std::vector<platform::gamepad::State> now;
        double clock = 0;
        platform::gamepad::Reader reader;
    } pads;
    struct Sound {
        bool open = false;
        bool muted = false;
    } sound;
};
Machine machine;

}  // namespace

Stats& stats() { return machine.window.stats; }
void resetStats() { machine.window = Machine::Window{}; }
const std::string& windowTitle() { return machine.window.title; }
int windowScale() { return machine.window.scale; }
std::deque<Event>& queue() { return platform::eventQueue(); }
void queueKey(int key, int action) { queue().push_back(Event{Event::Key, key, 0, 0, action, 0}); }
void queueClick(double x, double y, int button, int action) {
    queue().push_back(Event{Event::Click, 0, x, y, action, button});
}
void requestClose(bool close) { machine.closeRequested = close; }
const std::string& windowName() { return machine.window.name; }
int windowIconCount() { return machine.window.iconCount; }

void queuePadFrame(const PadFrame& frame) { machine.pads.frames.push_back(frame); }
std::size_t padFramesWaiting() { return machine.pads.frames.size(); }
platform::gamepad::Reader& padReader() { return machine.pads.reader; }
void resetGamepads() { machine.pads = Machine::Pads{}; }

// A poll's reading of the controllers.
void readPads() {
    Machine::Pads& pads = machine.pads;
    if (!pads.on) return;
    if (!pads.frames.empty()) {
        pads.now = pads.frames.front().pads;
        pads.clock += pads.frames.front().millis;
        pads.frames.pop_front();
    }
    pads.reader.update(pads.now.data(), static_cast<int>(pads.now.size()), pads.clock, platform::eventQueue());
}

}  // namespace headless

namespace platform {

void beginFrame() {}

void presentFrame(const std::uint8_t*, bool fromDrawScreen) {
    if (fromDrawScreen)
        ++headless::stats().screenFrames;
    else
        ++headless::stats().animationFrames;
}

void updateTexture(int, int, int, int, const std::uint8_t*) { ++headless::stats().textureUpdates; }
void createTexture() { headless::stats().textureExists = true; }
void deleteTexture() { headless::stats().textureExists = false; }
void swapBuffers() { ++headless::stats().swaps; }

void pollEvents() {
    ++headless::stats().polls;
    headless::readPads();
    deliverEvents();
}

bool windowShouldClose() { return headless::machine.closeRequested; }

void setWindowScale(int s) { headless::machine.window.scale = s; }
void syncSwapsToDisplay() {}
void setWindowTitle(const char* t) { headless::machine.window.title = t; }

bool openWindow(const char**) {
    headless::stats().windowOpen = true;
    return true;
}

void setWindowIdentity(const char* n, const Picture*, int count) {
    headless::machine.window.name = n;
    headless::machine.window.iconCount = count;
}

void useGamepads(bool on) { headless::machine.pads.on = on; }

void finishWindowSetup() {}

void closeWindowSystem() { headless::stats().windowOpen = false; }

void pause(unsigned, unsigned millis) {
    ++headless::stats().pauses;
    headless::stats().pausedMillis += millis;
}

void quit(int status) {
    eventQueue().clear();
    throw Quit{status};
}

void abortProcess() { std::abort(); }

}  // namespace platform

// The counting sound: open always succeeds and reads nothing; each effect
// played is recorded in the stats.
namespace sound {

bool open(const std::string&, std::string&) {
    headless::machine.sound.open = true;
    headless::stats().sounds.reserve(1024);
    return true;
}

bool isOpen() { return headless::machine.sound.open; }
void close() { headless::machine.sound.open = false; }

void play(Effect effect) {
    if (headless::machine.sound.open && !headless::machine.sound.muted) headless::stats().sounds.push_back(effect);
}

void setMuted(bool muted) { headless::machine.sound.muted = muted; }
bool muted() { return headless::machine.sound.muted; }

}  // namespace sound
