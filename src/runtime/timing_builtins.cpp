// SLEEP, TIMERINIT, TIMERDIFF and the main window's title.
#include "engine/builtins.h"
#include "engine/engine.h"

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

int builtinSleep(Engine& engine, BuiltinArgs args, Variant&) {
    int32_t delay = args[0].toInt32();
    if (delay <= 0) {
        Sleep(0);
        return 0;
    }
    return engine.waitFor(static_cast<uint32_t>(delay)) < 0 && engine.runState() != RunState::Ending ? -1 : 0;
}

int builtinTimerInit(Engine& engine, BuiltinArgs, Variant& result) {
    double now = 0;
    if (!counter(now)) engine.status().setError(1);
    result = Variant::real(now);
    return 0;
}

int builtinTimerDiff(Engine& engine, BuiltinArgs args, Variant& result) {
    double now = 0;
    if (!counter(now)) {
        engine.status().setError(1);
        result = Variant::real(0.0);
        return 0;
    }
    double frequency = counterFrequencyPerMillisecond();
    result = Variant::real(frequency > 0 ? (now - args[0].toDouble()) / frequency : 0.0);
    return 0;
}

int builtinWinGetTitle(Engine& engine, BuiltinArgs, Variant& result) {
    std::wstring title(32767, L'\0');
    int n = engine.mainWindow() ? GetWindowTextW(static_cast<HWND>(engine.mainWindow()), title.data(), 32767) : 0;
    title.resize(n > 0 ? static_cast<size_t>(n) : 0);
    result = Variant::string(WString(title));
    return 0;
}

int builtinWinSetTitle(Engine& engine, BuiltinArgs args, Variant&) {
    if (engine.mainWindow()) SetWindowTextW(static_cast<HWND>(engine.mainWindow()), args[0].text().c_str());
    return 0;
}

} // namespace vexil
