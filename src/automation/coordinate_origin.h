#pragma once
// Where a script's coordinates start, by the coordinate-mode options (caret, mouse, pixel):
// 0 the window's top-left corner, 1 the screen's, 2 the window's client area's.
#include <cstdint>

namespace vexil {

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The origin of `mode` for `window` (an HWND; the foreground window when null). A mode relative
// to a window without one (no foreground window) is the screen's origin.
ScreenPoint coordinateOrigin(int32_t mode, void* window = nullptr);

} // namespace vexil
