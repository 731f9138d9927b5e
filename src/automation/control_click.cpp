#include "automation/control_click.h"

namespace vexil {

namespace {

struct ButtonMessages {
    UINT down, doubleClick, up;
    WPARAM keyFlag;
};

ButtonMessages messagesOf(MouseButton button) {
    switch (button) {
    case MouseButton::Right: return {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, MK_RBUTTON};
    case MouseButton::Middle: return {WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP, MK_MBUTTON};
    case MouseButton::Left: break;
    }
    return {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON};
}

} // namespace

void postControlClicks(HWND control, MouseButton button, int32_t clicks, int32_t x, int32_t y) {
    const ButtonMessages messages = messagesOf(button);
    const LPARAM position = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    for (int32_t i = 1; i <= clicks; ++i) {
        PostMessageW(control, i % 2 ? messages.down : messages.doubleClick, messages.keyFlag, position);
        Sleep(0);
        PostMessageW(control, messages.up, 0, position);
        Sleep(0);
    }
}

} // namespace vexil
