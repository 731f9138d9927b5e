#pragma once
// What the script's keystrokes leave for the next SEND: the modifiers it holds down and the
// window SENDKEEPACTIVE keeps in front. The held modifiers are released when the run ends, a
// fatal error included, so that the desktop is never left with a key down.
#include "engine/builtins/builtin_api.h"

#include <cstdint>

namespace vexil {

class ScriptKeyboard final : public RunResource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::Keyboard;
    ~ScriptKeyboard() override;

    uint8_t held = 0;             // ModifierKey bits
    void* keepActive = nullptr;   // an HWND, or nullptr
};

} // namespace vexil
