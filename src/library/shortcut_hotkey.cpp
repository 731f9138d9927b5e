#include "library/shortcut_hotkey.h"

#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <string_view>

namespace vexil {

namespace {

struct KeyName {
    const wchar_t* name;
    uint8_t key;
};
constexpr KeyName kKeyNames[] = {
    {L"SPACE", VK_SPACE},   {L"ENTER", VK_RETURN},  {L"TAB", VK_TAB},         {L"ESC", VK_ESCAPE},
    {L"ESCAPE", VK_ESCAPE}, {L"BS", VK_BACK},       {L"BACKSPACE", VK_BACK},  {L"DEL", VK_DELETE},
    {L"DELETE", VK_DELETE}, {L"INS", VK_INSERT},    {L"INSERT", VK_INSERT},   {L"HOME", VK_HOME},
    {L"END", VK_END},       {L"PGUP", VK_PRIOR},    {L"PGDN", VK_NEXT},       {L"UP", VK_UP},
    {L"DOWN", VK_DOWN},     {L"LEFT", VK_LEFT},     {L"RIGHT", VK_RIGHT},     {L"PAUSE", VK_PAUSE},
    {L"PRINTSCREEN", VK_SNAPSHOT}, {L"NUMPADMULT", VK_MULTIPLY}, {L"NUMPADADD", VK_ADD},
    {L"NUMPADSUB", VK_SUBTRACT},   {L"NUMPADDIV", VK_DIVIDE},    {L"NUMPADDOT", VK_DECIMAL},
};

bool namedKey(std::wstring_view name, uint8_t& key) {
    for (const KeyName& k : kKeyNames) {
        if (name.size() == wcslen(k.name) && _wcsnicmp(name.data(), k.name, name.size()) == 0) {
            key = k.key;
            return true;
        }
    }
    auto numberAfter = [&](std::wstring_view prefix, int lowest, int highest, int& n) {
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 2 ||
            _wcsnicmp(name.data(), prefix.data(), prefix.size()) != 0)
            return false;
        n = 0;
        for (wchar_t c : name.substr(prefix.size())) {
            if (c < L'0' || c > L'9') return false;
            n = n * 10 + (c - L'0');
        }
        return n >= lowest && n <= highest;
    };
    int n = 0;
    if (numberAfter(L"F", 1, 24, n)) key = static_cast<uint8_t>(VK_F1 + n - 1);
    else if (numberAfter(L"NUMPAD", 0, 9, n)) key = static_cast<uint8_t>(VK_NUMPAD0 + n);
    else if (name.size() == 1 && VkKeyScanW(name[0]) != -1) key = LOBYTE(VkKeyScanW(name[0]));
    else return false;
    return true;
}

} // namespace

bool parseShortcutHotkey(std::wstring_view text, uint16_t& hotkey) {
    uint8_t modifiers = 0;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == L'+') modifiers |= HOTKEYF_SHIFT;
        else if (text[i] == L'^') modifiers |= HOTKEYF_CONTROL;
        else if (text[i] == L'!') modifiers |= HOTKEYF_ALT;
        else if (text[i] != L'#') break;
    }
    std::wstring_view rest = text.substr(i);
    // One character as it stands, or a key name in braces.
    if (rest.size() >= 3 && rest.front() == L'{' && rest.back() == L'}') rest = rest.substr(1, rest.size() - 2);
    else if (rest.size() != 1) return false;
    uint8_t key = 0;
    if (!namedKey(rest, key)) return false;
    if (!(modifiers & (HOTKEYF_CONTROL | HOTKEYF_ALT))) modifiers |= HOTKEYF_CONTROL | HOTKEYF_ALT;
    hotkey = static_cast<uint16_t>(MAKEWORD(key, modifiers));
    return true;
}

} // namespace vexil
