// The game's own key codes, and the input handlers a platform delivers to.
#pragma once

// The keys the game knows. Each platform translates its window system's keys
// into these; any other key arrives as KeyOther, which no screen uses.
enum Key : int {
    KeyOther = -1,
    KeySpace = 32,
    KeyA = 65,
    KeyD = 68,
    KeyR = 82,
    KeyS = 83,
    KeyW = 87,
    KeyEscape = 256,
    KeyEnter = 257,
    KeyRight = 262,
    KeyLeft = 263,
    KeyDown = 264,
    KeyUp = 265,
    KeyPageUp = 266,
    KeyPageDown = 267,
};

namespace platform {

// A key press (or an auto-repeat of one), and a left-button press at a
// window pixel.
using KeyHandler = void (*)(int key);
using ClickHandler = void (*)(int x, int y);

// The handlers pollEvents delivers to; until they are set input is dropped.
void setInputHandlers(KeyHandler onKey, ClickHandler onClick);

// What every platform does with its window system's input, in one place:
// `action` 0 is a release (ignored), 1 a press, 2 a repeat; a click is a
// press of button 0, at the cursor truncated to whole pixels.
void deliverKey(int key, int action);
void deliverButton(int button, int action, double x, double y);

}  // namespace platform
