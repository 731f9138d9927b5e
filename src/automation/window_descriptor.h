#pragma once
// Turning a built-in's title and text arguments into a WindowQuery, under the title match mode
// of the run ("WinTitleMatchMode": 1 to 4, negative for case-insensitive matching).
#include "automation/window_query.h"

#include <string>
#include <string_view>

namespace vexil {

// The title of match mode 4 rewritten as a bracketed descriptor ("ACTIVE" becomes "[ACTIVE]",
// "CLASSNAME=x" becomes "[CLASS:x]" ...); other titles come back unchanged.
std::wstring legacyDescriptor(std::wstring_view title);

// The query for a title and a text. query.error tells a malformed descriptor.
void buildWindowQuery(std::wstring_view title, std::wstring_view text, int32_t matchModeOption, WindowQuery& query);

// A [HANDLE:...] value: up to 16 bare hexadecimal digits, or "0x" and exactly 16; anything
// else is 0, which names no window.
uint64_t descriptorHandle(std::wstring_view value);

} // namespace vexil
