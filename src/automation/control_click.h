#pragma once
// Clicks posted to a control as the messages a real click makes, so that the control need not
// be visible or in front.
#include "automation/mouse_buttons.h"

#include <windows.h>

#include <cstdint>

namespace vexil {

// `clicks` clicks at client point (x, y): down (double-click for every second one), then up.
void postControlClicks(HWND control, MouseButton button, int32_t clicks, int32_t x, int32_t y);

} // namespace vexil
