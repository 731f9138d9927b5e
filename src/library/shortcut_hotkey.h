#pragma once
// The hot key of a shortcut, written as keys are sent: "+" Shift, "^" Ctrl, "!" Alt ("#", the
// Windows key, has no place in a shortcut and is passed over), then one character or a key name
// in braces ("{F5}"). A key with neither Ctrl nor Alt gets both, as shortcuts require.
#include <cstdint>
#include <string_view>

namespace vexil {

// The shortcut's hot key word (virtual key low, HOTKEYF_ modifiers high); false when the text
// names no key.
bool parseShortcutHotkey(std::wstring_view text, uint16_t& hotkey);

} // namespace vexil
