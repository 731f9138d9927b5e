#pragma once
// Pauses of window and keystroke built-ins.
#include <cstdint>

namespace vexil {

class BuiltinContext;

// A delay that honours short values: from 1 to 14 ms it spins on the performance counter (a
// sleep would last a whole scheduler tick); 0 and longer delays sleep; negative does nothing.
void preciseDelay(int32_t milliseconds);

// The same for a built-in: delays of 15 ms or more wait with the script's messages served.
void builtinDelay(BuiltinContext& context, int32_t milliseconds);

} // namespace vexil
