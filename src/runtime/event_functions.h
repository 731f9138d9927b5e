#pragma once
// The function a registering built-in names: a function value's name, or any value as text.
#include "engine/builtins/builtin_api.h"

#include <string>

namespace vexil {

std::wstring eventFunctionName(const Variant& argument);

} // namespace vexil
