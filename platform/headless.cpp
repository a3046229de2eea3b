// Headless platform: nothing is shown and nothing sleeps. It counts what a
// window would have done and plays queued input through the game's callbacks.
#include "platform/headless.h"

#include <cstdlib>

#include "platform/input.h"
#include "platform/platform.h"
#include "platform/sound.h"

namespace headless {

namespace {
Stats theStats;
bool closeRequested = false;
std::string title;
int scale = 1;
int pictureWidth = 384, pictureHeight = 384;
std::string name;
int iconCount = 0;

bool padsOn = false;
std::deque<PadFrame> padFrames;
std::vector<platform::gamepad::State> padsNow;
double padClock = 0;
platform::gamepad::Reader reader;
}  // namespace

Stats& stats() { return theStats; }
void resetStats() {
    theStats = Stats();
    title.clear();
    scale = 1;
    pictureWidth = pictureHeight = 384;
    name.clear();
    iconCount = 0;
}
const std::string& windowTitle() { return title; }
int windowScale() { return scale; }
int pictureSize(int& height) {
    height = pictureHeight;
    return pictureWidth;
}
std::deque<Event>& queue() { return platform::eventQueue(); }
void queueKey(int key, int action) { queue().push_back(Event{Event::Key, key, 0, 0, action, 0}); }
void queueClick(double x, double y, int button, int action) {
    queue().push_back(Event{Event::Click, 0, x, y, action, button});
}
void queueChar(int codePoint) { queue().push_back(Event{Event::Char, codePoint, 0, 0, 1, 0}); }
void queueDrag(double x, double y) { queue().push_back(Event{Event::Drag, 0, x, y, 1, 0}); }
void requestClose(bool close) { closeRequested = close; }
const std::string& windowName() { return name; }
int windowIconCount() { return iconCount; }

void queuePadFrame(const PadFrame& frame) { padFrames.push_back(frame); }
std::size_t padFramesWaiting() { return padFrames.size(); }
platform::gamepad::Reader& padReader() { return reader; }
void resetGamepads() {
    padsOn = false;
    padFrames.clear();
    padsNow.clear();
    padClock = 0;
    reader = platform::gamepad::Reader();
}

// A poll's reading of the controllers.
void readPads() {
    if (!padsOn) return;
    if (!padFrames.empty()) {
        padsNow = padFrames.front().pads;
        padClock += padFrames.front().millis;
        padFrames.pop_front();
    }
    reader.update(padsNow.data(), static_cast<int>(padsNow.size()), padClock, platform::eventQueue());
}

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
    headless::readPads();
    deliverEvents();
}

bool windowShouldClose() { return headless::closeRequested; }
void keepWindowOpen() { headless::closeRequested = false; }
void setPictureSize(int width, int height) {
    headless::pictureWidth = width;
    headless::pictureHeight = height;
}

void setWindowScale(int s) { headless::scale = s; }
void syncSwapsToDisplay() {}
void setWindowTitle(const char* t) { headless::title = t; }

bool openWindow(const char**) {
    theStats.windowOpen = true;
    return true;
}

void setWindowIdentity(const char* n, const Picture*, int count) {
    headless::name = n;
    headless::iconCount = count;
}

void useGamepads(bool on) { headless::padsOn = on; }

void finishWindowSetup() {}

void closeWindowSystem() { theStats.windowOpen = false; }

void pause(unsigned, unsigned millis) {
    ++theStats.pauses;
    theStats.pausedMillis += millis;
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

namespace {
bool soundOpen = false;
bool isMuted = false;
}  // namespace

bool open(const std::string&, std::string&) {
    soundOpen = true;
    headless::theStats.sounds.reserve(1024);
    return true;
}

bool isOpen() { return soundOpen; }
void close() { soundOpen = false; }

void play(Effect effect) {
    if (soundOpen && !isMuted) headless::theStats.sounds.push_back(effect);
}

void setMuted(bool muted) { isMuted = muted; }
bool muted() { return isMuted; }

}  // namespace sound
