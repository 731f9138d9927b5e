#include "report.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace test_app {

namespace {

std::wstring& lines() {
    static std::wstring all;
    return all;
}

} // namespace

void record(std::wstring_view line) {
    lines().append(line);
    lines().push_back(L'\n');
}

void recordf(const wchar_t* format, ...) {
    wchar_t buffer[2048];
    va_list list;
    va_start(list, format);
    _vsnwprintf(buffer, 2047, format, list);
    va_end(list);
    buffer[2047] = 0;
    record(buffer);
}

void flushReport() {
    static bool done = false;
    if (done) return;
    done = true;
    const std::wstring& all = lines();
    const int size = WideCharToMultiByte(CP_UTF8, 0, all.data(), static_cast<int>(all.size()), nullptr, 0, nullptr, nullptr);
    std::vector<char> bytes(static_cast<size_t>(size > 0 ? size : 0));
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, all.data(), static_cast<int>(all.size()), bytes.data(), size, nullptr, nullptr);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE && !bytes.empty()) WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace test_app
