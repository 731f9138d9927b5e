#include "automation/precise_delay.h"

#include <windows.h>

namespace vexil {

void preciseDelay(int32_t milliseconds) {
    if (milliseconds < 0) return;
    LARGE_INTEGER frequency, start, now;
    if (milliseconds >= 1 && milliseconds <= 14 && QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 &&
        QueryPerformanceCounter(&start)) {
        const LONGLONG ticks = frequency.QuadPart * milliseconds / 1000;
        do {
            Sleep(0);
            QueryPerformanceCounter(&now);
        } while (now.QuadPart - start.QuadPart < ticks);
        return;
    }
    Sleep(static_cast<DWORD>(milliseconds));
}

} // namespace vexil
