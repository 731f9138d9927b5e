#pragma once
// What happened to the test application, written to standard output when it closes, one event a
// line, so that a test can compare what a script did with what the application saw.
#include <string>
#include <string_view>

namespace test_app {

void record(std::wstring_view line);
void recordf(const wchar_t* format, ...);
// Writes the recorded lines (UTF-8) to standard output, once.
void flushReport();

} // namespace test_app
