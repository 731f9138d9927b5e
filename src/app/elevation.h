#pragma once
// Scripts that need administrator rights relaunch the program elevated.
#include "base/account_rights.h"

#include <string>

namespace vexil {

// Starts this program again with the "runas" verb; false when that could not be started.
bool relaunchElevated(const std::wstring& programPath, const std::wstring& parameters, const std::wstring& directory);

} // namespace vexil
