#include "window_class.h"

namespace test_app {

void registerClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, cursor);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

} // namespace test_app
