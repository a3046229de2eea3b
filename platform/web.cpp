// The browser: the screen shown on an HTML canvas, input from html5.h callbacks, pauses as asynchronous sleeps.
//
// Built with emscripten and -sASYNCIFY: the game's blocking loop and its
// pauses stay as they are, and every wait hands control back to the browser,
// which paints the canvas and runs the input callbacks meanwhile. The
// callbacks only queue events; the game takes them when it polls, as on the
// desktop. Each presented frame is put on the canvas at the browser's next
// animation frame, so every one of them is painted, as a desktop swap synced
// to the display shows each. A quit starts the game again: a page has no
// process to end.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <cstdlib>

#include "platform/gamepad.h"
#include "platform/input.h"
#include "platform/platform.h"

namespace {

constexpr int Side = 384;
constexpr const char* Canvas = "#canvas";

// What the page keeps.
struct Page {
    bool windowOpen = false;
    // The screen in the canvas's order: red, green, blue, opaque alpha.
    std::uint8_t rgba[Side * Side * 4];
    // When the game last came back from a wait (performance.now(), ms).
    double resumedAt = 0;
    // The touch followed, and where it started (canvas pixels).
    long touchId = -1;
    double touchStartX = 0, touchStartY = 0;
    // Controllers through the Gamepad API, those in its standard mapping,
    // read at every poll (one connected meanwhile is among them); the
    // browser tells no keyboard repeat rate, so the reader keeps its own.
    bool gamepadsOn = false;
    platform::gamepad::Reader gamepadReader;
};
Page page;

// A key the game knows is kept from the page (arrows and Space would
// scroll it); any other, such as the browser's reload key, goes through, and
// so does every key held with Control, Alt or Meta (Control+R reloads).
EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    if (e->ctrlKey || e->altKey || e->metaKey) return false;
    const Key key = platform::keyFromDomCode(e->code);  // GameKeys, platform/input.h
    const int action = type == EMSCRIPTEN_EVENT_KEYUP ? 0 : e->repeat ? 2 : 1;
    platform::eventQueue().push_back(platform::Event{platform::Event::Key, key, 0, 0, action, 0});
    return key != KeyOther;
}

// The canvas is shown scaled: a point on it in CSS pixels, taken back to the
// canvas's own pixels.
void toCanvas(double cssX, double cssY, double& x, double& y) {
    double cssWidth = Side, cssHeight = Side;
    emscripten_get_element_css_size(Canvas, &cssWidth, &cssHeight);
    x = cssWidth > 0 ? cssX * Side / cssWidth : cssX;
    y = cssHeight > 0 ? cssY * Side / cssHeight : cssY;
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* e, void*) {
    double x = 0, y = 0;
    toCanvas(e->targetX, e->targetY, x, y);
    // The DOM numbers the right button 2 and the middle one 1, GLFW the other way.
    const int button = e->button == 0 ? 0 : e->button == 2 ? 1 : 2;
    const int action = type == EMSCRIPTEN_EVENT_MOUSEUP ? 0 : 1;
    platform::eventQueue().push_back(platform::Event{platform::Event::Click, 0, x, y, action, button});
    return true;
}

// --- Touch: a swipe on the canvas is an arrow key, a touch that stays put a
// tap (the screens make it Space on the tank, else a click). Handled here,
// the touch never becomes the browser's emulated mouse events.

// A swipe is a touch that travels at least one board cell (canvas pixels).
constexpr double SwipeDistance = 24;

void queueKeyPress(Key key) {
    platform::eventQueue().push_back(platform::Event{platform::Event::Key, key, 0, 0, 1, 0});
    platform::eventQueue().push_back(platform::Event{platform::Event::Key, key, 0, 0, 0, 0});
}

EM_BOOL onTouch(int type, const EmscriptenTouchEvent* e, void*) {
    for (int i = 0; i < e->numTouches; ++i) {
        const EmscriptenTouchPoint& t = e->touches[i];
        if (!t.isChanged) continue;
        double x = 0, y = 0;
        toCanvas(t.targetX, t.targetY, x, y);
        if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
            if (page.touchId < 0) {
                page.touchId = t.identifier;
                page.touchStartX = x;
                page.touchStartY = y;
            }
        } else if (t.identifier == page.touchId && type != EMSCRIPTEN_EVENT_TOUCHMOVE) {
            page.touchId = -1;
            if (type == EMSCRIPTEN_EVENT_TOUCHCANCEL) continue;
            const double dx = x - page.touchStartX, dy = y - page.touchStartY;
            if (dx * dx + dy * dy < SwipeDistance * SwipeDistance)
                platform::eventQueue().push_back(platform::Event{platform::Event::Tap, 0, page.touchStartX, page.touchStartY, 1, 0});
            else if (dx * dx > dy * dy)
                queueKeyPress(dx > 0 ? KeyRight : KeyLeft);
            else
                queueKeyPress(dy > 0 ? KeyDown : KeyUp);
        }
    }
    return true;
}

// --- The canvas, and the page's account of each frame.

// Waits for the browser's next animation frame (or a tenth of a second when
// the page is not being painted) and there copies the RGBA picture into the
// canvas, through a fresh view of the module's memory (growing the memory
// replaces its buffer). The page hears how long the frame's composition took
// since the game last resumed, how long the copy took, and whether it was a
// whole screen.
EM_ASYNC_JS(void, webShowAtNextFrame, (const std::uint8_t* pixels, int side, double composing, int wholeScreen), {
    await new Promise(resolve => {
        let done = false;
        const go = () => { if (!done) { done = true; resolve(); } };
        requestAnimationFrame(go);
        setTimeout(go, 100);
    });
    const canvas = Module['canvas'];
    const context = canvas.brimvaleContext || (canvas.brimvaleContext = canvas.getContext('2d'));
    const started = performance.now();
    const view = new Uint8ClampedArray(HEAPU8.buffer, pixels, side * side * 4);
    context.putImageData(new ImageData(view, side, side), 0, 0);
    if (Module['onFrameComposed']) Module['onFrameComposed'](composing, performance.now() - started, wholeScreen != 0);
});

EM_JS(void, webRestarting, (int status), {
    if (Module['onGameRestarted']) Module['onGameRestarted'](status);
});

void resumed() { page.resumedAt = emscripten_get_now(); }

// The controllers, read at every poll.
void readGamepads() {
    constexpr int MaxPads = 8;
    platform::gamepad::State pads[MaxPads];
    int count = 0;
    if (emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
        const int connected = emscripten_get_num_gamepads();
        for (int i = 0; i < connected && count < MaxPads; ++i) {
            EmscriptenGamepadEvent e;
            if (emscripten_get_gamepad_status(i, &e) != EMSCRIPTEN_RESULT_SUCCESS || !e.connected ||
                std::strcmp(e.mapping, "standard") != 0)
                continue;
            platform::gamepad::State& pad = pads[count++];
            for (const auto& row : platform::gamepad::table)
                pad.pressed[row.button] = row.standardIndex < e.numButtons && e.digitalButton[row.standardIndex];
            pad.stickX = e.numAxes > platform::gamepad::StickXAxis ? static_cast<float>(e.axis[platform::gamepad::StickXAxis]) : 0;
            pad.stickY = e.numAxes > platform::gamepad::StickYAxis ? static_cast<float>(e.axis[platform::gamepad::StickYAxis]) : 0;
        }
    }
    page.gamepadReader.update(pads, count, emscripten_get_now(), platform::eventQueue());
}

void toRgba(const std::uint8_t* bgr) {
    std::uint8_t* out = page.rgba;
    for (int i = 0; i < Side * Side; ++i, bgr += 3, out += 4) {
        out[0] = bgr[2];
        out[1] = bgr[1];
        out[2] = bgr[0];
        out[3] = 255;
    }
}

}  // namespace

namespace platform {

void beginFrame() {}

void presentFrame(const std::uint8_t* screen, bool fromDrawScreen) {
    if (!page.windowOpen) return;
    const double composing = emscripten_get_now() - page.resumedAt;
    toRgba(screen);
    webShowAtNextFrame(page.rgba, Side, composing, fromDrawScreen);
    resumed();
}

// The whole screen goes to the canvas with every presentation.
void updateTexture(int, int, int, int, const std::uint8_t*) {}
void createTexture() {}
void deleteTexture() {}

// The presentation itself waited for the browser's frame.
void swapBuffers() {}

void pollEvents() {
    if (!page.windowOpen) return;
    if (page.gamepadsOn) readGamepads();
    deliverEvents();
}

// The page scales the canvas itself, and the tab keeps the page's title.
void setWindowScale(int) {}
// Every frame already waits for the browser's next animation frame.
void syncSwapsToDisplay() {}
void setWindowTitle(const char*) {}

// A page has no window of its own to name, and shows the site's icon.
void setWindowIdentity(const char*, const Picture*, int) {}
void useGamepads(bool on) { page.gamepadsOn = on; }

// A page has no close button of the game's own: it ends only by quitting.
bool windowShouldClose() { return false; }

bool openWindow(const char**) {
    page.windowOpen = true;
    resumed();
    return true;
}

void finishWindowSetup() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, onKey);
    emscripten_set_mousedown_callback(Canvas, nullptr, true, onMouse);
    emscripten_set_mouseup_callback(Canvas, nullptr, true, onMouse);
    emscripten_set_touchstart_callback(Canvas, nullptr, true, onTouch);
    emscripten_set_touchmove_callback(Canvas, nullptr, true, onTouch);
    emscripten_set_touchend_callback(Canvas, nullptr, true, onTouch);
    emscripten_set_touchcancel_callback(Canvas, nullptr, true, onTouch);
}

void closeWindowSystem() {
    emscripten_html5_remove_all_event_listeners();
    eventQueue().clear();
    page.touchId = -1;
    page.windowOpen = false;
}

void pause(unsigned, unsigned millis) {
    if (millis == 0) return;
    emscripten_sleep(millis);
    resumed();
}

// The page stays: the quit unwinds to the game's main, which starts the
// game again on its title screen. The input waiting is dropped.
void quit(int status) {
    closeWindowSystem();
    webRestarting(status);
    throw Quit{status};
}

void abortProcess() { std::abort(); }

}  // namespace platform
