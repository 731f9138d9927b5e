#pragma once
// The type names a structure definition may use: the data types with their size and kind, and the
// words that set the alignment and open and close a nested structure.
#include "interop/dll_struct.h"

#include <cstdint>
#include <string_view>

namespace vexil {

enum class StructWord : uint8_t {
    Data,      // an element of data
    Align,     // "align [n]": the alignment of the elements that follow
    Open,      // "struct": a nested structure begins
    Close,     // "endstruct": it ends
};

struct StructElementType {
    std::wstring_view name; // lower case
    StructWord word;
    uint8_t size; // bytes of one item; 0 for the words that are no data
    DllElementKind kind;
};

// The type of a name, compared without regard to case; nullptr when there is none.
const StructElementType* findStructElementType(std::wstring_view name);

// An array of these is one value: a string of chars or wchars, a Binary of bytes.
constexpr bool isWholeValueType(const StructElementType& type) {
    return type.kind == DllElementKind::AnsiChar || type.kind == DllElementKind::WideChar ||
           (type.kind == DllElementKind::Unsigned && type.size == 1);
}

} // namespace vexil
