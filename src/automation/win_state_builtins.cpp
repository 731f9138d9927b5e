// The Win built-ins that change how a window shows: WINSETSTATE, WINSETONTOP, WINSETTRANS,
// WINFLASH, and WINMINIMIZEALL / WINMINIMIZEALLUNDO for every window.
#include "automation/precise_delay.h"
#include "automation/window_search.h"
#include "automation/window_text.h"

namespace vexil {

namespace {

// The WINSETSTATE flags that enable and disable instead of showing.
constexpr int32_t kStateEnable = 64;
constexpr int32_t kStateDisable = 65;
// The taskbar's own commands for minimising every window and undoing that.
constexpr WPARAM kMinimizeAllCommand = 407;
constexpr WPARAM kMinimizeAllUndoCommand = 416;

// A window that does not answer is left alone: the built-in reports 0.
int leftAlone(Variant& result) {
    result = Variant::int32(0);
    return 0;
}

int taskbarCommand(BuiltinContext& context, WPARAM command) {
    if (context.fenced()) return context.fail(1);
    if (const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) PostMessageW(taskbar, WM_COMMAND, command, 0);
    context.pauseAfterWait();
    return 0;
}

} // namespace

int builtinWinSetState(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    const int32_t flag = args[2].dereferenced().toInt32();
    if (flag == kStateEnable || flag == kStateDisable) EnableWindow(window, flag == kStateEnable);
    else ShowWindow(window, flag);
    context.pauseAfterWait();
    return 0;
}

int builtinWinSetOnTop(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    if (!windowAnswers(window)) return leftAlone(result);
    const HWND place = args[2].dereferenced().toInt32() == 1 ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, place, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    return 0;
}

int builtinWinSetTrans(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    const BYTE alpha = static_cast<BYTE>(args[2].dereferenced().toInt64() & 0xFF);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (alpha == 255) {
        if (style & WS_EX_LAYERED) SetWindowLongPtrW(window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        return 0;
    }
    SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    if (!SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA)) result = Variant::int32(0);
    return 0;
}

int builtinWinFlash(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    const int32_t flashes = optInt(args, 2, 4);
    const int32_t delay = optInt(args, 3, 500);
    if (!windowAnswers(window)) return leftAlone(result);
    // One flash or fewer inverts nothing.
    const int64_t inversions = flashes > 1 ? 2 * int64_t{flashes} - 3 : 0;
    for (int64_t i = 0; i < inversions && !context.runEnding(); ++i) {
        FlashWindow(window, TRUE);
        builtinDelay(context, delay);
    }
    return 0;
}

int builtinWinMinimizeAll(BuiltinContext& context, BuiltinArgs, Variant&) { return taskbarCommand(context, kMinimizeAllCommand); }

int builtinWinMinimizeAllUndo(BuiltinContext& context, BuiltinArgs, Variant&) {
    return taskbarCommand(context, kMinimizeAllUndoCommand);
}

} // namespace vexil
