#pragma once
// The types of native call arguments, return values and callback parameters, as scripts write
// them ("int", "wstr*", "double:cdecl"): each name stands for one value class, which says how a
// script value travels in an 8-byte argument slot and what comes back.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vexil {

enum class CallClass : uint8_t {
    None = 0,       // return type only: no value
    Byte = 1,       // byte, ubyte, boolean: low 8 bits, back as 0..255
    Short = 2,      // short: low 16 bits, back sign-extended
    UShort = 3,     // ushort, word: low 16 bits, back as 0..65535
    Int = 4,        // int, bool, long: 32 bits, back as Int32
    UInt = 5,       // uint, ulong, dword: low 32 bits, back as Int64 zero-extended
    Str = 6,        // str: an ANSI text in a buffer
    WStr = 7,       // wstr: a UTF-16 text in a buffer
    Pointer = 8,    // ptr, hwnd, handle
    Float = 9,      // float: 32-bit floating point
    Double = 10,    // double
    IntPtr = 11,    // lresult, lparam, int_ptr, long_ptr
    UIntPtr = 12,   // wparam, uint_ptr, ulong_ptr, dword_ptr
    Int64 = 13,     // int64
    UInt64 = 14,    // uint64
    IDispatch = 15, // idispatch: a COM object's interface pointer
    Struct = 16,    // struct: a DllStruct's data
};

struct CallType {
    CallClass valueClass = CallClass::None;
    bool byReference = false; // "*": the slot's address goes instead of its value
    friend bool operator==(const CallType&, const CallType&) = default;
};

// An argument or callback parameter type: a name of the table (any case), "*" after it for by
// reference; spaces around are allowed. Nothing for anything else ("none" included).
std::optional<CallType> parseArgumentType(std::wstring_view text);

// A return type: a name of the table or "none", optionally ":cdecl", ":stdcall" or ":winapi"
// (one convention on this platform, so the suffix changes nothing). Not by reference, and not
// "struct": a structure returned by value has no layout to read it by.
std::optional<CallType> parseReturnType(std::wstring_view text);

// The classes whose value travels in a floating-point register.
inline bool isFloatingClass(CallClass c) { return c == CallClass::Float || c == CallClass::Double; }

} // namespace vexil
