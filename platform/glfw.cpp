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

GLFWwindow* window = nullptr;
GLuint screenTexture = 0;
bool textureExists = false;
int requestedScale = 1;  // 0: fit the monitor
bool swapsSynced = false;  // the player set asks for a swap interval of 1
int scale = 1;           // window pixels per screen pixel, once the window is open
int viewWidth = 384, viewHeight = 384;  // the framebuffer the picture fills
// The picture the window shows: the game's 384x384 screen at its top left,
// and beside or below it what the editor draws (platform::setPictureSize).
int pictureWidth = 384, pictureHeight = 384;
bool leftButtonHeld = false;

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

// The window's identity (the player set); empty: GLFW's defaults.
const char* identityName = nullptr;
GLFWimage identityIcons[4];
int identityIconCount = 0;

bool gamepadsOn = false;
platform::gamepad::Reader gamepadReader;

// The keyboard's own auto-repeat when an X server tells it (asked on a
// connection of our own, so that any GLFW build will do), for held
// controller buttons; else the reader's default.
void takeKeyboardRepeatRate() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    unsigned delay = 0, interval = 0;
    if (XkbGetAutoRepeatRate(display, XkbUseCoreKbd, &delay, &interval) && delay > 0 && interval > 0)
        gamepadReader.setRepeatRate(platform::gamepad::RepeatRate{static_cast<double>(delay),
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
    gamepadReader.update(pads, count, glfwGetTime() * 1000, platform::eventQueue());
}

// The callbacks only queue: the game's handlers redraw, and a redraw polls,
// which GLFW forbids from inside its own callbacks.
void onKey(GLFWwindow*, int key, int, int action, int mods) {
    const Key k = platform::keyFromDesktop(key, (mods & GLFW_MOD_CONTROL) != 0);
    platform::eventQueue().push_back(platform::Event{platform::Event::Key, k, 0, 0, action, 0});
}

void onChar(GLFWwindow*, unsigned codePoint) {
    platform::eventQueue().push_back(
        platform::Event{platform::Event::Char, static_cast<int>(codePoint), 0, 0, 1, 0});
}

void onMouseButton(GLFWwindow* w, int button, int action, int) {
    double x = 0, y = 0;
    glfwGetCursorPos(w, &x, &y);
    // Back to the 384x384 picture's own pixels.
    x /= scale;
    y /= scale;
    if (button == GLFW_MOUSE_BUTTON_LEFT) leftButtonHeld = action != GLFW_RELEASE;
    platform::eventQueue().push_back(platform::Event{platform::Event::Click, 0, x, y, action, button});
}

// The pointer moved with the left button held: a drag (only the editor takes it).
void onCursor(GLFWwindow*, double x, double y) {
    if (!leftButtonHeld) return;
    platform::eventQueue().push_back(platform::Event{platform::Event::Drag, 0, x / scale, y / scale, 1, 0});
}

// The picture's side that the window's scale is fitted to.
int pictureSide() { return std::max(pictureWidth, pictureHeight); }

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
    int fit = std::max(1, room * 3 / 4 / pictureSide());
    float xs = 1, ys = 1;
    glfwGetMonitorContentScale(monitor, &xs, &ys);
    const int density = static_cast<int>(std::lround(std::min(xs, ys)));
    if (density > fit && pictureSide() * density <= room) fit = density;
    return std::min(fit, 8);
}

}  // namespace

namespace platform {

// Before the window exists (the drawing made while the first level starts),
// every frame operation passes without effect.

void beginFrame() {
    if (!window) return;
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glOrtho(0, pictureWidth, pictureHeight, 0, -1, 1);
    glViewport(0, 0, viewWidth, viewHeight);
}

void presentFrame(const std::uint8_t* screen, bool) {
    if (!window || !textureExists) return;
    glBindTexture(GL_TEXTURE_2D, screenTexture);
    glEnable(GL_TEXTURE_2D);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 384, 384, GL_BGR, GL_UNSIGNED_BYTE, screen);
    glBegin(GL_QUADS);
    for (int v = 0; v < 4; ++v) {
        const float s = quadCorners[2 * v], t = quadCorners[2 * v + 1];
        glTexCoord2f(s, t);
        glVertex2f(s * pictureWidth, t * pictureHeight);
    }
    glEnd();
}

void updateTexture(int x, int y, int width, int height, const std::uint8_t* pixels) {
    if (!window || !textureExists) return;
    glBindTexture(GL_TEXTURE_2D, screenTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels);
}

void createTexture() {
    glGenTextures(1, &screenTexture);
    glBindTexture(GL_TEXTURE_2D, screenTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, pictureWidth, pictureHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    textureExists = true;
}

void deleteTexture() {
    if (!textureExists) return;
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &screenTexture);
    textureExists = false;
}

void swapBuffers() {
    // GLFW aborts on a swap without a window.
    if (window) glfwSwapBuffers(window);
}

void pollEvents() {
    if (!window) return;
    glfwPollEvents();
    if (gamepadsOn) readGamepads();
    deliverEvents();
}

bool windowShouldClose() { return glfwWindowShouldClose(window); }

void keepWindowOpen() {
    if (window) glfwSetWindowShouldClose(window, 0);
}

void setPictureSize(int width, int height) {
    if (width == pictureWidth && height == pictureHeight) return;
    pictureWidth = width;
    pictureHeight = height;
    if (!window) return;
    glfwSetWindowSize(window, pictureWidth * scale, pictureHeight * scale);
    glfwGetFramebufferSize(window, &viewWidth, &viewHeight);
    if (textureExists) {
        deleteTexture();
        createTexture();
    }
}

void setWindowScale(int s) { requestedScale = s; }

void syncSwapsToDisplay() { swapsSynced = true; }

void setWindowTitle(const char* title) {
    if (window) glfwSetWindowTitle(window, title);
}

void setWindowIdentity(const char* name, const Picture* icons, int count) {
    identityName = name;
    identityIconCount = std::min(count, 4);
    for (int i = 0; i < identityIconCount; ++i)
        identityIcons[i] = GLFWimage{icons[i].width, icons[i].height, const_cast<unsigned char*>(icons[i].rgba)};
}

void useGamepads(bool on) { gamepadsOn = on; }

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
    if (identityName) {
        glfwWindowHintString(GLFW_X11_CLASS_NAME, identityName);
        glfwWindowHintString(GLFW_X11_INSTANCE_NAME, identityName);
        // Shown once it has its icon, so that the desktop never sees it without.
        glfwWindowHint(GLFW_VISIBLE, 0);
    }
    scale = requestedScale > 0 ? requestedScale : fittingScale();
    window = glfwCreateWindow(pictureWidth * scale, pictureHeight * scale, "Brimvale (port by Orlenko)", nullptr, nullptr);
    if (!window) {
        const char* description = nullptr;
        glfwGetError(&description);
        *why = description ? description : "the window or its OpenGL 2.1 context could not be created";
        glfwTerminate();
        return false;
    }
    if (identityIconCount > 0) glfwSetWindowIcon(window, identityIconCount, identityIcons);
    if (identityName) glfwShowWindow(window);
    if (gamepadsOn) takeKeyboardRepeatRate();
    glfwMakeContextCurrent(window);
    if (swapsSynced) glfwSwapInterval(1);
    glfwGetFramebufferSize(window, &viewWidth, &viewHeight);
    return true;
}

void finishWindowSetup() {
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetCharCallback(window, onChar);
    glfwSetCursorPosCallback(window, onCursor);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
}

void closeWindowSystem() {
    deleteTexture();
    glfwTerminate();
    window = nullptr;
}

void pause(unsigned, unsigned millis) {
    if (millis > 0) usleep(millis * 1000);
}

void quit(int status) {
    // Called from an input handler, never from a GLFW callback: the window
    // system can be shut down here.
    if (window) closeWindowSystem();
    std::exit(status);
}

void abortProcess() { std::abort(); }

}  // namespace platform
