// The Win built-ins that only look for windows: WINEXISTS, WINGETHANDLE, WINACTIVE and WINLIST.
#include "automation/window_handle_value.h"
#include "automation/window_search.h"
#include "engine/options.h"
#include "engine/values/containers.h"

#include <algorithm>
#include <string>

namespace vexil {

int builtinWinExists(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(findWindow(context, args) ? 1 : 0);
    return 0;
}

int builtinWinGetHandle(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    if (!window) return windowNotFound(context, result, windowValue(nullptr));
    result = windowValue(window);
    return 0;
}

int builtinWinActive(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    int count = 0;
    const std::vector<HWND>& found = findAllWindows(context, args, count);
    const HWND foreground = GetForegroundWindow();
    const bool active = foreground && std::find(found.begin(), found.end(), foreground) != found.end();
    result = active ? windowValue(foreground) : Variant::int32(0);
    return 0;
}

int builtinWinList(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    WindowSearch& search = context.runResource<WindowSearch>();
    int count = 0;
    if (args.empty()) {
        RuntimeOptions options = context.options();
        options.winTitleMatchMode = 4;
        count = search.run(Variant::string(WString(L"all")), {}, false, options);
    } else {
        const std::wstring text(given(args, 1) ? textArg(args, 1).view() : std::wstring_view());
        count = search.run(Variant::string(textArg(args, 0)), text, false, context.options());
    }
    reportSearchError(context, count);
    const std::vector<HWND>& found = search.found();
    const int32_t sizes[2] = {static_cast<int32_t>(found.size()) + 1, 2};
    if (!makeArray(result, sizes, 2)) return context.fail(result, Variant::int32(0));
    ArrayBody* body = arrayBody(result);
    int32_t at[2] = {0, 0};
    *arrayElement(body, at, 2) = Variant::int32(static_cast<int32_t>(found.size()));
    std::wstring title(32768, L'\0');
    for (size_t i = 0; i < found.size(); ++i) {
        at[0] = static_cast<int32_t>(i) + 1;
        at[1] = 0;
        const int length = GetWindowTextW(found[i], title.data(), static_cast<int>(title.size()));
        *arrayElement(body, at, 2) = textValue(std::wstring_view(title.data(), length > 0 ? static_cast<size_t>(length) : 0));
        at[1] = 1;
        *arrayElement(body, at, 2) = windowValue(found[i]);
    }
    return 0;
}

} // namespace vexil
