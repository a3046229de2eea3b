// Input delivery shared by every platform: the event queue, its filter, and
// the bounded nesting of deliveries.
#include "platform/input.h"

namespace platform {

namespace {

KeyHandler keyHandler = nullptr;
ClickHandler clickHandler = nullptr;
std::deque<Event> queue;
int depth = 0;

// Keeps the depth right however a handler leaves (the headless quit throws).
struct Nested {
    Nested() { ++depth; }
    ~Nested() { --depth; }
};

void deliver(const Event& event) {
    if (event.action == 0) return;
    if (event.kind == Event::Key) {
        if (keyHandler) keyHandler(event.key);
    } else if (event.button == 0 && clickHandler) {
        clickHandler(static_cast<int>(event.x), static_cast<int>(event.y));
    }
}

}  // namespace

void setInputHandlers(KeyHandler onKey, ClickHandler onClick) {
    keyHandler = onKey;
    clickHandler = onClick;
}

std::deque<Event>& eventQueue() { return queue; }

void deliverEvents() {
    if (depth >= MaxDeliveryDepth) return;
    Nested nested;
    while (!queue.empty()) {
        const Event event = queue.front();
        queue.pop_front();
        deliver(event);
    }
}

}  // namespace platform
