#pragma once
// How libffi sees the value classes: every slot is 8 bytes, and only floats and doubles by value
// travel in floating-point registers.
#include "interop/call_types.h"

#include <ffi.h>

namespace vexil {

inline ffi_type* ffiTypeOf(CallType type) {
    if (type.byReference) return &ffi_type_pointer;
    switch (type.valueClass) {
    case CallClass::None: return &ffi_type_void;
    case CallClass::Float: return &ffi_type_float;
    case CallClass::Double: return &ffi_type_double;
    default: return &ffi_type_uint64;
    }
}

} // namespace vexil
