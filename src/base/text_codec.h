#pragma once
// Conversions between UTF-16 text and byte encodings through the platform's code pages.
#include <string>
#include <string_view>

namespace vexil {

// Code page 65001 is UTF-8, 0 the system ANSI code page. Invalid input is replaced, as the platform does.
std::string wideToBytes(std::wstring_view text, unsigned codePage);
std::wstring bytesToWide(std::string_view bytes, unsigned codePage);

} // namespace vexil
