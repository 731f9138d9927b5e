// WINGETTEXT, WINGETTITLE and WINSETTITLE: the texts of a window and of its controls.
#include "automation/window_search.h"
#include "automation/window_text.h"
#include "engine/options.h"

#include <string>

namespace vexil {

// The window's own texts: a window that does not answer keeps its texts to itself.
int builtinWinGetText(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    if (!window) {
        result = textValue(L"");
        return 0;
    }
    if (!windowAnswers(window)) return context.fail(result, textValue(L""));
    const bool hiddenToo = context.options().winDetectHiddenText != 0;
    std::wstring all, text;
    forEachChildWindow(window, [&](HWND child) {
        if (!hiddenToo && !IsWindowVisible(child)) return true;
        if (!windowAnswers(child)) return true;
        readWindowTextInto(child, text);
        all.append(text).push_back(L'\n');
        return true;
    });
    result = textValue(all);
    return 0;
}

int builtinWinGetWindowTitle(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    result = textValue(window ? readWindowText(window) : std::wstring());
    return 0;
}

int builtinWinSetWindowTitle(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    DWORD_PTR answer = 0;
    const WString& title = textArg(args, 2);
    if (!SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()), SMTO_ABORTIFHUNG, kHungTimeoutMs, &answer) ||
        !answer)
        result = Variant::int32(0);
    return 0;
}

} // namespace vexil
