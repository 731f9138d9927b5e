#pragma once
// The Windows key sinks: keys injected into the system input stream (the active window gets
// them), or posted as keyboard messages to one control.
#include "automation/key_sink.h"

#include <windows.h>

namespace vexil {

class SystemKeyLayout : public KeyLayout {
public:
    int16_t keyOfCharacter(wchar_t c) override { return VkKeyScanW(c); }
    uint8_t scanCode(uint8_t vk) override { return static_cast<uint8_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)); }
};

// SendInput: what the user's own typing would do.
class InputStreamSink : public KeySink {
public:
    // `keepActive`: a window brought to the front before each character, or nullptr; forgotten
    // (set to nullptr) once it no longer exists.
    explicit InputStreamSink(HWND* keepActive = nullptr) : keepActive_(keepActive) {}

    int16_t keyOfCharacter(wchar_t c) override { return layout_.keyOfCharacter(c); }
    uint8_t scanCode(uint8_t vk) override { return layout_.scanCode(vk); }
    void key(const KeyStroke& stroke) override;
    void character(wchar_t c, bool up) override;
    void mouseButton(uint8_t vk, bool up) override;
    bool toggled(uint8_t vk) override { return GetKeyState(vk) & 1; }
    bool physicallyDown(uint8_t vk) override { return GetAsyncKeyState(vk) & 0x8000; }
    void physicalModifier(uint8_t vk, bool up) override;
    bool targeted() const override { return false; }
    void beforeCharacter() override;
    void pause(int32_t ms) override;

private:
    SystemKeyLayout layout_;
    HWND* keepActive_;
};

// Posted messages to one control, with the thread's keyboard state kept to match; the lock keys
// still go through the input stream, as only it changes their toggles.
class ControlMessageSink : public KeySink {
public:
    explicit ControlMessageSink(HWND target) : target_(target) {}

    int16_t keyOfCharacter(wchar_t c) override { return layout_.keyOfCharacter(c); }
    uint8_t scanCode(uint8_t vk) override { return layout_.scanCode(vk); }
    void key(const KeyStroke& stroke) override;
    void character(wchar_t c, bool up) override;
    void mouseButton(uint8_t vk, bool up) override;
    bool toggled(uint8_t vk) override { return GetKeyState(vk) & 1; }
    bool physicallyDown(uint8_t vk) override;
    void physicalModifier(uint8_t vk, bool up) override;
    bool targeted() const override { return true; }
    void pause(int32_t ms) override;

private:
    void setKeyState(uint8_t vk, bool down);
    SystemKeyLayout layout_;
    InputStreamSink stream_;
    HWND target_;
};

} // namespace vexil
