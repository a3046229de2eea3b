// Game controllers: the button table and the events of held buttons.
#include "platform/gamepad.h"

#include <cmath>

namespace platform::gamepad {

// Y stays without a key until the game has hints to give. The bumpers turn
// the level list's pages.
const Row table[ButtonCount] = {
    {A, "A", 0, 0, KeySpace, false},
    {B, "B", 1, 1, KeyEscape, false},
    {X, "X", 2, 2, KeyU, false},
    {Y, "Y", 3, 3, KeyOther, false},
    {Start, "Start", 7, 9, KeyEnter, false},
    {LeftBumper, "LB", 4, 4, KeyPageUp, false},
    {RightBumper, "RB", 5, 5, KeyPageDown, false},
    {Up, "Up", 11, 12, KeyUp, true},
    {Down, "Down", 13, 13, KeyDown, true},
    {Left, "Left", 14, 14, KeyLeft, true},
    {Right, "Right", 12, 15, KeyRight, true},
};

void held(const State& state, bool out[ButtonCount]) {
    for (int b = 0; b < ButtonCount; ++b) out[b] = state.pressed[b];
    const float x = state.stickX, y = state.stickY;
    if (std::fabs(x) >= std::fabs(y)) {
        if (x <= -StickThreshold) out[Left] = true;
        if (x >= StickThreshold) out[Right] = true;
    } else {
        if (y <= -StickThreshold) out[Up] = true;
        if (y >= StickThreshold) out[Down] = true;
    }
}

void Reader::update(const State* pads, int count, double now, std::deque<Event>& queue) {
    bool any[ButtonCount] = {};
    for (int p = 0; p < count; ++p) {
        bool one[ButtonCount];
        held(pads[p], one);
        for (int b = 0; b < ButtonCount; ++b) any[b] = any[b] || one[b];
    }
    for (const Row& row : table) {
        const int b = row.button;
        int action = -1;
        if (any[b] && !down_[b]) {
            action = 1;
            nextRepeat_[b] = now + rate_.delayMillis;
        } else if (!any[b] && down_[b]) {
            action = 0;
        } else if (any[b] && row.repeats && now >= nextRepeat_[b]) {
            action = 2;
            nextRepeat_[b] += rate_.intervalMillis;
            if (nextRepeat_[b] <= now) nextRepeat_[b] = now + rate_.intervalMillis;
        }
        down_[b] = any[b];
        if (action >= 0 && row.key != KeyOther) queue.push_back(Event{Event::Key, row.key, 0, 0, action, 0});
    }
}

}  // namespace platform::gamepad
