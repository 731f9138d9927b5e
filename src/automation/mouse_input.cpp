#include "automation/mouse_input.h"

#include "automation/precise_delay.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

// mouse_event's absolute units: the screen spans 0..65535 on each axis.
int32_t toAbsolute(int32_t coordinate, int32_t screenSize) {
    if (screenSize <= 0) return 0;
    return static_cast<int32_t>((static_cast<int64_t>(coordinate) + 1) * 65536 / screenSize - 1);
}

POINT absolutePoint(int32_t x, int32_t y) {
    RECT screen{};
    GetWindowRect(GetDesktopWindow(), &screen);
    return {toAbsolute(x, screen.right - screen.left), toAbsolute(y, screen.bottom - screen.top)};
}

void sendAbsoluteMove(POINT to) {
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>(to.x), static_cast<DWORD>(to.y), 0, 0);
}

// One step of an axis toward its target: a share of the distance, at least 32 units, never past it.
LONG stepToward(LONG from, LONG to, int32_t divisor) {
    const LONG distance = to - from;
    const LONG step = std::max<LONG>(std::abs(distance) / divisor, 32);
    if (std::abs(distance) <= step) return to;
    return distance > 0 ? from + step : from - step;
}

} // namespace

void moveMouse(int32_t x, int32_t y, int32_t speed) {
    const POINT target = absolutePoint(x, y);
    if (speed == 0) {
        sendAbsoluteMove(target);
        return;
    }
    const int32_t divisor = speed >= 1 && speed <= 100 ? speed : 10;
    POINT cursor{};
    GetCursorPos(&cursor);
    POINT at = absolutePoint(cursor.x, cursor.y);
    while (at.x != target.x || at.y != target.y) {
        at.x = stepToward(at.x, target.x, divisor);
        at.y = stepToward(at.y, target.y, divisor);
        sendAbsoluteMove(at);
        preciseDelay(10);
    }
}

void pressMouseButton(MouseButton button, bool down) {
    DWORD flags = 0;
    switch (button) {
    case MouseButton::Left: flags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP; break;
    case MouseButton::Right: flags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP; break;
    case MouseButton::Middle: flags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP; break;
    }
    mouse_event(flags, 0, 0, 0, 0);
}

void turnMouseWheel(bool up) {
    mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(up ? WHEEL_DELTA : -WHEEL_DELTA), 0);
}

} // namespace vexil
