// The built-ins of the tray menu's entries.
#include "engine/builtins/builtin_api.h"
#include "runtime/event_functions.h"
#include "runtime/tray_menu.h"

namespace vexil {

namespace {

// A negative id names the entry created last.
int32_t itemId(TrayState& tray, BuiltinArgs args) {
    const int32_t id = args[0].dereferenced().toInt32();
    return id < 0 ? tray.lastCreatedId : id;
}

int createEntry(BuiltinContext& context, BuiltinArgs args, Variant& result, TrayEntryKind kind) {
    TrayState& tray = trayState(context);
    const int32_t parent = passedInt(args, 1, -1);
    const int32_t position = passedInt(args, 2, -1);
    const bool radio = kind == TrayEntryKind::Item && passedInt(args, 3, -1) == 1;
    const int32_t id = createTrayEntry(tray, kind, textArg(args, 0).view(), parent, position, radio);
    if (id == 0) return context.fail(result, Variant::int32(0));
    result = Variant::int32(id);
    return 0;
}

} // namespace

int builtinTrayCreateItem(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return createEntry(context, args, result, TrayEntryKind::Item);
}

int builtinTrayCreateMenu(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return createEntry(context, args, result, TrayEntryKind::Menu);
}

int builtinTrayItemDelete(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    result = Variant::int32(deleteTrayEntry(tray, itemId(tray, args)) ? 1 : 0);
    return 0;
}

int builtinTrayItemGetHandle(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    HMENU menu = traySubmenu(tray, itemId(tray, args));
    result = menu ? Variant::pointer(reinterpret_cast<uint64_t>(menu)) : Variant::int32(0);
    return 0;
}

int builtinTrayItemGetState(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    int32_t state = 0;
    // An unknown entry leaves the preset 1.
    if (readTrayEntry(tray, itemId(tray, args), nullptr, &state)) result = Variant::int32(state);
    return 0;
}

int builtinTrayItemGetText(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    std::wstring text;
    if (!readTrayEntry(tray, itemId(tray, args), &text, nullptr)) return context.fail(result, textValue(L""));
    result = textValue(text);
    return 0;
}

int builtinTrayItemSetState(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    result = Variant::int32(setTrayEntryState(tray, itemId(tray, args), args[1].dereferenced().toInt32()));
    return 0;
}

int builtinTrayItemSetText(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    result = Variant::int32(setTrayEntryText(tray, itemId(tray, args), textArg(args, 1).view()));
    return 0;
}

int builtinTrayItemSetOnEvent(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    std::wstring name = eventFunctionName(args[1]);
    // An unknown function is a normal failure: the statement is not abandoned.
    if (!context.findFunction(name)) return context.fail(result, Variant::int32(0));
    const int32_t id = itemId(tray, args);
    if (!tray.occupied(id) || id > tray.highestId()) {
        result = Variant::int32(0);
        return 0;
    }
    tray.entry(id).function = std::move(name);
    return 0;
}

} // namespace vexil
