// WINWAIT, WINWAITACTIVE, WINWAITCLOSE and WINWAITNOTACTIVE: wait states until a window appears,
// becomes active, closes or stops being active, with an optional time-out in seconds. The script's
// pump, hot keys and events go on meanwhile.
#include "automation/window_handle_value.h"
#include "automation/window_search.h"

#include <algorithm>
#include <string>

namespace vexil {

namespace {

enum class WindowWaitKind : uint8_t { Exists, Active, Closed, NotActive };

int waitForWindow(BuiltinContext& context, BuiltinArgs args, Variant& result, WindowWaitKind kind) {
    // The arguments are copied: event handlers run while the wait lasts.
    const Variant title = args[0].dereferenced();
    const std::wstring text(given(args, 1) ? textArg(args, 1).view() : std::wstring_view());
    const int64_t timeout = timeoutSecondsArg(args, 2);
    const bool byPresence = kind == WindowWaitKind::Exists || kind == WindowWaitKind::Closed;
    const bool endsWhenPresent = kind == WindowWaitKind::Exists || kind == WindowWaitKind::Active;
    WindowSearch& search = context.runResource<WindowSearch>();
    int searchResult = 0;
    HWND present = nullptr;
    const auto settled = [&] {
        searchResult = search.run(title, text, byPresence, context.options());
        if (searchResult < 0) return true;
        if (byPresence) {
            present = searchResult > 0 ? search.lastFound() : nullptr;
        } else {
            const HWND foreground = GetForegroundWindow();
            const std::vector<HWND>& found = search.found();
            present = foreground && std::find(found.begin(), found.end(), foreground) != found.end() ? foreground : nullptr;
        }
        return (present != nullptr) == endsWhenPresent;
    };
    if (context.waitUntil(settled, timeout) != WaitOutcome::Satisfied) {
        result = Variant::int32(0);
        return 0;
    }
    if (searchResult < 0) {
        reportSearchError(context, searchResult);
        result = Variant::int32(0);
    } else {
        result = endsWhenPresent ? windowValue(present) : Variant::int32(1);
    }
    context.pauseAfterWait();
    return 0;
}

} // namespace

int builtinWinWait(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return waitForWindow(context, args, result, WindowWaitKind::Exists);
}
int builtinWinWaitActive(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return waitForWindow(context, args, result, WindowWaitKind::Active);
}
int builtinWinWaitClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return waitForWindow(context, args, result, WindowWaitKind::Closed);
}
int builtinWinWaitNotActive(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return waitForWindow(context, args, result, WindowWaitKind::NotActive);
}

} // namespace vexil
