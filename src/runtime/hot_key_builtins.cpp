// HOTKEYSET: registers, re-targets or unregisters a system-wide hot key.
#include "automation/hot_key_parser.h"
#include "automation/system_key_sinks.h"
#include "engine/builtins/builtin_api.h"
#include "runtime/event_functions.h"
#include "runtime/hot_key_table.h"

namespace vexil {

namespace {

constexpr uint8_t kPause = 19;
constexpr uint8_t kCancel = 3; // what Ctrl+Pause produces

} // namespace

int builtinHotKeySet(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const bool unregister = args.size() < 2 || args[1].dereferenced().isNullKeyword();
    std::wstring function;
    if (!unregister) {
        function = eventFunctionName(args[1]);
        if (!context.findFunction(function)) return context.fail(result, Variant::int32(0));
    }
    std::wstring keyText(textArg(args, 0).view());
    SystemKeyLayout layout;
    HotKey key;
    switch (parseHotKey(keyText, layout, key)) {
    case HotKeyParse::Ok: break;
    case HotKeyParse::NoSuchKey: return context.fail(result, Variant::int32(0));
    case HotKeyParse::Malformed: result = Variant::int32(0); return 0;
    }
    uint32_t modifiers = 0;
    if (key.alt) modifiers |= HotKeyModifier::Alt;
    if (key.ctrl) modifiers |= HotKeyModifier::Ctrl;
    if (key.shift) modifiers |= HotKeyModifier::Shift;
    if (key.win) modifiers |= HotKeyModifier::Win;
    const uint8_t vk = key.vk == kPause && key.ctrl ? kCancel : key.vk;
    const uint64_t signature = uint64_t{vk} << 16 | modifiers;

    HotKeyTable& table = hotKeyTable(context);
    if (const int32_t id = table.find(signature); id >= 0) {
        if (unregister) table.remove(id);
        else table.retarget(id, std::move(function));
        return 0;
    }
    // A fenced run takes no key combination from the desktop.
    if (unregister || context.fenced() || !context.mainWindow()) {
        result = Variant::int32(0);
        return 0;
    }
    uint32_t error = 0;
    if (table.add(context.mainWindow(), signature, std::move(function), std::move(keyText), error) < 0) {
        context.setExtended(Variant::int32(static_cast<int32_t>(error)));
        result = Variant::int32(0);
    }
    return 0;
}

} // namespace vexil
