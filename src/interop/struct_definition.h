#pragma once
// A structure definition ("byte a; int b[4]; align 2; struct; short c; endstruct") read and laid
// out: every element of data with its offset, and the total size.
#include "interop/dll_struct.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vexil {

// The largest structure a definition may describe; a larger one is refused like a bad count.
constexpr size_t kMaxStructSize = size_t{1} << 28;

// Why a definition is refused: the @ERROR of DLLSTRUCTCREATE.
enum class StructDefinitionError : int32_t {
    None = 0,
    TrailingText = 1, // something other than ";" after an element
    BadElement = 2,   // an unknown type, a bad count or alignment, unbalanced struct/endstruct, too large
};

struct StructLayout {
    StructDefinitionError error = StructDefinitionError::None;
    std::vector<DllStructElement> elements; // the elements of data, nested ones included, in order
    size_t size = 0;
};

StructLayout layOutStruct(std::wstring_view definition);

} // namespace vexil
