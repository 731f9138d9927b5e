#pragma once
// Hot-key strings: prefixes + ^ ! # (Shift, Ctrl, Alt, Win), then one key: a braced key name
// ({F5}), or a character.
#include "automation/key_sink.h"

#include <cstdint>
#include <string_view>

namespace vexil {

struct HotKey {
    uint8_t vk = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool win = false;
};

enum class HotKeyParse : uint8_t {
    Ok,
    Malformed,     // no key, a missing "}", or a name that is not a single key
    NoSuchKey,     // a character that no key produces
};

HotKeyParse parseHotKey(std::wstring_view text, KeyLayout& layout, HotKey& out);

} // namespace vexil
