#pragma once
// The pause of automation and keystrokes: short delays (1 to 14 ms) by the performance counter,
// which Sleep cannot time below the scheduler's tick; others by Sleep.
#include <cstdint>

namespace vexil {

void preciseDelay(int32_t milliseconds);

} // namespace vexil
