#include "automation/script_keyboard.h"

#include "automation/key_string_sender.h"
#include "automation/system_key_sinks.h"

namespace vexil {

ScriptKeyboard::~ScriptKeyboard() {
    if (!held) return;
    InputStreamSink sink;
    // The keys the script pressed to hold them, in any order.
    const struct {
        uint8_t bit;
        uint8_t vk;
    } keys[] = {{ModifierKey::LShift, 16}, {ModifierKey::LShift, 160}, {ModifierKey::RShift, 161},
                {ModifierKey::Ctrl, 17},   {ModifierKey::Alt, 18},     {ModifierKey::LWin, 91},
                {ModifierKey::RWin, 92}};
    for (const auto& key : keys)
        if (held & key.bit) sink.key(KeyStroke{key.vk, sink.scanCode(key.vk), isExtendedKey(key.vk), true, false});
    held = 0;
}

} // namespace vexil
