#pragma once
// The control a Control built-in names: its window by the title and text arguments (0 and 1),
// then the control by argument 2 (a handle, a control id, a control descriptor, or "" for the
// control that has the keyboard focus there).
#include "engine/builtins/builtin_api.h"

#include <windows.h>

namespace vexil {

// The control, or nullptr when the window or the control is not found.
HWND findControl(BuiltinContext& context, BuiltinArgs args);

// The control of a built-in that acts on it: nullptr when not found (result 0) or when the run is
// fenced (result 0 and @ERROR 1).
HWND controlToChange(BuiltinContext& context, BuiltinArgs args, Variant& result);

// The control that has the keyboard focus in `window`'s thread, when it lies inside `window`.
HWND focusedControl(HWND window);

} // namespace vexil
