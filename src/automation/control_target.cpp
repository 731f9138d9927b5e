#include "automation/control_target.h"

#include "automation/control_search.h"
#include "automation/window_search.h"
#include "automation/window_text.h"

namespace vexil {

namespace {

HWND controlWithId(HWND window, int32_t id) {
    HWND found = nullptr;
    forEachChildWindow(window, [&](HWND child) {
        if (GetDlgCtrlID(child) != id) return true;
        found = child;
        return false;
    });
    return found;
}

} // namespace

HWND focusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) return nullptr;
    return info.hwndFocus == window || IsChild(window, info.hwndFocus) ? info.hwndFocus : nullptr;
}

HWND findControl(BuiltinContext& context, BuiltinArgs args) {
    const HWND window = findWindow(context, args);
    if (!window) return nullptr;
    const Variant& control = args[2].dereferenced();
    if (control.is(VarKind::Ptr)) {
        const HWND handle = reinterpret_cast<HWND>(control.toPointer());
        return IsWindow(handle) ? handle : nullptr;
    }
    if (control.isNumber()) return controlWithId(window, control.toInt32());
    if (!control.is(VarKind::String)) return nullptr;
    if (control.text().empty()) {
        const HWND focus = focusedControl(window);
        return focus ? focus : window;
    }
    return findControlByDescriptor(window, control.text().view());
}

HWND controlToChange(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = findControl(context, args);
    if (!control) {
        result = Variant::int32(0);
        return nullptr;
    }
    if (context.fenced()) {
        context.fail(result, Variant::int32(0));
        return nullptr;
    }
    return control;
}

} // namespace vexil
