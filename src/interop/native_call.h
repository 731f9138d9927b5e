#pragma once
// The call itself: native code at an address, given argument slots, through libffi with the
// platform's one convention (the first four arguments in registers, integer or floating by class).
#include "interop/call_types.h"
#include "interop/call_values.h"

#include <cstddef>
#include <cstdint>

namespace vexil {

// A call takes at most this many arguments (and a callback as many parameters).
constexpr size_t kMostNativeArguments = 32;

// Calls `function` with `count` slots (at most kMostNativeArguments). The return value's bits
// come back: RAX's, or XMM0's for the floating classes (a float in the low 4 bytes); 0 for "none".
uint64_t callNative(void* function, CallType returnType, NativeSlot* slots, size_t count);

} // namespace vexil
