// Input delivery shared by every platform: filters window-system events and
// hands them to the handlers the game registered.
#include "platform/keys.h"

namespace platform {

namespace {
KeyHandler keyHandler = nullptr;
ClickHandler clickHandler = nullptr;
}  // namespace

void setInputHandlers(KeyHandler onKey, ClickHandler onClick) {
    keyHandler = onKey;
    clickHandler = onClick;
}

void deliverKey(int key, int action) {
    if (action != 0 && keyHandler) keyHandler(key);
}

void deliverButton(int button, int action, double x, double y) {
    if (button != 0 || action == 0 || !clickHandler) return;
    clickHandler(static_cast<int>(x), static_cast<int>(y));
}

}  // namespace platform
