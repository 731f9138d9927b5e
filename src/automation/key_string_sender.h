#pragma once
// The key-string interpreter: turns a string such as "^s" or "{TAB 3}" into key events on a
// KeySink. Prefixes + ^ ! # press Shift, Ctrl, Alt and Win around the next key; braces name keys
// ({F5}), repeat them ({a 3}), hold them ({SHIFTDOWN}, {a down}) or set toggles ({NUMLOCK on});
// raw mode sends every character as itself.
#include "automation/key_sink.h"

#include <cstdint>
#include <string_view>

namespace vexil {

// Modifier keys, as bits of a set.
namespace ModifierKey {
constexpr uint8_t LShift = 1;
constexpr uint8_t RShift = 2;
constexpr uint8_t Ctrl = 4;
constexpr uint8_t Alt = 8;
constexpr uint8_t LWin = 16;
constexpr uint8_t RWin = 32;
constexpr uint8_t Shift = LShift | RShift;
} // namespace ModifierKey

struct SendSettings {
    int32_t keyDelay = 5;     // after every key-up
    int32_t keyDownDelay = 5; // after every key-down
    bool capsLockMode = true; // Caps Lock off and the user's modifiers lifted while sending
};

// Keys that travel with the extended-key flag.
bool isExtendedKey(uint8_t vk);

class KeyStringSender {
public:
    // `held`: the modifiers the script holds down, kept between sends.
    KeyStringSender(KeySink& sink, uint8_t& held, const SendSettings& settings);
    void send(std::wstring_view keys, bool raw);

private:
    enum class Action : uint8_t { Press, Down, Up, On, Off };
    void sendCharacter(wchar_t c, int32_t count);
    void characterDownOrUp(wchar_t c, bool up);
    void braced(std::wstring_view text);
    void namedKey(const struct KeyName& entry, Action action, int32_t count, std::wstring_view ascDigits);
    void special(uint8_t which, Action action, std::wstring_view ascDigits, int32_t count);
    void holdModifier(uint8_t bit, uint8_t vk, bool up);
    void pressWithModifiers(uint8_t vk, bool extended, int32_t count);
    void stroke(uint8_t vk, bool extended, bool up);
    void modifiers(uint8_t set, bool up);
    void liftPhysical();
    // A lock key's toggle: what this send made it, once it pressed the key, else the sink's
    // reading (which may not have caught up with the keys just sent).
    bool lockOn(uint8_t vk);
    void afterDown() { sink_.pause(downDelay_); }
    void afterUp() { sink_.pause(upDelay_); }

    KeySink& sink_;
    uint8_t& held_;
    SendSettings settings_;
    int32_t downDelay_;
    int32_t upDelay_;
    uint8_t pending_ = 0;
    uint8_t physical_ = 0; // the user's modifiers at the start (caps-lock mode)
    uint8_t lifted_ = 0;   // of those, the ones lifted so far
    int8_t lockKnown_[3] = {-1, -1, -1}; // Caps Lock, Num Lock, Scroll Lock: -1 not known yet
};

} // namespace vexil
