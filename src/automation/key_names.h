#pragma once
// The names a key string may give in braces ({TAB}, {F5}, {CTRLDOWN}...): each is a plain key
// with its virtual-key code, a behaviour of its own, or a mouse button.
#include <cstdint>
#include <span>
#include <string_view>

namespace vexil {

enum class KeyNameKind : uint8_t { Plain, Special, MouseButton };

// What a special name does.
enum class SpecialKey : uint8_t {
    CtrlDown, CtrlUp, AltDown, AltUp, ShiftDown, ShiftUp, LWinDown, LWinUp, RWinDown, RWinUp,
    Asc, NumpadEnter, Alt, LShift, RShift,
};

struct KeyName {
    std::wstring_view name;
    KeyNameKind kind;
    uint8_t code; // the virtual key (Plain, MouseButton) or the SpecialKey
};

// Every name, in table order.
std::span<const KeyName> keyNames();
// The entry of `name` (any case), or nullptr.
const KeyName* findKeyName(std::wstring_view name);

} // namespace vexil
