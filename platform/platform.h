// The one seam between the game and the machine it runs on.
//
// Everything that touches the window system, OpenGL, sleeping or ending the
// process goes through these functions. Two implementations exist, chosen at
// link time: platform/glfw.cpp (the real window) and platform/headless.cpp
// (tests and tools: counts frames and pauses, never sleeps, delivers scripted
// input through the same callbacks a window would).
#pragma once

#include <cstdint>

namespace platform {

// --- Frames (the OpenGL half of the screen buffer's presentation) ---

// glClear, identity, orthographic projection, viewport.
void beginFrame();
// Uploads the whole 384x384 BGR screen and draws it as one quad.
// fromDrawScreen tells a full screen refresh from an animation frame.
void presentFrame(const std::uint8_t* screen, bool fromDrawScreen);
// Replaces a rectangle of the screen texture (after binding it).
void updateTexture(int x, int y, int width, int height, const std::uint8_t* pixels);
void createTexture();
void deleteTexture();

// --- Window system ---

void swapBuffers();
// Delivers waiting input to the handlers set with setInputHandlers
// (platform/input.h).
void pollEvents();
bool windowShouldClose();
// Takes back a close the window system asked for (the editor asks first).
void keepWindowOpen();
// The picture the window shows, in screen pixels: the 384x384 screen at its
// top left, the rest drawn with updateTexture (the editor's panels). Before
// the window opens it sets the window's size; after, it resizes the window
// and makes the texture anew. 384x384 unless set.
void setPictureSize(int width, int height);
// The window's size before it opens: the 384x384 picture shown `scale` times
// larger, pixel for pixel (nearest neighbour), mouse positions mapped back;
// 0 picks the largest whole factor that fits about three quarters of the
// monitor's work area. 1 unless set.
void setWindowScale(int scale);
// Asks, before the window opens, for swaps that wait for the display's
// refresh (a swap interval of 1), so every presented frame is seen; unasked,
// the driver's default stands.
void syncSwapsToDisplay();
// The window's title while the press counter is on (the headless platform
// keeps it for the replay to report).
void setWindowTitle(const char* title);
// Creates the library and the window with its context; false if impossible,
// with a reason in `why`.
bool openWindow(const char** why);
// An RGBA picture, rows top to bottom.
struct Picture {
    int width, height;
    const std::uint8_t* rgba;
};
// Before the window opens: the name the desktop knows it by (on X11 both
// halves of WM_CLASS) and its icons. Unless set, the window system's
// defaults (on X11 the class is the title).
void setWindowIdentity(const char* name, const Picture* icons, int count);
// OpenGL state, input callbacks and clear colour, after the texture exists.
void finishWindowSetup();
void closeWindowSystem();

// Controllers (platform/gamepad.h): read at every poll once on, their
// buttons queued as keys. Off unless turned on.
void useGamepads(bool on);

// --- Time and process ---

// Sleep for whole milliseconds; `micros` is the request as the game made it.
void pause(unsigned micros, unsigned millis);
// Ends the program at once with `status`. The headless build throws a Quit
// that its driver catches instead, so the state at the quit can be read; the
// browser throws one too, and the game's main starts again on its title.
[[noreturn]] void quit(int status);
// Abnormal termination (a missing image pack).
[[noreturn]] void abortProcess();

struct Quit {
    int status;
};

}  // namespace platform
