#pragma once
// One element of a structure's data read into a value and written from one, by the element's
// kind: integers by size and sign, floats, pointers, chars and wchars (ANSI through the system
// code page), and arrays of chars, wchars and bytes as one string or Binary.
#include "interop/dll_struct.h"

#include <cstddef>
#include <cstdint>

namespace vexil {

// `item` is 1-based and within the element's count, or 0: the whole of a whole-value element,
// the first item of any other.
Variant readElement(const std::byte* data, const DllStructElement& element, uint32_t item);
void writeElement(std::byte* data, const DllStructElement& element, uint32_t item, const Variant& value);

} // namespace vexil
