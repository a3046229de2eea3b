// Input delivery shared by every platform: the event queue, its filter, and
// the bounded nesting of deliveries.
#include "platform/input.h"

#include <cstring>

namespace platform {

namespace {

// The handlers, the queued events, how deep deliveries are nested and
// whether delivery is held.
struct Delivery {
    KeyHandler keyHandler = nullptr;
    ClickHandler clickHandler = nullptr;
    TapHandler tapHandler = nullptr;
    CharHandler charHandler = nullptr;
    DragHandler dragHandler = nullptr;
    std::deque<Event> queue;
    int depth = 0;
    bool held = false;
};
Delivery delivery;

// Keeps the depth right however a handler leaves (the headless quit throws).
struct Nested {
    Nested() { ++delivery.depth; }
    ~Nested() { --delivery.depth; }
};

void deliver(const Event& event) {
    if (event.action == 0) return;
    if (event.kind == Event::Key) {
        if (delivery.keyHandler) delivery.keyHandler(event.key);
    } else if (event.kind == Event::Char) {
        if (delivery.charHandler) delivery.charHandler(event.key);
    } else if (event.kind == Event::Drag) {
        if (delivery.dragHandler) delivery.dragHandler(static_cast<int>(event.x), static_cast<int>(event.y));
    } else if (event.kind == Event::Tap && delivery.tapHandler) {
        delivery.tapHandler(static_cast<int>(event.x), static_cast<int>(event.y));
    } else if (event.button == 0 && delivery.clickHandler) {
        delivery.clickHandler(static_cast<int>(event.x), static_cast<int>(event.y));
    }
}

}  // namespace

void setInputHandlers(KeyHandler onKey, ClickHandler onClick, TapHandler onTap) {
    delivery.keyHandler = onKey;
    delivery.clickHandler = onClick;
    delivery.tapHandler = onTap;
}

InputHandlers inputHandlers() { return InputHandlers{delivery.keyHandler, delivery.clickHandler, delivery.tapHandler}; }

void setEditHandlers(CharHandler onChar, DragHandler onDrag) {
    delivery.charHandler = onChar;
    delivery.dragHandler = onDrag;
}

std::deque<Event>& eventQueue() { return delivery.queue; }

void holdDelivery(bool hold) { delivery.held = hold; }

void deliverEvents() {
    if (delivery.held || delivery.depth >= MaxDeliveryDepth) return;
    Nested nested;
    while (!delivery.queue.empty()) {
        const Event event = delivery.queue.front();
        delivery.queue.pop_front();
        deliver(event);
    }
}

Key keyFromDesktop(int number) {
    for (const KeyRow& row : GameKeys)
        if (row.key == number) return row.key;
    return KeyOther;
}

Key keyFromDesktop(int number, bool control) {
    const Key held = control ? keyFromDesktop(number + KeyControl) : KeyOther;
    return held != KeyOther ? held : keyFromDesktop(number);
}

int withoutControl(int key) { return key > KeyControl ? key - KeyControl : key; }

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
