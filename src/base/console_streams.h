#pragma once
// The program's own standard output and error streams, and the ANSI text they carry.
#include <cstdio>
#include <string>
#include <string_view>

namespace vexil {

// Text as the console streams carry it: in the ANSI code page.
std::string ansiBytes(std::wstring_view text);
std::wstring ansiText(std::string_view bytes);

// Writes bytes to a C runtime stream in binary mode (its previous mode is restored) and flushes
// it; returns how many were written.
size_t writeBytes(FILE* stream, std::string_view bytes);

// Writes text as ANSI bytes to standard output.
void writeStandardOutput(std::wstring_view text);

} // namespace vexil
