#pragma once
// Finding a control inside a found window by a control descriptor, over the window's descendants
// in the system's order (the first match wins).
#include <windows.h>

#include <string>
#include <string_view>

namespace vexil {

// The control `descriptor` names, or nullptr. A plain text that names no control as a class name
// and ordinal ("Edit2") is tried once more as a control's exact text.
HWND findControlByDescriptor(HWND window, std::wstring_view descriptor);

// The control's class name and ordinal among the window's controls of that class ("Edit2"), or
// "" when it is not a descendant of the window.
std::wstring controlClassNN(HWND window, HWND control);

} // namespace vexil
