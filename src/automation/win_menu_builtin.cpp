// WINMENUSELECTITEM: chooses an item of a window's menu bar by the texts of the items on the way.
#include "automation/window_activation.h"
#include "automation/window_search.h"
#include "automation/window_text.h"

#include <string>

namespace vexil {

namespace {

// The position of the first item of `menu` whose text begins with `wanted` ("&" markers count).
int findItem(HMENU menu, std::wstring_view wanted) {
    wchar_t text[512];
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const int length = GetMenuStringW(menu, static_cast<UINT>(i), text, 512, MF_BYPOSITION);
        if (length >= 0 && std::wstring_view(text, static_cast<size_t>(length)).starts_with(wanted)) return i;
    }
    return -1;
}

} // namespace

int builtinWinMenuSelectItem(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    HMENU menu = GetMenu(window);
    UINT command = static_cast<UINT>(-1);
    for (size_t i = 2; i < args.size() && menu; ++i) {
        const int at = findItem(menu, textArg(args, i).view());
        if (at < 0) break;
        if (i + 1 == args.size()) command = GetMenuItemID(menu, at);
        else menu = GetSubMenu(menu, at);
    }
    if (command == static_cast<UINT>(-1) || !windowAnswers(window)) {
        result = Variant::int32(0);
        return 0;
    }
    {
        const AttachedInput attached(window);
        PostMessageW(window, WM_COMMAND, command, 0);
    }
    context.pauseAfterWait();
    return 0;
}

} // namespace vexil
