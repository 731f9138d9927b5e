// OPT / VEXILSETOPTION: an option's value, and a new one when the script passes it.
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"
#include "engine/startup_state.h"

#include <windows.h>

namespace vexil {

int builtinOpt(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const OptionEntry* option = findOption(args[0]);
    if (!option) return context.fail(result, Variant::int32(0));
    static const OptionEntry* const trayIconHide = findOption(textValue(L"TrayIconHide"));
    // "TrayIconHide" tells whether the icon is hidden, by whatever means it was.
    if (option == trayIconHide && context.mainWindow()) result = Variant::int32(context.startup().trayIconVisible ? 0 : 1);
    else result = optionValue(context.options(), *option);
    if (!passed(args, 1)) return 0;
    if (!setOption(context.options(), *option, args[1])) context.setError(1);
    // The tray icon follows its option at once: the main window shows or hides it.
    if (option == trayIconHide && context.mainWindow())
        SendMessageW(static_cast<HWND>(context.mainWindow()), WM_USER + 2, 0, 0);
    return 0;
}

} // namespace vexil
