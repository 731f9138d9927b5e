#include "automation/precise_delay.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

namespace vexil {

namespace {

constexpr int32_t kShortestSleep = 15;

bool spinFor(int32_t milliseconds) {
    LARGE_INTEGER frequency, start, now;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&start)) return false;
    const int64_t ticks = frequency.QuadPart * milliseconds / 1000;
    do {
        Sleep(0);
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < ticks);
    return true;
}

} // namespace

void preciseDelay(int32_t milliseconds) {
    if (milliseconds < 0) return;
    if (milliseconds > 0 && milliseconds < kShortestSleep && spinFor(milliseconds)) return;
    Sleep(static_cast<DWORD>(milliseconds));
}

void builtinDelay(BuiltinContext& context, int32_t milliseconds) {
    if (milliseconds < kShortestSleep) return preciseDelay(milliseconds);
    (void)context.waitFor(static_cast<uint32_t>(milliseconds));
}

} // namespace vexil
