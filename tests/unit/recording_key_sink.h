#pragma once
// A key sink that writes what it receives as text, over a small US-style layout: lower-case
// letters and digits plain, capitals and a few symbols with Shift, "@" with Ctrl+Alt, and no key
// for anything beyond ASCII.
#include "automation/key_sink.h"

#include <cstdint>
#include <string>

namespace vexil::testing {

class RecordingKeySink : public KeySink {
public:
    std::string log;
    uint8_t toggles[256] = {};
    uint8_t physical[256] = {};
    bool isTargeted = false;
    bool staleToggles = false; // the toggles do not follow the keys sent (a thread that lags)
    int32_t pauses = 0;
    int32_t pausedMs = 0;

    int16_t keyOfCharacter(wchar_t c) override {
        if (c >= L'a' && c <= L'z') return static_cast<int16_t>('A' + (c - L'a'));
        if (c >= L'A' && c <= L'Z') return static_cast<int16_t>(0x100 | c);
        if (c >= L'0' && c <= L'9') return static_cast<int16_t>(c);
        switch (c) {
        case L' ': return 32;
        case L'!': return 0x100 | '1';
        case L'+': return 0x100 | 187;
        case L'=': return 187;
        case L'{': return 0x100 | 219;
        case L'}': return 0x100 | 221;
        case L'@': return 0x600 | 'Q';
        case L'\n': return 13;
        default: return -1;
        }
    }
    uint8_t scanCode(uint8_t vk) override { return static_cast<uint8_t>(vk ^ 0x5A); }
    void key(const KeyStroke& s) override {
        log += s.up ? '^' : 'v';
        log += std::to_string(s.vk);
        if (s.extended) log += 'e';
        if (s.altOnly) log += 's';
        if (s.scan != static_cast<uint8_t>(s.vk ^ 0x5A)) log += "!scan";
        log += ' ';
        if (!staleToggles && (s.vk == 20 || s.vk == 144) && s.up) toggles[s.vk] ^= 1;
    }
    void character(wchar_t c, bool up) override {
        log += up ? "^u" : "vu";
        log += std::to_string(static_cast<unsigned>(c));
        log += ' ';
    }
    void mouseButton(uint8_t vk, bool up) override {
        log += up ? "^m" : "vm";
        log += std::to_string(vk);
        log += ' ';
    }
    bool toggled(uint8_t vk) override { return toggles[vk] & 1; }
    bool physicallyDown(uint8_t vk) override { return physical[vk] != 0; }
    void physicalModifier(uint8_t vk, bool up) override {
        log += up ? "lift" : "restore";
        log += std::to_string(vk);
        log += ' ';
    }
    bool targeted() const override { return isTargeted; }
    void pause(int32_t ms) override {
        ++pauses;
        pausedMs += ms;
    }
};

} // namespace vexil::testing
