#pragma once
// The application's window classes, registered alike.
#include <windows.h>

namespace test_app {

void registerClass(const wchar_t* name, WNDPROC procedure, LPCWSTR cursor = IDC_ARROW);

} // namespace test_app
