#pragma once
// Surrogate pairs of UTF-16 text.
#include <cstddef>
#include <string_view>

namespace vexil {

constexpr bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
// A well-formed pair starts at `i`.
constexpr bool isSurrogatePair(std::wstring_view text, size_t i) {
    return i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]);
}

} // namespace vexil
