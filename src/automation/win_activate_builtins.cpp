// WINACTIVATE: brings a window to the foreground.
#include "automation/window_activation.h"
#include "automation/window_handle_value.h"
#include "automation/window_search.h"

namespace vexil {

int builtinWinActivate(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    if (GetForegroundWindow() == window) context.pauseAfterWait();
    const int code = activateWindow(window);
    context.pauseAfterWait();
    if (code == 0) {
        result = Variant::int32(0);
        return 0;
    }
    context.setExtended(Variant::int32(code));
    result = windowValue(window);
    return 0;
}

} // namespace vexil
