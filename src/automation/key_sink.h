#pragma once
// Where the key-string interpreter's input goes, and what it asks of the keyboard. The system
// sinks inject into the input stream or post to one control; tests record.
#include <cstdint>

namespace vexil {

// What the keyboard layout says of keys and characters.
class KeyLayout {
public:
    virtual ~KeyLayout() = default;
    // The key of a character and the modifiers it needs (0x100 Shift, 0x200 Ctrl, 0x400 Alt) in
    // the high byte, or -1 when no key produces it.
    virtual int16_t keyOfCharacter(wchar_t c) = 0;
    // The scan code of a virtual key.
    virtual uint8_t scanCode(uint8_t vk) = 0;
};

struct KeyStroke {
    uint8_t vk;
    uint8_t scan;
    bool extended;
    bool up;
    // Alt is pending or held and Ctrl is not: a target control gets the system-key message.
    bool altOnly;
};

class KeySink : public KeyLayout {
public:
    virtual void key(const KeyStroke& stroke) = 0;
    // A character that no key produces, as itself.
    virtual void character(wchar_t c, bool up) = 0;
    // A mouse button (1, 2, 4, 5 or 6: the virtual keys of the buttons).
    virtual void mouseButton(uint8_t vk, bool up) = 0;
    // The low (toggle) bit of a key's state: Caps Lock, Num Lock, Scroll Lock.
    virtual bool toggled(uint8_t vk) = 0;
    // The user holds this modifier key down.
    virtual bool physicallyDown(uint8_t vk) = 0;
    // Lifts (up) or restores a modifier that the user holds, around the keys sent.
    virtual void physicalModifier(uint8_t vk, bool up) = 0;
    // The sink sends to one control (posted messages), not into the input stream.
    virtual bool targeted() const = 0;
    // Before each character of the string (the keep-active window is served here).
    virtual void beforeCharacter() {}
    // The pause after a key-down or key-up.
    virtual void pause(int32_t ms) = 0;
};

} // namespace vexil
