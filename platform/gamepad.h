// Game controllers: which button is which key, and the key events a
// controller's held buttons make, with the repeat of a held key.
//
// Every platform reads its controllers in the same layout (GLFW's gamepad
// state with its built-in mappings on the desktop, the Gamepad API's
// "standard" mapping in the browser, scripted states headlessly) and hands
// them here once per poll with its own clock; the events go to the same
// queue as the keyboard's. The game itself never learns a controller exists.
#pragma once

#include <deque>

#include "platform/input.h"

namespace platform::gamepad {

// The buttons the game gives a meaning to. The D-pad's four directions and
// the left stick's make the same four.
enum Button : int { A, B, X, Y, Start, LeftBumper, RightBumper, Up, Down, Left, Right, ButtonCount };

// One row per button: its index in GLFW's gamepad state and in the Gamepad
// API's standard mapping, the key it stands for (KeyOther: none yet), and
// whether holding it repeats the key as the keyboard does.
struct Row {
    Button button;
    const char* name;
    int glfwIndex;      // GLFW_GAMEPAD_BUTTON_*
    int standardIndex;  // Gamepad.buttons[] in the standard mapping
    Key key;
    bool repeats;
};
extern const Row table[ButtonCount];

// The left stick's axes in either layout (x right, y down, -1 to 1), and how
// far from the centre it must lean to press a direction.
constexpr int StickXAxis = 0, StickYAxis = 1;
constexpr float StickThreshold = 0.5f;

// One controller at one moment.
struct State {
    bool pressed[ButtonCount] = {};
    float stickX = 0, stickY = 0;
};

// The keyboard's auto-repeat: the first repeat `delayMillis` after the
// press, then one every `intervalMillis`. The default is what the X server
// and most desktops use when the window system tells nothing (the browser
// never does): half a second, then 30 a second.
struct RepeatRate {
    double delayMillis = 500;
    double intervalMillis = 1000.0 / 30;
};

// The buttons `state` holds, the stick's leaning counted as the direction
// of its larger axis.
void held(const State& state, bool out[ButtonCount]);

// Turns controller states into key events: a button held on any of the
// connected controllers is held; a press queues the key's press, holding it
// queues a repeat at the keyboard's rate (one at most per poll, however
// late the poll), letting go queues the release.
class Reader {
public:
    void setRepeatRate(RepeatRate rate) { rate_ = rate; }
    const RepeatRate& repeatRate() const { return rate_; }
    // `pads`: the `count` controllers connected now; `nowMillis`: the
    // platform's clock, never going back.
    void update(const State* pads, int count, double nowMillis, std::deque<Event>& queue);

private:
    RepeatRate rate_;
    bool down_[ButtonCount] = {};
    double nextRepeat_[ButtonCount] = {};
};

}  // namespace platform::gamepad
