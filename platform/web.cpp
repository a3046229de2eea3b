// The browser: the screen shown on an HTML canvas, input from html5.h callbacks, pauses as asynchronous sleeps.
//
// Built with emscripten and -sASYNCIFY: the game's blocking loop and its
// pauses stay as they are, and every wait hands control back to the browser,
// which paints the canvas and runs the input callbacks meanwhile. The
// callbacks only queue events; the game takes them when it polls, as on the
// desktop.
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

bool windowOpen = false;
// The last presentation came from a full screen refresh (the main loop or a
// redraw inside a move); its swap waits for the browser's next frame.
bool screenPresented = false;
// The screen in the canvas's order: red, green, blue, opaque alpha.
std::uint8_t rgba[Side * Side * 4];
// When the game last came back from a wait (performance.now(), ms).
double resumedAt = 0;

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

// The canvas is shown scaled; a click is taken back to its own pixels.
EM_BOOL onMouse(int type, const EmscriptenMouseEvent* e, void*) {
    double cssWidth = Side, cssHeight = Side;
    emscripten_get_element_css_size(Canvas, &cssWidth, &cssHeight);
    const double x = cssWidth > 0 ? e->targetX * Side / cssWidth : e->targetX;
    const double y = cssHeight > 0 ? e->targetY * Side / cssHeight : e->targetY;
    // The DOM numbers the right button 2 and the middle one 1, GLFW the other way.
    const int button = e->button == 0 ? 0 : e->button == 2 ? 1 : 2;
    const int action = type == EMSCRIPTEN_EVENT_MOUSEUP ? 0 : 1;
    platform::eventQueue().push_back(platform::Event{platform::Event::Click, 0, x, y, action, button});
    return true;
}

// Copies the RGBA picture into the canvas through a fresh view of the
// module's memory (growing the memory replaces its buffer).
EM_JS(void, webPutImage, (const std::uint8_t* pixels, int side), {
    const canvas = Module['canvas'];
    const context = canvas.brimvaleContext || (canvas.brimvaleContext = canvas.getContext('2d'));
    const view = new Uint8ClampedArray(HEAPU8.buffer, pixels, side * side * 4);
    context.putImageData(new ImageData(view, side, side), 0, 0);
});

// One frame of the browser: the next animation frame, or a tenth of a
// second when the page is not being painted.
EM_ASYNC_JS(void, webNextFrame, (), {
    await new Promise(resolve => {
        let done = false;
        const go = () => { if (!done) { done = true; resolve(); } };
        requestAnimationFrame(go);
        setTimeout(go, 100);
    });
});

// The page's own account of a presented frame: how long its composition
// took since the game last resumed, how long the copy to the canvas took,
// and whether it was a whole screen.
EM_JS(void, webFrameComposed, (double composing, double showing, int wholeScreen), {
    if (Module['onFrameComposed']) Module['onFrameComposed'](composing, showing, wholeScreen != 0);
});

EM_JS(void, webStopped, (int status), {
    if (Module['onGameStopped']) Module['onGameStopped'](status);
});

void resumed() { resumedAt = emscripten_get_now(); }

// Controllers through the Gamepad API, those in its standard mapping, read
// at every poll (one connected meanwhile is among them); the browser tells
// no keyboard repeat rate, so the reader keeps its own.
bool gamepadsOn = false;
platform::gamepad::Reader gamepadReader;

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
    gamepadReader.update(pads, count, emscripten_get_now(), platform::eventQueue());
}

void toRgba(const std::uint8_t* bgr) {
    std::uint8_t* out = rgba;
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
    if (!windowOpen) return;
    const double composed = emscripten_get_now();
    toRgba(screen);
    webPutImage(rgba, Side);
    webFrameComposed(composed - resumedAt, emscripten_get_now() - composed, fromDrawScreen);
    screenPresented = fromDrawScreen;
}

// The whole screen goes to the canvas with every presentation.
void updateTexture(int, int, int, int, const std::uint8_t*) {}
void createTexture() {}
void deleteTexture() {}

// After a whole screen the browser gets a frame to paint it and to run the
// input callbacks; an animation frame is followed by the game's own pause.
void swapBuffers() {
    if (!windowOpen || !screenPresented) return;
    screenPresented = false;
    webNextFrame();
    resumed();
}

void pollEvents() {
    if (!windowOpen) return;
    if (gamepadsOn) readGamepads();
    deliverEvents();
}

// The page scales the canvas itself, and the tab keeps the page's title.
void setWindowScale(int) {}
void setWindowTitle(const char*) {}

// A page has no window of its own to name, and shows the site's icon.
void setWindowIdentity(const char*, const Picture*, int) {}
void useGamepads(bool on) { gamepadsOn = on; }

// A page has no close button of the game's own: it ends only by quitting.
bool windowShouldClose() { return false; }

bool openWindow(const char**) {
    windowOpen = true;
    resumed();
    return true;
}

void finishWindowSetup() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, onKey);
    emscripten_set_mousedown_callback(Canvas, nullptr, true, onMouse);
    emscripten_set_mouseup_callback(Canvas, nullptr, true, onMouse);
}

void closeWindowSystem() {
    emscripten_html5_remove_all_event_listeners();
    eventQueue().clear();
    windowOpen = false;
}

void pause(unsigned, unsigned millis) {
    if (millis == 0) return;
    emscripten_sleep(millis);
    resumed();
}

// The game stops for good: no more input, the page says how to start
// again, and the runtime ends without returning into the game.
void quit(int status) {
    closeWindowSystem();
    webStopped(status);
    emscripten_force_exit(status);
    __builtin_unreachable();
}

void abortProcess() { std::abort(); }

}  // namespace platform
