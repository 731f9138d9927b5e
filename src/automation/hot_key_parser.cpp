#include "automation/hot_key_parser.h"

#include "automation/key_names.h"

namespace vexil {

HotKeyParse parseHotKey(std::wstring_view text, KeyLayout& layout, HotKey& out) {
    out = HotKey{};
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'+') out.shift = true;
        else if (c == L'^') out.ctrl = true;
        else if (c == L'!') out.alt = true;
        else if (c == L'#') out.win = true;
        else break;
    }
    if (i == text.size()) return HotKeyParse::Malformed;
    wchar_t character = text[i];
    if (character == L'{') {
        const size_t close = text.find(L'}', i + 1);
        if (close == std::wstring_view::npos || close == i + 1) return HotKeyParse::Malformed;
        const std::wstring_view name = text.substr(i + 1, close - i - 1);
        if (const KeyName* entry = findKeyName(name)) {
            if (entry->kind != KeyNameKind::Plain) return HotKeyParse::Malformed;
            out.vk = entry->code;
            return HotKeyParse::Ok;
        }
        character = name[0];
    }
    const int16_t key = layout.keyOfCharacter(character);
    if (key == -1) return HotKeyParse::NoSuchKey;
    if (key & 0x100) out.shift = true;
    if (key & 0x200) out.ctrl = true;
    if (key & 0x400) out.alt = true;
    out.vk = static_cast<uint8_t>(key & 0xFF);
    return HotKeyParse::Ok;
}

} // namespace vexil
