#include "interop/native_call.h"

#include "interop/ffi_types.h"

#include <cstring>

namespace vexil {

uint64_t callNative(void* function, CallType returnType, NativeSlot* slots, size_t count) {
    ffi_type* types[kMostNativeArguments];
    void* values[kMostNativeArguments];
    for (size_t i = 0; i < count; ++i) {
        types[i] = ffiTypeOf(slots[i].type);
        values[i] = slots[i].passed();
    }
    ffi_cif cif;
    if (ffi_prep_cif(&cif, FFI_WIN64, static_cast<unsigned>(count), ffiTypeOf(returnType), types) != FFI_OK) return 0;
    // libffi widens integer results to a whole register and writes a float as a float.
    union {
        ffi_arg integer;
        float single;
        double real;
    } result{};
    ffi_call(&cif, reinterpret_cast<void (*)()>(function), &result, values);
    uint64_t bits = 0;
    if (returnType.valueClass == CallClass::Float) std::memcpy(&bits, &result.single, sizeof result.single);
    else if (returnType.valueClass == CallClass::Double) std::memcpy(&bits, &result.real, sizeof result.real);
    else if (returnType.valueClass != CallClass::None) bits = result.integer;
    return bits;
}

} // namespace vexil
