// SLEEP, TIMERINIT, TIMERDIFF and the main window's title.
#include "engine/builtins/builtin_api.h"

#include <windows.h>

#include <string>

namespace vexil {

namespace {

bool counter(double& value) {
    LARGE_INTEGER now;
    if (!QueryPerformanceCounter(&now)) return false;
    value = static_cast<double>(now.QuadPart);
    return true;
}

double counterFrequencyPerMillisecond() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) ? static_cast<double>(f.QuadPart) / 1000.0 : 0.0;
    }();
    return frequency;
}

} // namespace

int builtinSleep(BuiltinContext& context, BuiltinArgs args, Variant&) {
    int32_t delay = args[0].toInt32();
    if (delay <= 0) {
        Sleep(0);
        return 0;
    }
    return context.waitFor(static_cast<uint32_t>(delay)) < 0 && !context.runEnding() ? -1 : 0;
}

int builtinTimerInit(BuiltinContext& context, BuiltinArgs, Variant& result) {
    double now = 0;
    if (!counter(now)) context.setError(1);
    result = Variant::real(now);
    return 0;
}

int builtinTimerDiff(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    double now = 0;
    if (!counter(now)) return context.fail(result, Variant::real(0.0));
    double frequency = counterFrequencyPerMillisecond();
    result = Variant::real(frequency > 0 ? (now - args[0].toDouble()) / frequency : 0.0);
    return 0;
}

int builtinWinGetTitle(BuiltinContext& context, BuiltinArgs, Variant& result) {
    std::wstring title(32767, L'\0');
    int n = context.mainWindow() ? GetWindowTextW(static_cast<HWND>(context.mainWindow()), title.data(), 32767) : 0;
    title.resize(n > 0 ? static_cast<size_t>(n) : 0);
    result = Variant::string(WString(title));
    return 0;
}

int builtinWinSetTitle(BuiltinContext& context, BuiltinArgs args, Variant&) {
    if (context.mainWindow()) SetWindowTextW(static_cast<HWND>(context.mainWindow()), textArg(args, 0).c_str());
    return 0;
}

} // namespace vexil
