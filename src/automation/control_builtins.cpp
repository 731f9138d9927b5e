// The Control built-ins that act on one control as a window: click, enable, focus, place, show,
// read and set its text; and STATUSBARGETTEXT.
#include "automation/control_click.h"
#include "automation/control_search.h"
#include "automation/control_target.h"
#include "automation/precise_delay.h"
#include "automation/remote_control_calls.h"
#include "automation/window_activation.h"
#include "automation/window_handle_value.h"
#include "automation/window_search.h"
#include "automation/window_text.h"
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"
#include "engine/values/containers.h"

#include <commctrl.h>

namespace vexil {

namespace {

// A control's rectangle in its parent's client coordinates.
RECT placeInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    if (const HWND parent = GetAncestor(control, GA_PARENT); parent && parent != GetDesktopWindow())
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

template <typename Act>
int changeControl(BuiltinContext& context, BuiltinArgs args, Variant& result, Act&& act) {
    const HWND control = controlToChange(context, args, result);
    if (control) act(control);
    return 0;
}

} // namespace

int builtinControlClick(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::optional<MouseButton> button = mouseButtonNamed(given(args, 3) ? textArg(args, 3).view() : L"");
    const HWND control = controlToChange(context, args, result);
    if (!control) return 0;
    if (!button) {
        result = Variant::int32(0);
        return 0;
    }
    RECT client{};
    GetClientRect(control, &client);
    const int32_t x = optInt(args, 5, (client.right - client.left) / 2);
    const int32_t y = optInt(args, 6, (client.bottom - client.top) / 2);
    postControlClicks(control, *button, optInt(args, 4, 1), x, y);
    preciseDelay(context.options().mouseClickDelay);
    return 0;
}

int builtinControlDisable(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return changeControl(context, args, result, [](HWND control) { EnableWindow(control, FALSE); });
}

int builtinControlEnable(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return changeControl(context, args, result, [](HWND control) { EnableWindow(control, TRUE); });
}

int builtinControlHide(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return changeControl(context, args, result, [](HWND control) { ShowWindow(control, SW_HIDE); });
}

int builtinControlShow(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return changeControl(context, args, result, [](HWND control) { ShowWindow(control, SW_SHOWNOACTIVATE); });
}

int builtinControlFocus(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = controlToChange(context, args, result);
    if (!control) return 0;
    result = Variant::int32(0);
    if (!windowAnswers(control)) return 0;
    AttachedInput attached(control);
    result = Variant::int32(SetFocus(control) ? 1 : 0);
    return 0;
}

int builtinControlGetFocus(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    const HWND window = findWindow(context, args);
    if (!window) return windowNotFound(context, result, textValue(L""));
    const HWND focus = focusedControl(window);
    if (focus && focus != window) result = textValue(controlClassNN(window, focus));
    return 0;
}

int builtinControlGetHandle(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = findControl(context, args);
    if (!control) return context.fail(result, windowValue(nullptr));
    result = windowValue(control);
    return 0;
}

int builtinControlGetPos(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = findControl(context, args);
    if (!control) return context.fail(result, Variant::int32(0));
    const RECT rect = placeInParent(control);
    result = arrayOf({Variant::int32(rect.left), Variant::int32(rect.top), Variant::int32(rect.right - rect.left),
                      Variant::int32(rect.bottom - rect.top)});
    return 0;
}

int builtinControlGetText(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = findControl(context, args);
    if (!control || !windowAnswers(control)) return context.fail(result, textValue(L""));
    result = textValue(readWindowText(control));
    return 0;
}

int builtinControlMove(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = controlToChange(context, args, result);
    if (!control) return 0;
    const RECT rect = placeInParent(control);
    const int32_t x = given(args, 3) ? args[3].dereferenced().toInt32() : rect.left;
    const int32_t y = given(args, 4) ? args[4].dereferenced().toInt32() : rect.top;
    const int32_t width = optInt(args, 5, rect.right - rect.left);
    const int32_t height = optInt(args, 6, rect.bottom - rect.top);
    MoveWindow(control, x, y, width, height, TRUE);
    return 0;
}

int builtinControlSetText(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = controlToChange(context, args, result);
    if (!control) return 0;
    DWORD_PTR answer = 0;
    const std::wstring text(textArg(args, 3).view());
    if (!windowAnswers(control) || !SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                                        SMTO_ABORTIFHUNG, kHungTimeoutMs, &answer)) {
        result = Variant::int32(0);
        return 0;
    }
    if (optInt(args, 4, 0) != 0) {
        if (const HWND parent = GetParent(control)) InvalidateRect(parent, nullptr, TRUE);
    }
    return 0;
}

int builtinStatusBarGetText(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    if (!window) return context.fail(result, textValue(L""));
    const HWND bar = findControlByDescriptor(window, L"msctls_statusbar321");
    const int32_t part = optInt(args, 2, 1);
    DWORD_PTR parts = 0;
    if (!bar || !SendMessageTimeoutW(bar, SB_GETPARTS, 0, 0, SMTO_ABORTIFHUNG, kHungTimeoutMs, &parts) || part < 1 ||
        static_cast<DWORD_PTR>(part) > parts)
        return context.fail(result, textValue(L""));
    const std::optional<std::wstring> text = statusBarText(bar, part - 1);
    if (!text) return context.fail(result, textValue(L""));
    result = textValue(*text);
    return 0;
}

} // namespace vexil
