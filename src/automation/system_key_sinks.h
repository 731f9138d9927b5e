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

// What both sinks ask of the system: the layout, the lock keys' toggles and the pauses.
class SystemKeySink : public KeySink {
public:
    int16_t keyOfCharacter(wchar_t c) override { return layout_.keyOfCharacter(c); }
    uint8_t scanCode(uint8_t vk) override { return layout_.scanCode(vk); }
    bool toggled(uint8_t vk) override { return GetKeyState(vk) & 1; }
    void pause(int32_t ms) override;

private:
    SystemKeyLayout layout_;
};

// SendInput: what the user's own typing would do.
class InputStreamSink : public SystemKeySink {
public:
    // `keepActive`: a window brought to the front before each character, or nullptr; forgotten
    // (set to nullptr) once it no longer exists.
    explicit InputStreamSink(HWND* keepActive = nullptr) : keepActive_(keepActive) {}

    void key(const KeyStroke& stroke) override;
    void character(wchar_t c, bool up) override;
    void mouseButton(uint8_t vk, bool up) override;
    bool physicallyDown(uint8_t vk) override { return GetAsyncKeyState(vk) & 0x8000; }
    void physicalModifier(uint8_t vk, bool up) override;
    bool targeted() const override { return false; }
    void beforeCharacter() override;

private:
    HWND* keepActive_;
};

// Posted messages to one control, with the thread's keyboard state kept to match; the lock keys
// still go through the input stream, as only it changes their toggles.
class ControlMessageSink : public SystemKeySink {
public:
    explicit ControlMessageSink(HWND target)
        : target_(target), ownThread_(GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()) {}

    void key(const KeyStroke& stroke) override;
    void character(wchar_t c, bool up) override;
    void mouseButton(uint8_t vk, bool up) override;
    bool physicallyDown(uint8_t vk) override;
    void physicalModifier(uint8_t vk, bool up) override;
    bool targeted() const override { return true; }

private:
    void setKeyState(uint8_t vk, bool down);
    void post(UINT message, WPARAM wParam, LPARAM lParam);
    InputStreamSink stream_;
    HWND target_;
    // A control of this thread reads its keys only when this thread pumps: each is handled at
    // once, while the keyboard state still says which modifiers are down.
    bool ownThread_;
};

} // namespace vexil
