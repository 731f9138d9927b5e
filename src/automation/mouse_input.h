#pragma once
// Synthetic mouse input: absolute moves (at once or in steps), buttons and the wheel, through
// mouse_event.
#include "automation/mouse_buttons.h"

#include <cstdint>

namespace vexil {

// Moves the pointer to the screen point (x, y). Speed 0 moves at once; any other speed moves in
// steps of a tenth (or 1/speed for a speed of 1 to 100) of the distance left, 10 ms apart.
void moveMouse(int32_t x, int32_t y, int32_t speed);
void pressMouseButton(MouseButton button, bool down);
// One notch of the wheel, away from the user (up) or toward the user.
void turnMouseWheel(bool up);

} // namespace vexil
