#include "automation/key_names.h"

#include <array>

namespace vexil {

namespace {

constexpr KeyName plain(std::wstring_view name, uint8_t vk) { return {name, KeyNameKind::Plain, vk}; }
constexpr KeyName special(std::wstring_view name, SpecialKey key) {
    return {name, KeyNameKind::Special, static_cast<uint8_t>(key)};
}
constexpr KeyName mouse(std::wstring_view name, uint8_t vk) { return {name, KeyNameKind::MouseButton, vk}; }

constexpr std::array kKeyNames{
    special(L"ALT", SpecialKey::Alt), plain(L"BACKSPACE", 8), plain(L"BS", 8), plain(L"DEL", 46),
    plain(L"DELETE", 46), plain(L"DOWN", 40), plain(L"END", 35), plain(L"ENTER", 13), plain(L"ESC", 27),
    plain(L"ESCAPE", 27), plain(L"F1", 112), plain(L"F2", 113), plain(L"F3", 114), plain(L"F4", 115),
    plain(L"F5", 116), plain(L"F6", 117), plain(L"F7", 118), plain(L"F8", 119), plain(L"F9", 120),
    plain(L"F10", 121), plain(L"F11", 122), plain(L"F12", 123), plain(L"HOME", 36), plain(L"INS", 45),
    plain(L"INSERT", 45), plain(L"LEFT", 37), plain(L"PGDN", 34), plain(L"PGUP", 33), plain(L"RIGHT", 39),
    plain(L"SPACE", 32), plain(L"TAB", 9), plain(L"UP", 38), plain(L"PRINTSCREEN", 44), plain(L"LWIN", 91),
    plain(L"RWIN", 92), plain(L"SCROLLLOCK", 145), plain(L"NUMLOCK", 144), plain(L"BREAK", 3),
    plain(L"PAUSE", 19), plain(L"CAPSLOCK", 20), plain(L"NUMPAD0", 96), plain(L"NUMPAD1", 97),
    plain(L"NUMPAD2", 98), plain(L"NUMPAD3", 99), plain(L"NUMPAD4", 100), plain(L"NUMPAD5", 101),
    plain(L"NUMPAD6", 102), plain(L"NUMPAD7", 103), plain(L"NUMPAD8", 104), plain(L"NUMPAD9", 105),
    plain(L"NUMPADMULT", 106), plain(L"NUMPADADD", 107), plain(L"NUMPADSUB", 109), plain(L"NUMPADDOT", 110),
    plain(L"NUMPADDIV", 111), plain(L"APPSKEY", 93), plain(L"LCTRL", 162), plain(L"RCTRL", 163),
    plain(L"LALT", 164), plain(L"RALT", 165), special(L"LSHIFT", SpecialKey::LShift),
    special(L"RSHIFT", SpecialKey::RShift), plain(L"SLEEP", 95), special(L"NUMPADENTER", SpecialKey::NumpadEnter),
    plain(L"BROWSER_BACK", 166), plain(L"BROWSER_FORWARD", 167), plain(L"BROWSER_REFRESH", 168),
    plain(L"BROWSER_STOP", 169), plain(L"BROWSER_SEARCH", 170), plain(L"BROWSER_FAVORTIES", 171),
    plain(L"BROWSER_HOME", 172), plain(L"VOLUME_MUTE", 173), plain(L"VOLUME_DOWN", 174),
    plain(L"VOLUME_UP", 175), plain(L"MEDIA_NEXT", 176), plain(L"MEDIA_PREV", 177), plain(L"MEDIA_STOP", 178),
    plain(L"MEDIA_PLAY_PAUSE", 179), plain(L"LAUNCH_MAIL", 180), plain(L"LAUNCH_MEDIA", 181),
    plain(L"LAUNCH_APP1", 182), plain(L"LAUNCH_APP2", 183), plain(L"OEM_102", 226),
    mouse(L"MOUSE_LBUTTON", 1), mouse(L"MOUSE_RBUTTON", 2), mouse(L"MOUSE_MBUTTON", 4),
    mouse(L"MOUSE_XBUTTON1", 5), mouse(L"MOUSE_XBUTTON2", 6), special(L"CTRLDOWN", SpecialKey::CtrlDown),
    special(L"CTRLUP", SpecialKey::CtrlUp), special(L"ALTDOWN", SpecialKey::AltDown),
    special(L"ALTUP", SpecialKey::AltUp), special(L"SHIFTDOWN", SpecialKey::ShiftDown),
    special(L"SHIFTUP", SpecialKey::ShiftUp), special(L"LWINDOWN", SpecialKey::LWinDown),
    special(L"LWINUP", SpecialKey::LWinUp), special(L"RWINDOWN", SpecialKey::RWinDown),
    special(L"RWINUP", SpecialKey::RWinUp), special(L"ASC", SpecialKey::Asc),
};
static_assert(kKeyNames.size() == 99);

constexpr wchar_t asciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

bool sameName(std::wstring_view tableName, std::wstring_view name) {
    if (tableName.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (tableName[i] != asciiUpper(name[i])) return false;
    return true;
}

} // namespace

std::span<const KeyName> keyNames() { return kKeyNames; }

const KeyName* findKeyName(std::wstring_view name) {
    // No name is longer than this: a long braced text is not looked up at all.
    if (name.empty() || name.size() > 17) return nullptr;
    for (const KeyName& entry : kKeyNames)
        if (sameName(entry.name, name)) return &entry;
    return nullptr;
}

} // namespace vexil
