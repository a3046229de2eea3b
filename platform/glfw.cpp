// The real window: GLFW for the window and input, fixed-function OpenGL to
// show the screen buffer as one textured quad.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unistd.h>

#include "platform/gamepad.h"
#include "platform/input.h"
#include "platform/platform.h"

// After the game's own headers: Xlib's macros would clash with them.
#include <X11/XKBlib.h>

namespace {

// What the window system keeps.
struct Desktop {
    GLFWwindow* window = nullptr;
    GLuint screenTexture = 0;
    bool textureExists = false;
    int requestedScale = 1;    // 0: fit the monitor
    bool swapsSynced = false;  // the player set asks for a swap interval of 1
    int scale = 1;             // window pixels per screen pixel, once the window is open
    int viewWidth = 384, viewHeight = 384;  // the framebuffer the picture fills
    // The window's identity (the player set); empty: GLFW's defaults.
    const char* identityName = nullptr;
    GLFWimage identityIcons[4];
    int identityIconCount = 0;
    bool gamepadsOn = false;
    platform::gamepad::Reader gamepadReader;
};
Desktop desktop;

// The quad's corners, read as (x, y) pairs, times 384.
const float quadCorners[8] = {0, 0, 0, 1, 1, 1, 1, 0};

// The game's key numbers are GLFW's own, so GameKeys (platform/input.h) is
// read as it is.
static_assert(KeySpace == GLFW_KEY_SPACE && KeyA == GLFW_KEY_A && KeyEscape == GLFW_KEY_ESCAPE &&
                  KeyBackspace == GLFW_KEY_BACKSPACE && KeyUp == GLFW_KEY_UP && KeyPageDown == GLFW_KEY_PAGE_DOWN,
              "the game's key numbers are GLFW's");

// The gamepad table's GLFW column is GLFW's own numbering.
static_assert(GLFW_GAMEPAD_BUTTON_A == 0 && GLFW_GAMEPAD_BUTTON_B == 1 && GLFW_GAMEPAD_BUTTON_X == 2 &&
              GLFW_GAMEPAD_BUTTON_Y == 3 && GLFW_GAMEPAD_BUTTON_LEFT_BUMPER == 4 &&
              GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER == 5 && GLFW_GAMEPAD_BUTTON_START == 7 &&
              GLFW_GAMEPAD_BUTTON_DPAD_UP == 11 && GLFW_GAMEPAD_BUTTON_DPAD_RIGHT == 12 &&
              GLFW_GAMEPAD_BUTTON_DPAD_DOWN == 13 && GLFW_GAMEPAD_BUTTON_DPAD_LEFT == 14 &&
              GLFW_GAMEPAD_AXIS_LEFT_X == platform::gamepad::StickXAxis &&
              GLFW_GAMEPAD_AXIS_LEFT_Y == platform::gamepad::StickYAxis);

// The keyboard's own auto-repeat when an X server tells it (asked on a
// connection of our own, so that any GLFW build will do), for held
// controller buttons; else the reader's default.
void takeKeyboardRepeatRate() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    unsigned delay = 0, interval = 0;
    if (XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &delay, &interval) && delay > 0 && interval > 0)
        desktop.gamepadReader.setRepeatRate(platform::gamepad::RepeatRate{static_cast<double>(delay),
                                                                  static_cast<double>(interval)});
    XCloseDisplay(display);
}

// Every connected controller GLFW has a mapping for, read into the queue;
// one plugged in meanwhile is among them (GLFW notices it in the poll).
void readGamepads() {
    platform::gamepad::State pads[GLFW_JOYSTICK_LAST + 1];
    int count = 0;
    for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
        GLFWgamepadstate state;
        if (!glfwJoystickIsGamepad(jid) || !glfwGetGamepadState(jid, &state)) continue;
        platform::gamepad::State& pad = pads[count++];
        for (const auto& row : platform::gamepad::table) pad.pressed[row.button] = state.buttons[row.glfwIndex] == GLFW_PRESS;
        pad.stickX = state.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
        pad.stickY = state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
    }
    desktop.gamepadReader.update(pads, count, glfwGetTime() * 1000, platform::eventQueue());
}

// The callbacks only queue: the game's handlers redraw, and a redraw polls,
// which GLFW forbids from inside its own callbacks.
void onKey(GLFWwindow*, int key, int, int action, int) {
    platform::eventQueue().push_back(platform::Event{platform::Event::Key, platform::keyFromDesktop(key), 0, 0, action, 0});
}

void onMouseButton(GLFWwindow* w, int button, int action, int) {
    double x = 0, y = 0;
    glfwGetCursorPos(w, &x, &y);
    // Back to the 384x384 picture's own pixels.
    x /= desktop.scale;
    y /= desktop.scale;
    platform::eventQueue().push_back(platform::Event{platform::Event::Click, 0, x, y, action, button});
}

// The largest whole factor whose window fits about three quarters of the
// primary monitor's work area; a desktop content scale above 1 (a
// high-density display) asks for at least that factor where it still fits
// the whole work area.
int fittingScale() {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (!monitor) return 1;
    int x = 0, y = 0, width = 0, height = 0;
    glfwGetMonitorWorkarea(monitor, &x, &y, &width, &height);
    const int room = std::min(width, height);
    int fit = std::max(1, room * 3 / 4 / 384);
    float xs = 1, ys = 1;
    glfwGetMonitorContentScale(monitor, &xs, &ys);
    const int density = static_cast<int>(std::lround(std::min(xs, ys)));
    if (density > fit && 384 * density <= room) fit = density;
    return std::min(fit, 8);
}

}  // namespace

namespace platform {

// Before the window exists (the drawing made while the first level starts),
// every frame operation passes without effect.

void beginFrame() {
    if (!desktop.window) return;
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glOrtho(0, 384, 384, 0, -1, 1);
    glViewport(0, 0, desktop.viewWidth, desktop.viewHeight);
}

void presentFrame(const std::uint8_t* screen, bool) {
    if (!desktop.window || !desktop.textureExists) return;
    glBindTexture(GL_TEXTURE_2D, desktop.screenTexture);
    glEnable(GL_TEXTURE_2D);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 384, 384, GL_BGR, GL_UNSIGNED_BYTE, screen);
    glBegin(GL_QUADS);
    for (int v = 0; v < 4; ++v) {
        const float s = quadCorners[2 * v], t = quadCorners[2 * v + 1];
        glTexCoord2f(s, t);
        glVertex2f(s * 384, t * 384);
    }
    glEnd();
}

void updateTexture(int x, int y, int width, int height, const std::uint8_t* pixels) {
    if (!desktop.window || !desktop.textureExists) return;
    glBindTexture(GL_TEXTURE_2D, desktop.screenTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels);
}

void createTexture() {
    glGenTextures(1, &desktop.screenTexture);
    glBindTexture(GL_TEXTURE_2D, desktop.screenTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 384, 384, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    desktop.textureExists = true;
}

void deleteTexture() {
    if (!desktop.textureExists) return;
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &desktop.screenTexture);
    desktop.textureExists = false;
}

void swapBuffers() {
    // GLFW aborts on a swap without a window.
    if (desktop.window) glfwSwapBuffers(desktop.window);
}

void pollEvents() {
    if (!desktop.window) return;
    glfwPollEvents();
    if (desktop.gamepadsOn) readGamepads();
    deliverEvents();
}

bool windowShouldClose() { return glfwWindowShouldClose(desktop.window); }

void setWindowScale(int s) { desktop.requestedScale = s; }

void syncSwapsToDisplay() { desktop.swapsSynced = true; }

void setWindowTitle(const char* title) {
    if (desktop.window) glfwSetWindowTitle(desktop.window, title);
}

void setWindowIdentity(const char* name, const Picture* icons, int count) {
    desktop.identityName = name;
    desktop.identityIconCount = std::min(count, 4);
    for (int i = 0; i < desktop.identityIconCount; ++i)
        desktop.identityIcons[i] = GLFWimage{icons[i].width, icons[i].height, const_cast<unsigned char*>(icons[i].rgba)};
}

void useGamepads(bool on) { desktop.gamepadsOn = on; }

bool openWindow(const char** why) {
    if (!glfwInit()) {
        const char* description = nullptr;
        glfwGetError(&description);
        *why = description ? description : "the window system could not start (is there a display?)";
        return false;
    }
    glfwWindowHint(GLFW_RESIZABLE, 0);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_SAMPLES, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 1);
    if (desktop.identityName) {
        glfwWindowHintString(GLFW_X11_CLASS_NAME, desktop.identityName);
        glfwWindowHintString(GLFW_X11_INSTANCE_NAME, desktop.identityName);
        // Shown once it has its icon, so that the desktop never sees it without.
        glfwWindowHint(GLFW_VISIBLE, 0);
    }
    desktop.scale = desktop.requestedScale > 0 ? desktop.requestedScale : fittingScale();
    desktop.window = glfwCreateWindow(384 * desktop.scale, 384 * desktop.scale, "Brimvale (port by Orlenko)", nullptr, nullptr);
    if (!desktop.window) {
        const char* description = nullptr;
        glfwGetError(&description);
        *why = description ? description : "the window or its OpenGL 2.1 context could not be created";
        glfwTerminate();
        return false;
    }
    if (desktop.identityIconCount > 0) glfwSetWindowIcon(desktop.window, desktop.identityIconCount, desktop.identityIcons);
    if (desktop.identityName) glfwShowWindow(desktop.window);
    if (desktop.gamepadsOn) takeKeyboardRepeatRate();
    glfwMakeContextCurrent(desktop.window);
    if (desktop.swapsSynced) glfwSwapInterval(1);
    glfwGetFramebufferSize(desktop.window, &desktop.viewWidth, &desktop.viewHeight);
    return true;
}

void finishWindowSetup() {
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glfwSetKeyCallback(desktop.window, onKey);
    glfwSetMouseButtonCallback(desktop.window, onMouseButton);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
}

void closeWindowSystem() {
    deleteTexture();
    glfwTerminate();
    desktop.window = nullptr;
}

void pause(unsigned, unsigned millis) {
    if (millis > 0) usleep(millis * 1000);
}

void quit(int status) {
    // Called from an input handler, never from a GLFW callback: the window
    // system can be shut down here.
    if (desktop.window) closeWindowSystem();
    std::exit(status);
}

void abortProcess() { std::abort(); }

}  // namespace platform
