#pragma once
// Hexadecimal digits in texts.

namespace vexil {

// The value of a hexadecimal digit (either case), or -1.
constexpr int hexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

} // namespace vexil
