#include "library/shortcut_hotkey.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

using namespace vexil;

TEST(ShortcutHotkey, ModifiersAndKeys) {
    struct Case {
        const wchar_t* text;
        bool ok;
        uint8_t key;
        uint8_t modifiers;
    };
    const uint8_t ctrlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
    const Case cases[] = {
        {L"^!v", true, 'V', ctrlAlt},
        {L"^a", true, 'A', HOTKEYF_CONTROL},
        {L"!{F5}", true, VK_F5, HOTKEYF_ALT},
        {L"+{F24}", true, VK_F24, HOTKEYF_SHIFT | ctrlAlt}, // neither Ctrl nor Alt: both added
        {L"{home}", true, VK_HOME, ctrlAlt},
        {L"#^{NUMPAD7}", true, VK_NUMPAD7, HOTKEYF_CONTROL},
        {L"^{x}", true, 'X', HOTKEYF_CONTROL},
        {L"^{F25}", false, 0, 0},
        {L"^{F0}", false, 0, 0},
        {L"^{nosuchkey}", false, 0, 0},
        {L"^ab", false, 0, 0},
        {L"^", false, 0, 0},
        {L"", false, 0, 0},
        {L"^{}", false, 0, 0},
    };
    for (const Case& c : cases) {
        uint16_t hotkey = 0xFFFF;
        EXPECT_EQ(parseShortcutHotkey(c.text, hotkey), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(LOBYTE(hotkey), c.key) << c.text;
            EXPECT_EQ(HIBYTE(hotkey), c.modifiers) << c.text;
        }
    }
}
