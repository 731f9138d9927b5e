#include "runtime/idle_throttle.h"

#include <windows.h>

namespace vexil {

void IdleThrottle::onEmptyPoll(bool otherQueueBusy) { Sleep(static_cast<DWORD>(nextSleep(otherQueueBusy))); }

} // namespace vexil
