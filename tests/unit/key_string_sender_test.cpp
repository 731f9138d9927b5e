#include "automation/hot_key_parser.h"
#include "automation/key_names.h"
#include "automation/key_string_sender.h"
#include "recording_key_sink.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vexil {
namespace {

using testing::RecordingKeySink;

struct Sent {
    std::string log;
    int32_t pauses;
    int32_t pausedMs;
};

// Sends `keys` with no caps-lock handling, the script holding `held`.
std::string sendKeys(std::wstring_view keys, bool raw = false, uint8_t held = 0) {
    RecordingKeySink sink;
    SendSettings settings;
    settings.capsLockMode = false;
    KeyStringSender sender(sink, held, settings);
    sender.send(keys, raw);
    return sink.log;
}

TEST(KeyStringSender, EverydayKeyStrings) {
    struct Case {
        const wchar_t* keys;
        const char* expected;
    } cases[] = {
        {L"ab", "v65 ^65 v66 ^66 "},
        {L"A", "v160 v65 ^65 ^160 "},
        {L"+a", "v160 v65 ^65 ^160 "},
        {L"{+}", "v160 v187 ^187 ^160 "},
        {L"+{TAB}", "v160 v9 ^9 ^160 "},
        {L"^s", "v17 v83 ^83 ^17 "},
        {L"!f", "v18s v70s ^70s ^18s "},
        {L"^!{DEL}", "v17 v18 v46e ^46e ^18 ^17 "},
        {L"#r", "v91e v82 ^82 ^91e "},
        {L"{ENTER}", "v13 ^13 "},
        {L"{enter}{Tab}", "v13 ^13 v9 ^9 "},
        {L"{!}", "v160 v49 ^49 ^160 "},
        {L"{NUMPADENTER}", "v13e ^13e "},
        {L"{NUMPADENTER 3}", "v13e ^13e "},
        {L"{LEFT}{HOME}{F12}", "v37e ^37e v36e ^36e v123 ^123 "},
        {L"{BROWSER_FAVORTIES}", "v171e ^171e "},
        {L"@", "v17 v18 v81 ^81 ^18 ^17 "},
        {L"\n", "v13 ^13 "},
    };
    for (const Case& c : cases) EXPECT_EQ(sendKeys(c.keys), c.expected) << std::wstring(c.keys).size();
}

TEST(KeyStringSender, RepeatCounts) {
    EXPECT_EQ(sendKeys(L"{TAB 3}"), "v9 ^9 v9 ^9 v9 ^9 ");
    EXPECT_EQ(sendKeys(L"{a 3}"), "v65 ^65 v65 ^65 v65 ^65 ");
    EXPECT_EQ(sendKeys(L"{TAB 0}"), "");
    EXPECT_EQ(sendKeys(L"{TAB -2}"), "");
    EXPECT_EQ(sendKeys(L"{TAB    2}"), "v9 ^9 v9 ^9 ");
    // Modifiers go around all the repetitions, once.
    EXPECT_EQ(sendKeys(L"+{TAB 2}"), "v160 v9 ^9 v9 ^9 ^160 ");
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += "v9 ^9 ";
    EXPECT_EQ(sendKeys(L"{TAB 0x10}"), sixteen);
    EXPECT_EQ(sendKeys(L"{TAB 0X2}"), "v9 ^9 v9 ^9 ");
}

TEST(KeyStringSender, BracesThatAreNotKeys) {
    // No closing brace: the brace is a character and the rest is read as usual.
    EXPECT_EQ(sendKeys(L"{a+b"), "v160 v219 ^219 ^160 v65 ^65 v160 v66 ^66 ^160 ");
    EXPECT_EQ(sendKeys(L"{}a"), "v65 ^65 ");
    // Not a key name: its first character.
    EXPECT_EQ(sendKeys(L"{xyz}"), "v88 ^88 ");
    EXPECT_EQ(sendKeys(L"{{}"), "v160 v219 ^219 ^160 ");
    // A pending modifier applies to the braced key and not beyond.
    EXPECT_EQ(sendKeys(L"^{a}b"), "v17 v65 ^65 ^17 v66 ^66 ");
}

TEST(KeyStringSender, RawModeSendsEveryCharacter) {
    EXPECT_EQ(sendKeys(L"{TAB}", true), "v160 v219 ^219 ^160 v160 v84 ^84 ^160 v160 v65 ^65 ^160 v160 v66 ^66 ^160 "
                                        "v160 v221 ^221 ^160 ");
    // The layout has no key for "^" and "#": they go as themselves.
    EXPECT_EQ(sendKeys(L"^+!#", true), "vu94 ^u94 v160 v187 ^187 ^160 v160 v49 ^49 ^160 vu35 ^u35 ");
}

TEST(KeyStringSender, UnicodeCharactersWithoutAKey) {
    EXPECT_EQ(sendKeys(L"\u20ac"), "vu8364 ^u8364 ");
    // A surrogate pair arrives as its two units, in order.
    EXPECT_EQ(sendKeys(L"\U0001F600"), "vu55357 ^u55357 vu56832 ^u56832 ");
    // Prefixes do not apply to a character without a key.
    EXPECT_EQ(sendKeys(L"+\u00e9"), "vu233 ^u233 ");
    EXPECT_EQ(sendKeys(L"{\u00e9 2}"), "vu233 ^u233 vu233 ^u233 ");
    EXPECT_EQ(sendKeys(L"{\U0001F600 2}"), "vu55357 ^u55357 vu56832 ^u56832 vu55357 ^u55357 vu56832 ^u56832 ");
}

TEST(KeyStringSender, DownUpAndHeldModifiers) {
    EXPECT_EQ(sendKeys(L"{a down}{a up}"), "v65 ^65 ");
    EXPECT_EQ(sendKeys(L"{F1 DOWN}"), "v112 ");
    // Capitals under a held Shift need no Shift of their own.
    EXPECT_EQ(sendKeys(L"{SHIFTDOWN}aB{SHIFTUP}"), "v16 v65 ^65 v66 ^66 ^16 ");
    EXPECT_EQ(sendKeys(L"{SHIFTDOWN}{SHIFTDOWN}{SHIFTUP}{SHIFTUP}"), "v16 ^16 ");
    EXPECT_EQ(sendKeys(L"{CTRLDOWN}c{CTRLUP}"), "v17 v67 ^67 ^17 ");
    EXPECT_EQ(sendKeys(L"{ALTDOWN}x{ALTUP}"), "v18s v88s ^88s ^18s ");
    EXPECT_EQ(sendKeys(L"{LWINDOWN}{RWINDOWN}{RWINUP}{LWINUP}"), "v91e v92e ^92e ^91e ");
    EXPECT_EQ(sendKeys(L"{LSHIFT down}{RSHIFT}{LSHIFT up}"), "v160 v161 ^161 ^160 ");
    EXPECT_EQ(sendKeys(L"{ALT}{ALT 5}"), "v18s ^18s v18s ^18s ");
    EXPECT_EQ(sendKeys(L"{CTRLUP}{ALTUP}"), "");

    // Held modifiers outlive one send.
    RecordingKeySink sink;
    uint8_t held = 0;
    SendSettings settings;
    settings.capsLockMode = false;
    KeyStringSender(sink, held, settings).send(L"{CTRLDOWN}", false);
    EXPECT_EQ(held, ModifierKey::Ctrl);
    KeyStringSender(sink, held, settings).send(L"^v{CTRLUP}", false);
    EXPECT_EQ(sink.log, "v17 v86 ^86 ^17 ");
    EXPECT_EQ(held, 0);
}

TEST(KeyStringSender, TogglesAndCapsLockMode) {
    RecordingKeySink sink;
    uint8_t held = 0;
    SendSettings settings;
    settings.capsLockMode = false;
    sink.toggles[144] = 1;
    KeyStringSender(sink, held, settings).send(L"{NUMLOCK on}{CAPSLOCK off}", false);
    EXPECT_EQ(sink.log, "");
    KeyStringSender(sink, held, settings).send(L"{NUMLOCK off}{CAPSLOCK on}", false);
    EXPECT_EQ(sink.log, "v144 ^144 v20 ^20 ");

    // Caps Lock goes off for the keys and on again after them; the user's Shift is lifted once
    // before the first key and pressed again at the end.
    RecordingKeySink caps;
    caps.toggles[20] = 1;
    caps.physical[160] = 1;
    settings.capsLockMode = true;
    KeyStringSender(caps, held, settings).send(L"abc", false);
    EXPECT_EQ(caps.log, "v20 ^20 lift160 v65 ^65 v66 ^66 v67 ^67 restore160 v20 ^20 ");
    EXPECT_TRUE(caps.toggled(20));
}

TEST(KeyStringSender, LockKeysPressedInASendAreKnownWithoutReadingThemAgain) {
    // The system's reading may lag behind the keys just sent: the send goes by what it pressed.
    RecordingKeySink sink;
    sink.staleToggles = true;
    sink.toggles[20] = 1;
    uint8_t held = 0;
    KeyStringSender(sink, held, SendSettings{0, 0, true}).send(L"a{CAPSLOCK off}{CAPSLOCK on}b", false);
    // Off for the keys, on again for {CAPSLOCK on}; nothing to restore at the end.
    EXPECT_EQ(sink.log, "v20 ^20 v65 ^65 v20 ^20 v66 ^66 ");
}

TEST(KeyStringSender, AscCodes) {
    EXPECT_EQ(sendKeys(L"{ASC 65}"), "v18s v102 ^102 v101 ^101 ^18s ");
    EXPECT_EQ(sendKeys(L"{ASC 0x041}"), "v18s v96 ^96 v102 ^102 v101 ^101 ^18s ");
    EXPECT_EQ(sendKeys(L"{ALTDOWN}{ASC 7}{ALTUP}"), "v18s v103s ^103s ^18s ");
    RecordingKeySink sink;
    sink.isTargeted = true;
    uint8_t held = 0;
    KeyStringSender(sink, held, SendSettings{0, 0, false}).send(L"{ASC 0x20AC}", false);
    EXPECT_EQ(sink.log, "vu8364 ^u8364 ");
}

TEST(KeyStringSender, MouseButtonNames) {
    EXPECT_EQ(sendKeys(L"{MOUSE_LBUTTON}"), "vm1 ^m1 ");
    EXPECT_EQ(sendKeys(L"{MOUSE_RBUTTON 2}"), "vm2 ^m2 vm2 ^m2 ");
    EXPECT_EQ(sendKeys(L"{MOUSE_XBUTTON1 down}{MOUSE_XBUTTON1 up}"), "vm5 ^m5 ");
}

TEST(KeyStringSender, DelaysAfterEveryKeyAndAtLeastTwoForAControl) {
    RecordingKeySink sink;
    uint8_t held = 0;
    KeyStringSender(sink, held, SendSettings{7, 3, false}).send(L"ab", false);
    EXPECT_EQ(sink.pauses, 4);
    EXPECT_EQ(sink.pausedMs, 20);
    RecordingKeySink control;
    control.isTargeted = true;
    KeyStringSender(control, held, SendSettings{0, 0, false}).send(L"ab", false);
    EXPECT_EQ(control.pausedMs, 8);
}

TEST(KeyNames, TableHoldsEveryNameOnceWithItsCode) {
    EXPECT_EQ(keyNames().size(), 99u);
    std::set<std::wstring_view> seen;
    for (const KeyName& entry : keyNames()) {
        EXPECT_TRUE(seen.insert(entry.name).second);
        const KeyName* found = findKeyName(entry.name);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found, &entry);
    }
    struct Code {
        const wchar_t* name;
        int vk;
    } codes[] = {{L"BS", 8}, {L"esc", 27}, {L"F7", 118}, {L"pgdn", 34}, {L"NUMPAD7", 103}, {L"NumpadSub", 109},
                 {L"BREAK", 3}, {L"OEM_102", 226}, {L"LAUNCH_APP2", 183}, {L"rctrl", 163}, {L"MOUSE_MBUTTON", 4}};
    for (const Code& c : codes) {
        const KeyName* found = findKeyName(c.name);
        ASSERT_NE(found, nullptr) << c.vk;
        EXPECT_EQ(found->code, c.vk);
    }
    EXPECT_EQ(findKeyName(L"ASC")->kind, KeyNameKind::Special);
    EXPECT_EQ(findKeyName(L"NUMPADENTER")->code, static_cast<uint8_t>(SpecialKey::NumpadEnter));
    EXPECT_EQ(findKeyName(L"NOKEY"), nullptr);
    EXPECT_EQ(findKeyName(L""), nullptr);
    EXPECT_EQ(findKeyName(L"BROWSER_FAVORITES"), nullptr);
}

TEST(KeyNames, ExtendedKeys) {
    for (int vk : {33, 40, 45, 46, 91, 92, 93, 95, 111, 163, 165, 183}) EXPECT_TRUE(isExtendedKey(vk)) << vk;
    for (int vk : {13, 32, 41, 44, 96, 110, 162, 164, 184}) EXPECT_FALSE(isExtendedKey(vk)) << vk;
}

TEST(HotKeyParser, PrefixesNamesAndCharacters) {
    RecordingKeySink layout;
    HotKey key;
    ASSERT_EQ(parseHotKey(L"^!{F5}", layout, key), HotKeyParse::Ok);
    EXPECT_EQ(key.vk, 116);
    EXPECT_TRUE(key.ctrl && key.alt && !key.shift && !key.win);
    ASSERT_EQ(parseHotKey(L"+#a", layout, key), HotKeyParse::Ok);
    EXPECT_EQ(key.vk, 'A');
    EXPECT_TRUE(key.shift && key.win && !key.ctrl);
    // The character's own Shift counts.
    ASSERT_EQ(parseHotKey(L"B", layout, key), HotKeyParse::Ok);
    EXPECT_TRUE(key.shift);
    ASSERT_EQ(parseHotKey(L"{@}", layout, key), HotKeyParse::Ok);
    EXPECT_EQ(key.vk, 'Q');
    EXPECT_TRUE(key.ctrl && key.alt);
    ASSERT_EQ(parseHotKey(L"^{PAUSE}", layout, key), HotKeyParse::Ok);
    EXPECT_EQ(key.vk, 19);
    ASSERT_EQ(parseHotKey(L"{xyz}", layout, key), HotKeyParse::Ok);
    EXPECT_EQ(key.vk, 'X');
}

TEST(HotKeyParser, Failures) {
    RecordingKeySink layout;
    HotKey key;
    EXPECT_EQ(parseHotKey(L"", layout, key), HotKeyParse::Malformed);
    EXPECT_EQ(parseHotKey(L"^+", layout, key), HotKeyParse::Malformed);
    EXPECT_EQ(parseHotKey(L"{F5", layout, key), HotKeyParse::Malformed);
    EXPECT_EQ(parseHotKey(L"{}", layout, key), HotKeyParse::Malformed);
    EXPECT_EQ(parseHotKey(L"{CTRLDOWN}", layout, key), HotKeyParse::Malformed);
    EXPECT_EQ(parseHotKey(L"{LSHIFT}", layout, key), HotKeyParse::Malformed);
    EXPECT_EQ(parseHotKey(L"\u20ac", layout, key), HotKeyParse::NoSuchKey);
    EXPECT_EQ(parseHotKey(L"^{\u00e9}", layout, key), HotKeyParse::NoSuchKey);
}

} // namespace
} // namespace vexil
