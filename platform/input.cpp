// Input delivery shared by every platform: the event queue, its filter, and
// the bounded nesting of deliveries.
#include "platform/input.h"

#include <cstring>

namespace platform {

namespace {

KeyHandler keyHandler = nullptr;
ClickHandler clickHandler = nullptr;
TapHandler tapHandler = nullptr;
std::deque<Event> queue;
int depth = 0;
bool held = false;

// Keeps the depth right however a handler leaves (the headless quit throws).
struct Nested {
    Nested() { ++depth; }
    ~Nested() { --depth; }
};

void deliver(const Event& event) {
    if (event.action == 0) return;
    if (event.kind == Event::Key) {
        if (keyHandler) keyHandler(event.key);
    } else if (event.kind == Event::Tap && tapHandler) {
        tapHandler(static_cast<int>(event.x), static_cast<int>(event.y));
    } else if (event.button == 0 && clickHandler) {
        clickHandler(static_cast<int>(event.x), static_cast<int>(event.y));
    }
}

}  // namespace

void setInputHandlers(KeyHandler onKey, ClickHandler onClick, TapHandler onTap) {
    keyHandler = onKey;
    clickHandler = onClick;
    tapHandler = onTap;
}

std::deque<Event>& eventQueue() { return queue; }

void holdDelivery(bool hold) { held = hold; }

void deliverEvents() {
    if (held || depth >= MaxDeliveryDepth) return;
    Nested nested;
    while (!queue.empty()) {
        const Event event = queue.front();
        queue.pop_front();
        deliver(event);
    }
}

Key keyFromDesktop(int number) {
    for (const KeyRow& row : GameKeys)
        if (row.key == number) return row.key;
    return KeyOther;
}

Key keyFromDomCode(const char* code) {
    for (const KeyRow& row : GameKeys)
        if (std::strcmp(row.domCode, code) == 0) return row.key;
    return KeyOther;
}

Key keyFromName(const char* name) {
    for (const KeyRow& row : GameKeys)
        if (std::strcmp(row.name, name) == 0) return row.key;
    return KeyOther;
}

}  // namespace platform
