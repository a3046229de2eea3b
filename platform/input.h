// Input: the game's own key codes, the queue of waiting events, and the
// handlers the queue is delivered to.
#pragma once

#include <deque>

// The keys the game knows. Each platform translates its window system's keys
// into these through GameKeys below; any other key arrives as KeyOther, which
// no screen uses. The values are GLFW's own key numbers.
enum Key : int {
    KeyOther = -1,
    KeySpace = 32,
    KeyA = 65,
    KeyD = 68,
    KeyE = 69,  // the highlighted level opened in the editor, in the player set
    KeyH = 72,  // a hint, in the player set
    KeyM = 77,  // mutes and unmutes the sound, when sound is on
    KeyR = 82,
    KeyS = 83,
    KeyU = 85,
    KeyV = 86,  // the own best win played back, in the player set
    KeyW = 87,
    KeyEscape = 256,
    KeyEnter = 257,
    KeyBackspace = 259,
    KeyRight = 262,
    KeyLeft = 263,
    KeyDown = 264,
    KeyUp = 265,
    KeyPageUp = 266,
    KeyPageDown = 267,
    KeyF2 = 291,  // the editor: the level's title as text
    KeyF3 = 292,  // the editor: the level's idea as text
    // No key of a keyboard: the browser's on-screen S button, S where it
    // shows a way to win (paused or lost) and nothing anywhere else, where
    // the key S moves the tank or the list's highlight.
    KeySolution = 512,
    // Keys with Control held, where a row says so: the key's number plus
    // KeyControl. Outside the editor each is its key alone.
    KeyCtrlS = 1107,  // the editor saves
    KeyCtrlZ = 1114,  // the editor undoes
};

// Added to a desktop key number with Control held (GameKeys rows only).
constexpr int KeyControl = 1024;

namespace platform {

// One row per key the game knows, read by every platform and by the replay:
// its replay token and the browser's layout-independent `KeyboardEvent.code`.
// The desktop's key numbers are the Key values themselves. A new key is a
// new enum value and a new row here.
struct KeyRow {
    Key key;
    const char* name;     // the replay's token (lower case)
    const char* domCode;  // KeyboardEvent.code
};

inline constexpr KeyRow GameKeys[] = {
    {KeySpace, "space", "Space"},
    {KeyEnter, "enter", "Enter"},
    {KeyEscape, "escape", "Escape"},
    {KeyLeft, "left", "ArrowLeft"},
    {KeyRight, "right", "ArrowRight"},
    {KeyUp, "up", "ArrowUp"},
    {KeyDown, "down", "ArrowDown"},
    {KeyPageUp, "pageup", "PageUp"},
    {KeyPageDown, "pagedown", "PageDown"},
    {KeyW, "w", "KeyW"},
    {KeyA, "a", "KeyA"},
    {KeyS, "s", "KeyS"},
    {KeyD, "d", "KeyD"},
    {KeyR, "r", "KeyR"},
    {KeyU, "u", "KeyU"},
    {KeyBackspace, "backspace", "Backspace"},
    {KeyM, "m", "KeyM"},
    {KeyH, "h", "KeyH"},
    {KeyV, "v", "KeyV"},
    {KeyE, "e", "KeyE"},
    {KeyF2, "f2", "F2"},
    {KeyF3, "f3", "F3"},
    {KeySolution, "solution", "BrimvaleSolution"},
    {KeyCtrlS, "ctrl-s", "Ctrl+KeyS"},
    {KeyCtrlZ, "ctrl-z", "Ctrl+KeyZ"},
};

// The game's key for a desktop key number, a browser key code or a replay
// token (already lower case); KeyOther when no row has it.
Key keyFromDesktop(int number);
Key keyFromDomCode(const char* code);
Key keyFromName(const char* name);
// A key with Control held as its key alone (KeyCtrlS is KeyS); any other key
// as it is.
int withoutControl(int key);
// The game's key for a desktop key number with Control held or not: the
// Control row when there is one, else the key alone.
Key keyFromDesktop(int number, bool control);

// One event as a window system reports it.
struct Event {
    enum Kind { Key, Click, Tap, Char, Drag } kind;
    int key;         // the game's key code, for Key; the character typed (a Unicode code point), for Char
    double x, y;     // window pixel, for Click, Tap and Drag (the pointer moved with the left button held)
    int action = 1;  // 0 release, 1 press, 2 repeat
    int button = 0;  // for Click; 0 is the left button
};

// A key press (or an auto-repeat of one), and a left-button press at a
// window pixel.
using KeyHandler = void (*)(int key);
using ClickHandler = void (*)(int x, int y);

// A touch that ended where it began (a tap) at a window pixel; the screens
// decide whether it is a key or a click.
using TapHandler = void (*)(int x, int y);

// The handlers events are delivered to; until they are set input is dropped.
// Without a tap handler a tap is a click.
void setInputHandlers(KeyHandler onKey, ClickHandler onClick, TapHandler onTap = nullptr);
// The handlers set last, as a whole (the editor gives them back when it is
// left: the game's own, or --record's around them).
struct InputHandlers {
    KeyHandler key = nullptr;
    ClickHandler click = nullptr;
    TapHandler tap = nullptr;
};
InputHandlers inputHandlers();

// Characters typed and drags, which only the editor takes: without handlers
// (the game's screens) they are dropped. setInputHandlers leaves them alone.
using CharHandler = void (*)(int codePoint);
using DragHandler = void (*)(int x, int y);
void setEditHandlers(CharHandler onChar, DragHandler onDrag);

// Events waiting for delivery, oldest first. Window-system callbacks only
// add to it; pollEvents delivers from it.
std::deque<Event>& eventQueue();

// How deep deliveries may nest. A handler that redraws polls again, and so
// handles the events behind its own inside its call, as the game has always
// done; past this depth a poll leaves the rest queued, in order, for the
// outer deliveries, so a long burst of input cannot exhaust the stack.
constexpr int MaxDeliveryDepth = 128;

// Hands waiting events, oldest first, to the handlers: a release is
// ignored, a press or repeat of a key calls the key handler, a press of
// button 0 the click handler at the position truncated to whole pixels, a
// tap the tap handler likewise.
void deliverEvents();

// While held, deliverEvents leaves every event queued (the hint search plays
// the rules, whose redraws poll, without taking the player's input).
void holdDelivery(bool hold);

}  // namespace platform
