#pragma once
// Character classes shared by the string built-ins.

namespace vexil {

// Whitespace of the string built-ins: the C runtime's ASCII spaces (tab to carriage return,
// space) and U+0000.
constexpr bool isBlankUnit(wchar_t c) { return c == 0 || c == 0x20 || (c >= 0x09 && c <= 0x0D); }

} // namespace vexil
