#pragma once
// Mouse button names as scripts write them ("left", "primary", "secondary" ...), for the mouse
// built-ins and control clicks alike.
#include <optional>
#include <string_view>

namespace vexil {

enum class MouseButton { Left, Right, Middle };

// The button a name stands for; "main"/"primary" and "menu"/"secondary" follow the user's swap
// of the buttons. No value for a name that is none of these.
std::optional<MouseButton> mouseButtonNamed(std::wstring_view name);

// The user has swapped the mouse buttons (the control panel's setting).
bool mouseButtonsSwapped();

} // namespace vexil
