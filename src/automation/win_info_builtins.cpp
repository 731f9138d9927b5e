// The Win built-ins that report on a window: WINGETPOS, WINGETCLIENTSIZE, WINGETSTATE,
// WINGETPROCESS, WINGETCLASSLIST, and WINGETCARETPOS for the foreground window.
#include "automation/window_activation.h"
#include "automation/window_search.h"
#include "automation/window_text.h"
#include "engine/options.h"
#include "engine/values/containers.h"

#include <string>
#include <vector>

namespace vexil {

namespace {

Variant numbers(std::initializer_list<int32_t> values) {
    std::vector<Variant> items;
    items.reserve(values.size());
    for (int32_t v : values) items.push_back(Variant::int32(v));
    return arrayOf(std::move(items));
}

// The state bits of WINGETSTATE.
enum WindowStateBit : int32_t { kExists = 1, kVisible = 2, kEnabled = 4, kActive = 8, kMinimised = 16, kMaximised = 32 };

} // namespace

int builtinWinGetPos(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    RECT r{};
    if (!window || !GetWindowRect(window, &r)) return windowNotFound(context, result, Variant::int32(0));
    result = numbers({r.left, r.top, r.right - r.left, r.bottom - r.top});
    return 0;
}

int builtinWinGetClientSize(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    RECT r{};
    if (!window || !GetClientRect(window, &r)) return windowNotFound(context, result, Variant::int32(0));
    result = numbers({r.right - r.left, r.bottom - r.top});
    return 0;
}

int builtinWinGetState(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    if (!window) return windowNotFound(context, result, Variant::int32(0));
    int32_t state = kExists;
    if (IsWindowVisible(window)) state |= kVisible;
    if (IsWindowEnabled(window)) state |= kEnabled;
    if (GetForegroundWindow() == window) state |= kActive;
    if (IsIconic(window)) state |= kMinimised;
    if (IsZoomed(window)) state |= kMaximised;
    result = Variant::int32(state);
    return 0;
}

int builtinWinGetProcess(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    DWORD processId = 0;
    if (window) GetWindowThreadProcessId(window, &processId);
    result = Variant::real(window && processId ? static_cast<double>(processId) : -1.0);
    return 0;
}

int builtinWinGetClassList(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    if (!window) return windowNotFound(context, result, textValue(L""));
    std::wstring list;
    wchar_t name[1025];
    forEachChildWindow(window, [&](HWND child) {
        const int length = GetClassNameW(child, name, 1025);
        if (length > 0) list.append(name, static_cast<size_t>(length)).push_back(L'\n');
        return true;
    });
    result = textValue(list);
    return 0;
}

int builtinWinGetCaretPos(BuiltinContext& context, BuiltinArgs, Variant& result) {
    const HWND foreground = GetForegroundWindow();
    POINT caret{};
    bool known = false;
    if (foreground && windowAnswers(foreground)) {
        const AttachedInput attached(foreground);
        known = GetCaretPos(&caret) && ClientToScreen(GetFocus() ? GetFocus() : foreground, &caret);
    }
    if (!known) return context.fail(result, Variant::int32(0));
    const int32_t mode = context.options().caretCoordMode;
    if (mode == 0) {
        RECT r{};
        GetWindowRect(foreground, &r);
        caret.x -= r.left;
        caret.y -= r.top;
    } else if (mode == 2) {
        POINT origin{};
        ClientToScreen(foreground, &origin);
        caret.x -= origin.x;
        caret.y -= origin.y;
    }
    result = numbers({caret.x, caret.y});
    return 0;
}

} // namespace vexil
