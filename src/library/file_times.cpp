#include "library/file_times.h"

namespace vexil {

bool parseLocalTime(std::wstring_view text, SYSTEMTIME& local) {
    if (text.empty()) {
        GetLocalTime(&local);
        return true;
    }
    std::wstring digits;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') digits += c;
        else if (std::wstring_view(L" -/:.").find(c) == std::wstring_view::npos) return false;
    }
    if (digits.size() < 4 || digits.size() > 14 || digits.size() % 2 != 0) return false;
    auto field = [&](size_t at, size_t width, WORD fallback) -> WORD {
        if (at + width > digits.size()) return fallback;
        return static_cast<WORD>(std::stoi(digits.substr(at, width)));
    };
    local = {};
    local.wYear = field(0, 4, 0);
    local.wMonth = field(4, 2, 1);
    local.wDay = field(6, 2, 1);
    local.wHour = field(8, 2, 0);
    local.wMinute = field(10, 2, 0);
    local.wSecond = field(12, 2, 0);
    FILETIME check;
    return local.wHour < 24 && local.wMinute < 60 && local.wSecond < 60 && SystemTimeToFileTime(&local, &check);
}

bool toLocalTime(const FILETIME& fileTime, SYSTEMTIME& local) {
    SYSTEMTIME utc;
    return FileTimeToSystemTime(&fileTime, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
}

bool fromLocalTime(const SYSTEMTIME& local, FILETIME& fileTime) {
    SYSTEMTIME utc;
    return TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&utc, &fileTime);
}

} // namespace vexil
