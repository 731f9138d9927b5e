#pragma once
// File times as scripts read and write them: local time, as digits YYYYMMDDhhmmss.
#include <string>
#include <string_view>

#include <windows.h>

namespace vexil {

// "YYYYMMDDhhmmss" or a shorter start of it (YYYY, YYYYMM, ... : what is left out is the start of
// its unit), separators " -/:." between the parts allowed; the empty text is now. False for
// anything else, or a date that does not exist.
bool parseLocalTime(std::wstring_view text, SYSTEMTIME& local);

// A file time in local time; false when it cannot be converted.
bool toLocalTime(const FILETIME& fileTime, SYSTEMTIME& local);
// A local time as a file time (UTC).
bool fromLocalTime(const SYSTEMTIME& local, FILETIME& fileTime);

} // namespace vexil
