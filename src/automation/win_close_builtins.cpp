// WINCLOSE and WINKILL: asking a window to close, and making sure it does.
#include "automation/window_search.h"

namespace vexil {

namespace {

// How long WINKILL lets a window take to close before it ends the window's process.
constexpr UINT kCloseAnswerMs = 500;

void endOwningProcess(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (!processId || processId == GetCurrentProcessId()) return;
    const HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (!process) return;
    TerminateProcess(process, 0);
    CloseHandle(process);
}

} // namespace

int builtinWinClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    PostMessageW(window, WM_CLOSE, 0, 0);
    context.pauseAfterWait();
    return 0;
}

int builtinWinKill(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD_PTR answer = 0;
    // A window that is gone by the time the request fails closed after all: its process is left to
    // end as it does.
    if (!SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseAnswerMs, &answer) && IsWindow(window))
        endOwningProcess(window);
    context.pauseAfterWait();
    return 0;
}

} // namespace vexil
