#pragma once
// Windows as script values: the pointer type.
#include "engine/values/value.h"

#include <windows.h>

#include <cstdint>

namespace vexil {

inline Variant windowValue(HWND window) { return Variant::pointer(reinterpret_cast<uintptr_t>(window)); }

} // namespace vexil
