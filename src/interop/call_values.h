#pragma once
// Script values in native argument slots and back, by value class: the 8 bytes a class makes of a
// value, the buffers of texts and structures, and the values the script gets from what native
// code left in a slot or returned.
#include "engine/values/value.h"
#include "interop/call_types.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vexil {

// One argument of a native call, from the script's value to what the callee left.
struct NativeSlot {
    CallType type;
    uint64_t value = 0;   // the slot's 8 bytes (a float in the low 4)
    uint64_t address = 0; // by reference: the slot's own address, which is what travels
    // The text's buffer (bufferUnits characters and a terminator) or a structure's copy.
    std::unique_ptr<std::byte[]> buffer;
    size_t bufferUnits = 0;

    // What the call takes the argument from.
    void* passed() {
        if (!type.byReference || type.valueClass == CallClass::Struct) return &value;
        address = reinterpret_cast<uintptr_t>(&value);
        return &address;
    }
};

// Texts get a buffer of at least this many characters, so that a callee may write back a long
// text without being told a size.
constexpr size_t kTextBufferUnits = 65536;

// Fills the slot from the script's value: 0, or the @ERROR the value earns (4 a value that is no
// value here, Default anywhere and Null where no pointer goes; 5 a structure by value that is not
// a DllStruct).
int marshalArgument(CallType type, const Variant& value, NativeSlot& slot);

// The argument as the script sees it after the call. `given` is the value the script passed: a
// structure comes back as that same DllStruct.
Variant readBackArgument(const NativeSlot& slot, const Variant& given);

// The 8 bytes a value of a number or pointer class makes (a float in the low 4).
uint64_t slotBitsOf(CallClass valueClass, const Variant& value);

// The script value of 8 bytes of a class that is neither a text nor a structure.
Variant valueOfBits(CallClass valueClass, uint64_t bits);

// The text at a native pointer (ANSI for Str, UTF-16 for WStr); the empty String for a null one.
// Reads up to the terminator: the pointer is native code's, not the script's.
Variant textAt(CallClass valueClass, uint64_t pointer);

// A return value (RAX's bits, or XMM0's for the floating classes) as the script sees it; the empty
// String for "none".
Variant returnedValue(CallType type, uint64_t bits);

} // namespace vexil
