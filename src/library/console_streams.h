#pragma once
// The program's own standard output and error streams.
#include <string_view>

namespace vexil {

// Writes text as ANSI bytes to the C runtime's stream and flushes it.
void writeStandardOutput(std::wstring_view text);
void writeStandardError(std::wstring_view text);

} // namespace vexil
