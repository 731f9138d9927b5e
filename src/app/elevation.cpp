#include "app/elevation.h"

#include <windows.h>
#include <shellapi.h>

namespace vexil {

bool relaunchElevated(const std::wstring& programPath, const std::wstring& parameters, const std::wstring& directory) {
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(GetForegroundWindow(), L"runas", programPath.c_str(),
                                                          parameters.c_str(), directory.c_str(), SW_SHOWNORMAL));
    return result > 32;
}

} // namespace vexil
