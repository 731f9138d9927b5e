#include "interop/call_values.h"

#include "base/text_codec.h"
#include "interop/dll_struct.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <cwchar>

#include <windows.h>

namespace vexil {

namespace {

constexpr int kValueError = 4;
constexpr int kNotAStruct = 5;

uint64_t pointerBits(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

template <class T>
T bitsAs(uint64_t bits) {
    T value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <class T>
uint64_t bitsOf(T value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    return bits;
}

float narrowed(double value) {
    // Beyond the float range the conversion itself is undefined: infinity is what it means.
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX) return std::copysign(INFINITY, static_cast<float>(value));
    return static_cast<float>(value);
}

// A text's buffer: the text, its terminator, and room up to the least size a callee may fill.
template <class Unit>
void fillBuffer(NativeSlot& slot, const Unit* text, size_t length) {
    slot.bufferUnits = std::max(length, kTextBufferUnits);
    slot.buffer = std::make_unique_for_overwrite<std::byte[]>((slot.bufferUnits + 1) * sizeof(Unit));
    Unit* units = reinterpret_cast<Unit*>(slot.buffer.get());
    std::memcpy(units, text, length * sizeof(Unit));
    units[length] = 0;
    slot.value = pointerBits(units);
}

int marshalText(const Variant& value, NativeSlot& slot) {
    const WString& text = value.text();
    if (slot.type.valueClass == CallClass::WStr) {
        fillBuffer(slot, text.c_str(), text.size());
    } else {
        const std::string ansi = wideToBytes(text.view(), CP_ACP);
        fillBuffer(slot, ansi.data(), ansi.size());
    }
    return 0;
}

// By value a structure goes as the callee expects one: 1, 2, 4 or 8 bytes in the slot itself,
// any other size as the address of a copy of its own. By reference, the DllStruct's own data.
int marshalStruct(const Variant& value, NativeSlot& slot) {
    const DllStructRecord* record = dllStructOf(value);
    if (slot.type.byReference) {
        slot.value = record ? pointerBits(record->data()) : value.isNullKeyword() ? 0 : value.toPointer();
        return 0;
    }
    if (!record) return kNotAStruct;
    const size_t size = record->size();
    if (size == 1 || size == 2 || size == 4 || size == 8) {
        std::memcpy(&slot.value, record->data(), size);
        return 0;
    }
    slot.buffer = std::make_unique_for_overwrite<std::byte[]>(std::max<size_t>(size, 1));
    std::memcpy(slot.buffer.get(), record->data(), size);
    slot.value = pointerBits(slot.buffer.get());
    return 0;
}

// Null is a null pointer, so it goes only where a pointer does.
bool takesNull(CallClass c) {
    return c == CallClass::Str || c == CallClass::WStr || c == CallClass::Pointer || c == CallClass::IDispatch;
}

// A text the call may have written into the script's buffer: read no further than the buffer.
Variant bufferText(const NativeSlot& slot) {
    if (slot.type.valueClass == CallClass::WStr) {
        const auto* units = reinterpret_cast<const wchar_t*>(slot.buffer.get());
        return Variant::string(WString(std::wstring_view(units, wcsnlen(units, slot.bufferUnits + 1))));
    }
    const auto* bytes = reinterpret_cast<const char*>(slot.buffer.get());
    return Variant::string(WString(bytesToWide(std::string_view(bytes, strnlen(bytes, slot.bufferUnits + 1)), CP_ACP)));
}

} // namespace

int marshalArgument(CallType type, const Variant& given, NativeSlot& slot) {
    const Variant& value = given.dereferenced();
    slot.type = type;
    if (value.isDefault()) return kValueError;
    if (type.valueClass == CallClass::Struct) return marshalStruct(value, slot);
    if (value.isNullKeyword()) return takesNull(type.valueClass) ? 0 : kValueError;
    if (type.valueClass == CallClass::Str || type.valueClass == CallClass::WStr) return marshalText(value, slot);
    slot.value = slotBitsOf(type.valueClass, value);
    return 0;
}

uint64_t slotBitsOf(CallClass valueClass, const Variant& value) {
    switch (valueClass) {
    case CallClass::Byte: return static_cast<uint8_t>(value.toInt64());
    case CallClass::Short: return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int16_t>(value.toInt64())));
    case CallClass::UShort: return static_cast<uint16_t>(value.toInt64());
    case CallClass::Int: return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(value.toInt64())));
    case CallClass::UInt: return static_cast<uint32_t>(value.toInt64());
    case CallClass::Pointer: return value.toPointer();
    case CallClass::Float: return bitsOf(narrowed(value.toDouble()));
    case CallClass::Double: return bitsOf(value.toDouble());
    // COM objects are the only values that carry an interface pointer; every other value is none.
    case CallClass::IDispatch: return 0;
    default: return static_cast<uint64_t>(value.toInt64());
    }
}

Variant valueOfBits(CallClass valueClass, uint64_t bits) {
    switch (valueClass) {
    case CallClass::Byte: return Variant::int32(static_cast<uint8_t>(bits));
    case CallClass::Short: return Variant::int32(static_cast<int16_t>(bits));
    case CallClass::UShort: return Variant::int32(static_cast<uint16_t>(bits));
    case CallClass::Int: return Variant::int32(static_cast<int32_t>(bits));
    case CallClass::UInt: return Variant::int64(static_cast<uint32_t>(bits));
    case CallClass::Float: return Variant::real(bitsAs<float>(bits));
    case CallClass::Double: return Variant::real(bitsAs<double>(bits));
    case CallClass::Pointer:
    case CallClass::IDispatch: return Variant::pointer(bits);
    default: return Variant::int64(static_cast<int64_t>(bits));
    }
}

Variant textAt(CallClass valueClass, uint64_t pointer) {
    if (pointer == 0) return Variant::string(WString());
    if (valueClass == CallClass::WStr) return Variant::string(WString(reinterpret_cast<const wchar_t*>(pointer)));
    return Variant::string(WString(bytesToWide(reinterpret_cast<const char*>(pointer), CP_ACP)));
}

Variant readBackArgument(const NativeSlot& slot, const Variant& given) {
    const CallClass c = slot.type.valueClass;
    if (c == CallClass::Struct) return given.dereferenced();
    if (c != CallClass::Str && c != CallClass::WStr) return valueOfBits(c, slot.value);
    // By reference the callee may have put a pointer of its own in the slot.
    if (slot.buffer && slot.value == pointerBits(slot.buffer.get())) return bufferText(slot);
    return textAt(c, slot.value);
}

Variant returnedValue(CallType type, uint64_t bits) {
    switch (type.valueClass) {
    case CallClass::None: return Variant::string(WString());
    case CallClass::Str:
    case CallClass::WStr: return textAt(type.valueClass, bits);
    default: return valueOfBits(type.valueClass, bits);
    }
}

} // namespace vexil
