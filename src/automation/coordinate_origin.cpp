#include "automation/coordinate_origin.h"

#include <windows.h>

namespace vexil {

ScreenPoint coordinateOrigin(int32_t mode, void* window) {
    if (mode == 1) return {};
    HWND hwnd = window ? static_cast<HWND>(window) : GetForegroundWindow();
    if (!hwnd) return {};
    if (mode == 2) {
        POINT client{0, 0};
        if (!ClientToScreen(hwnd, &client)) return {};
        return {client.x, client.y};
    }
    RECT rect;
    if (!GetWindowRect(hwnd, &rect)) return {};
    return {rect.left, rect.top};
}

} // namespace vexil
