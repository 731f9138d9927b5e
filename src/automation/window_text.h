#pragma once
// Reading texts from windows that may belong to other, possibly hung, processes: every message
// goes with a time-out, and a window that does not answer has no text.
#include <windows.h>

#include <string>

namespace vexil {

// How long a window may take to answer before it counts as hung.
constexpr UINT kHungTimeoutMs = 5000;

// The window answers a message within the hung time-out.
bool windowAnswers(HWND window);

// The window's text by WM_GETTEXT, without the hung check first. Some windows answer with 8-bit
// text: a buffer that holds exactly the reported length of printable ASCII bytes is read as such.
void readWindowTextInto(HWND window, std::wstring& out);

// After the hung check (empty when it fails).
std::wstring readWindowText(HWND window);

// Visits every descendant of `window`, in the system's order, until `visit` returns false.
template <typename Visit>
void forEachChildWindow(HWND window, Visit&& visit) {
    EnumChildWindows(
        window, [](HWND child, LPARAM state) -> BOOL { return (*reinterpret_cast<Visit*>(state))(child) ? TRUE : FALSE; },
        reinterpret_cast<LPARAM>(&visit));
}

} // namespace vexil
