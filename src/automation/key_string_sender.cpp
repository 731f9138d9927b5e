#include "automation/key_string_sender.h"

#include "automation/descriptor_syntax.h"
#include "automation/key_names.h"
#include "base/ascii_case.h"
#include "base/hex_digits.h"

#include <algorithm>
#include <array>

namespace vexil {

namespace {

constexpr uint8_t kCapsLock = 20;
constexpr uint8_t kAlt = 18;
constexpr uint8_t kCtrl = 17;
constexpr uint8_t kShift = 16;
constexpr uint8_t kEnter = 13;
constexpr uint8_t kNumpad0 = 96;

int lockIndex(uint8_t vk) { return vk == kCapsLock ? 0 : vk == 144 ? 1 : vk == 145 ? 2 : -1; }

// Modifier bits and their keys, in the order they go down.
struct ModifierKeyCode {
    uint8_t bit;
    uint8_t vk;
};
constexpr std::array<ModifierKeyCode, 6> kModifierKeys{{{ModifierKey::LShift, 160},
                                                        {ModifierKey::RShift, 161},
                                                        {ModifierKey::Ctrl, kCtrl},
                                                        {ModifierKey::Alt, kAlt},
                                                        {ModifierKey::LWin, 91},
                                                        {ModifierKey::RWin, 92}}};

// Decimal digits of `value` (sign included), after a "0" when `leadingZero`, into `out`; the
// written length.
size_t writeDecimal(int32_t value, bool leadingZero, wchar_t* out) {
    wchar_t digits[12];
    size_t n = 0;
    int64_t v = value;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
        digits[n++] = static_cast<wchar_t>(L'0' + v % 10);
        v /= 10;
    } while (v);
    size_t length = 0;
    if (leadingZero) out[length++] = L'0';
    if (negative) out[length++] = L'-';
    while (n) out[length++] = digits[--n];
    return length;
}

} // namespace

bool isExtendedKey(uint8_t vk) {
    return (vk >= 33 && vk <= 40) || vk == 45 || vk == 46 || vk == 91 || vk == 92 || vk == 93 || vk == 95 ||
           vk == 111 || vk == 163 || (vk >= 165 && vk <= 183);
}

KeyStringSender::KeyStringSender(KeySink& sink, uint8_t& held, const SendSettings& settings)
    : sink_(sink), held_(held), settings_(settings), downDelay_(settings.keyDownDelay), upDelay_(settings.keyDelay) {
    // Messages to a control need a moment each to be read in order.
    if (sink_.targeted()) {
        downDelay_ = std::max(downDelay_, 2);
        upDelay_ = std::max(upDelay_, 2);
    }
}

void KeyStringSender::send(std::wstring_view keys, bool raw) {
    pending_ = 0;
    physical_ = 0;
    lifted_ = 0;
    lockKnown_[0] = lockKnown_[1] = lockKnown_[2] = -1;
    bool capsWasOn = false;
    if (settings_.capsLockMode) {
        capsWasOn = lockOn(kCapsLock);
        if (capsWasOn) {
            stroke(kCapsLock, false, false);
            stroke(kCapsLock, false, true);
        }
        for (const ModifierKeyCode& m : kModifierKeys) {
            if (m.bit == ModifierKey::RWin || (held_ & m.bit)) continue;
            if (sink_.physicallyDown(m.vk)) physical_ |= m.bit;
        }
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        sink_.beforeCharacter();
        const wchar_t c = keys[i];
        if (!raw) {
            switch (c) {
            case L'!': pending_ |= ModifierKey::Alt; continue;
            case L'#': pending_ |= ModifierKey::LWin; continue;
            case L'+': pending_ |= ModifierKey::LShift; continue;
            case L'^': pending_ |= ModifierKey::Ctrl; continue;
            case L'{': {
                const size_t close = keys.find(L'}', i + 1);
                if (close == std::wstring_view::npos) break; // sent as itself
                if (close > i + 1) braced(keys.substr(i + 1, close - i - 1));
                i = close;
                pending_ = 0;
                continue;
            }
            default: break;
            }
        }
        sendCharacter(c, 1);
        pending_ = 0;
    }
    if (settings_.capsLockMode) {
        for (const ModifierKeyCode& m : kModifierKeys)
            if (lifted_ & m.bit) sink_.physicalModifier(m.vk, false);
        if (capsWasOn && !lockOn(kCapsLock)) {
            stroke(kCapsLock, false, false);
            stroke(kCapsLock, false, true);
        }
    }
}

void KeyStringSender::sendCharacter(wchar_t c, int32_t count) {
    const int16_t key = sink_.keyOfCharacter(c);
    if (key == -1) {
        for (int32_t n = 0; n < count; ++n) {
            sink_.character(c, false);
            afterDown();
            sink_.character(c, true);
            afterUp();
        }
        return;
    }
    if (key & 0x100) pending_ |= ModifierKey::LShift;
    if (key & 0x200) pending_ |= ModifierKey::Ctrl;
    if (key & 0x400) pending_ |= ModifierKey::Alt;
    pressWithModifiers(static_cast<uint8_t>(key & 0xFF), false, count);
}

void KeyStringSender::characterDownOrUp(wchar_t c, bool up) {
    const int16_t key = sink_.keyOfCharacter(c);
    if (key == -1) {
        sink_.character(c, up);
        up ? afterUp() : afterDown();
        return;
    }
    stroke(static_cast<uint8_t>(key & 0xFF), false, up);
}

void KeyStringSender::pressWithModifiers(uint8_t vk, bool extended, int32_t count) {
    if (count <= 0) return;
    // What the script holds is down already; either Shift serves for Shift.
    uint8_t drop = held_;
    if (held_ & ModifierKey::Shift) drop |= ModifierKey::Shift;
    pending_ &= static_cast<uint8_t>(~drop);
    liftPhysical();
    const uint8_t around = pending_;
    modifiers(around, false);
    for (int32_t n = 0; n < count; ++n) {
        stroke(vk, extended, false);
        stroke(vk, extended, true);
    }
    modifiers(around, true);
}

void KeyStringSender::liftPhysical() {
    const uint8_t lift = physical_ & static_cast<uint8_t>(~held_) & static_cast<uint8_t>(~lifted_);
    if (!lift) return;
    for (const ModifierKeyCode& m : kModifierKeys)
        if (lift & m.bit) sink_.physicalModifier(m.vk, true);
    lifted_ |= lift;
}

void KeyStringSender::modifiers(uint8_t set, bool up) {
    if (!set) return;
    if (!up) {
        for (const ModifierKeyCode& m : kModifierKeys)
            if (set & m.bit) stroke(m.vk, isExtendedKey(m.vk), false);
        return;
    }
    for (auto it = kModifierKeys.rbegin(); it != kModifierKeys.rend(); ++it)
        if (set & it->bit) stroke(it->vk, isExtendedKey(it->vk), true);
}

bool KeyStringSender::lockOn(uint8_t vk) {
    const int i = lockIndex(vk);
    if (lockKnown_[i] < 0) lockKnown_[i] = sink_.toggled(vk) ? 1 : 0;
    return lockKnown_[i] == 1;
}

void KeyStringSender::stroke(uint8_t vk, bool extended, bool up) {
    // A press of a lock key flips its toggle.
    if (!up && lockIndex(vk) >= 0) lockKnown_[lockIndex(vk)] = lockOn(vk) ? 0 : 1;
    const uint8_t active = pending_ | held_;
    const bool ctrl = (active & ModifierKey::Ctrl) || vk == kCtrl || vk == 162 || vk == 163;
    const bool alt = (active & ModifierKey::Alt) || vk == kAlt || vk == 164 || vk == 165;
    sink_.key(KeyStroke{vk, sink_.scanCode(vk), extended, up, alt && !ctrl});
    up ? afterUp() : afterDown();
}

void KeyStringSender::braced(std::wstring_view text) {
    size_t space = text.find(L' ');
    std::wstring_view name = text.substr(0, space);
    std::wstring_view argument;
    if (space != std::wstring_view::npos) {
        argument = text.substr(space + 1);
        size_t skip = argument.find_first_not_of(L" \t");
        argument = skip == std::wstring_view::npos ? std::wstring_view() : argument.substr(skip);
    }
    Action action = Action::Press;
    int32_t count = 1;
    wchar_t digits[16];
    std::wstring_view ascDigits = argument;
    if (!argument.empty()) {
        if (sameNameAnyCase(L"up", argument)) action = Action::Up;
        else if (sameNameAnyCase(L"down", argument)) action = Action::Down;
        else if (sameNameAnyCase(L"on", argument)) action = Action::On;
        else if (sameNameAnyCase(L"off", argument)) action = Action::Off;
        else if (argument.size() >= 2 && argument[0] == L'0' && (argument[1] == L'x' || argument[1] == L'X')) {
            uint32_t value = 0;
            size_t i = 2;
            for (; i < argument.size() && i < 10 && hexDigitValue(argument[i]) >= 0; ++i)
                value = value * 16 + static_cast<uint32_t>(hexDigitValue(argument[i]));
            count = static_cast<int32_t>(value);
            const bool leadingZero = argument.size() > 2 && argument[2] == L'0';
            ascDigits = std::wstring_view(digits, writeDecimal(count, leadingZero, digits));
        } else {
            count = descriptorNumber(argument); // sign and digits, the rest ignored
        }
        if (count < 0) count = 0;
    }
    if (name.empty()) return;
    if (const KeyName* entry = findKeyName(name)) {
        namedKey(*entry, action, count, ascDigits);
        return;
    }
    // Not a key name: its first character (both halves of a surrogate pair).
    const bool pair = name.size() >= 2 && name[0] >= 0xD800 && name[0] < 0xDC00 && name[1] >= 0xDC00 && name[1] < 0xE000;
    if (action == Action::Down || action == Action::Up) {
        characterDownOrUp(name[0], action == Action::Up);
        if (pair) characterDownOrUp(name[1], action == Action::Up);
    } else if (pair) {
        for (int32_t n = 0; n < count; ++n) {
            sendCharacter(name[0], 1);
            sendCharacter(name[1], 1);
        }
    } else {
        sendCharacter(name[0], count);
    }
}

void KeyStringSender::namedKey(const KeyName& entry, Action action, int32_t count, std::wstring_view ascDigits) {
    switch (entry.kind) {
    case KeyNameKind::Special: return special(entry.code, action, ascDigits, count);
    case KeyNameKind::MouseButton:
        if (action != Action::Up)
            for (int32_t n = 0; n < (action == Action::Down ? 1 : count); ++n) {
                sink_.mouseButton(entry.code, false);
                afterDown();
                if (action == Action::Down) return;
                sink_.mouseButton(entry.code, true);
                afterUp();
            }
        else {
            sink_.mouseButton(entry.code, true);
            afterUp();
        }
        return;
    case KeyNameKind::Plain: break;
    }
    const uint8_t vk = entry.code;
    const bool extended = isExtendedKey(vk);
    switch (action) {
    case Action::Down: return stroke(vk, extended, false);
    case Action::Up: return stroke(vk, extended, true);
    case Action::On:
    case Action::Off:
        if (lockIndex(vk) >= 0 ? lockOn(vk) != (action == Action::On) : sink_.toggled(vk) != (action == Action::On)) {
            stroke(vk, extended, false);
            stroke(vk, extended, true);
        }
        return;
    case Action::Press: return pressWithModifiers(vk, extended, count);
    }
}

void KeyStringSender::holdModifier(uint8_t bit, uint8_t vk, bool up) {
    if (up) {
        if (!(held_ & bit)) return;
        held_ &= static_cast<uint8_t>(~bit);
        stroke(vk, isExtendedKey(vk), true);
        return;
    }
    if (held_ & bit) return;
    held_ |= bit;
    stroke(vk, isExtendedKey(vk), false);
}

void KeyStringSender::special(uint8_t which, Action action, std::wstring_view ascDigits, int32_t count) {
    switch (static_cast<SpecialKey>(which)) {
    case SpecialKey::CtrlDown: return holdModifier(ModifierKey::Ctrl, kCtrl, false);
    case SpecialKey::CtrlUp: return holdModifier(ModifierKey::Ctrl, kCtrl, true);
    case SpecialKey::AltDown: return holdModifier(ModifierKey::Alt, kAlt, false);
    case SpecialKey::AltUp: return holdModifier(ModifierKey::Alt, kAlt, true);
    case SpecialKey::ShiftDown: return holdModifier(ModifierKey::LShift, kShift, false);
    case SpecialKey::ShiftUp: return holdModifier(ModifierKey::LShift, kShift, true);
    case SpecialKey::LWinDown: return holdModifier(ModifierKey::LWin, 91, false);
    case SpecialKey::LWinUp: return holdModifier(ModifierKey::LWin, 91, true);
    case SpecialKey::RWinDown: return holdModifier(ModifierKey::RWin, 92, false);
    case SpecialKey::RWinUp: return holdModifier(ModifierKey::RWin, 92, true);
    case SpecialKey::Alt:
    case SpecialKey::LShift:
    case SpecialKey::RShift: {
        const SpecialKey key = static_cast<SpecialKey>(which);
        const uint8_t bit = key == SpecialKey::Alt ? ModifierKey::Alt
                            : key == SpecialKey::LShift ? ModifierKey::LShift
                                                         : ModifierKey::RShift;
        const uint8_t vk = key == SpecialKey::Alt ? kAlt : key == SpecialKey::LShift ? 160 : 161;
        if (action == Action::Down || action == Action::Up) return holdModifier(bit, vk, action == Action::Up);
        stroke(vk, false, false);
        stroke(vk, false, true);
        return;
    }
    case SpecialKey::NumpadEnter:
        if (action != Action::Up) stroke(kEnter, true, false);
        if (action != Action::Down) stroke(kEnter, true, true);
        return;
    case SpecialKey::Asc:
        if (sink_.targeted()) {
            const wchar_t c = static_cast<wchar_t>(count);
            sink_.character(c, false);
            afterDown();
            sink_.character(c, true);
            afterUp();
            return;
        }
        if (!(held_ & ModifierKey::Alt)) stroke(kAlt, false, false);
        for (wchar_t digit : ascDigits) {
            if (digit < L'0' || digit > L'9') continue;
            const uint8_t vk = static_cast<uint8_t>(kNumpad0 + (digit - L'0'));
            stroke(vk, false, false);
            stroke(vk, false, true);
        }
        if (!(held_ & ModifierKey::Alt)) stroke(kAlt, false, true);
        return;
    }
}

} // namespace vexil
