// WINMOVE: moves and sizes a window, at once or in animated steps.
#include "automation/window_handle_value.h"
#include "automation/window_search.h"

#include <cstdlib>

namespace vexil {

namespace {

constexpr int32_t kAtOnce = -1;
constexpr int32_t kDefaultDivisor = 10;
constexpr DWORD kStepMs = 50;

// One step of an animated move: a share of the distance, at least a pixel, never past the target.
int32_t stepToward(int32_t from, int32_t to, int32_t divisor) {
    const int32_t distance = std::abs(to - from);
    int32_t step = distance / divisor;
    if (step < 1) step = 1;
    if (step > distance) step = distance;
    return from < to ? from + step : from - step;
}

} // namespace

int builtinWinMove(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    RECT r{};
    GetWindowRect(window, &r);
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    const int32_t x = optInt(args, 2, r.left), y = optInt(args, 3, r.top);
    const int32_t width = optInt(args, 4, r.right - r.left), height = optInt(args, 5, r.bottom - r.top);
    int32_t speed = optInt(args, 6, kAtOnce);
    result = windowValue(window);
    if (speed == kAtOnce) {
        MoveWindow(window, x, y, width, height, TRUE);
        return 0;
    }
    if (speed < 1 || speed > 100) speed = kDefaultDivisor;
    int32_t atX = r.left, atY = r.top;
    do {
        atX = stepToward(atX, x, speed);
        atY = stepToward(atY, y, speed);
        MoveWindow(window, atX, atY, width, height, TRUE);
        if (context.waitFor(kStepMs) < 0) break;
    } while (atX != x || atY != y);
    return 0;
}

} // namespace vexil
