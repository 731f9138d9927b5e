// The service step between lines: the thread's window messages are pumped, a close request or a
// quit message ends the run, a paused script runs nothing, and due event functions (hot keys,
// Adlib) run. Peeking at an empty queue is not
// free (about 30 µs under Wine), so a busy script polls at most once a millisecond; waits and a
// paused script poll on every pass.
#include "engine/builtins/builtin_api.h"
#include "engine/builtins/handle_table.h"
#include "engine/engine.h"
#include "engine/startup_state.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>

namespace vexil {

int Engine::poll() {
    lastPoll_ = GetTickCount64();
    handles_->flushPendingWrites(); // buffered file writes never wait long for a reader
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitReceived_ = true;
            runState_ = RunState::Ending;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (budgetSpent()) startup_.closeRequested = 1;
    if (startup_.closeRequested) {
        startup_.closeRequested = 0;
        startup_.paused = 0;
        runState_ = RunState::Ending;
    }
    if (runState_ == RunState::Ending) return kPollStop;
    return startup_.paused ? kPollPaused : kPollGoOn;
}

void Engine::setRunBudget(uint64_t lines, uint32_t milliseconds) {
    linesRun_ = 0;
    budgetLines_ = lines;
    budgetDeadline_ = milliseconds ? GetTickCount64() + milliseconds : 0;
}

bool Engine::budgetSpent() const {
    return linesSpent() || (budgetDeadline_ && GetTickCount64() >= budgetDeadline_);
}

int Engine::serviceStep() {
    int polled = poll();
    if (polled == kPollStop) return kPollStop;
    if (polled == kPollPaused) {
        Sleep(10);
        return kServiceBusy;
    }
    bool ran = false;
    for (EventSource* source : eventSources_) {
        if (!source || startup_.paused) continue;
        BuiltinContext context(*this);
        if (source->serveEvents(context)) ran = true;
        if (runState_ == RunState::Ending) return kPollStop;
    }
    if (!startup_.paused && serveObjectEvent()) ran = true;
    if (runState_ == RunState::Ending) return kPollStop;
    if (!ran) return kPollGoOn;
    // One round of events a pass, then the line (or the wait's check) that was due: an event
    // function that is always due again must not keep the script from ever going on.
    polled = poll();
    if (polled == kPollStop) return kPollStop;
    return polled == kPollPaused ? kServiceBusy : kPollGoOn;
}

namespace {

// Milliseconds on the performance counter: a time-out is honoured to the millisecond.
double counterMilliseconds() {
    static const double perMillisecond = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) ? static_cast<double>(f.QuadPart) / 1000.0 : 0.0;
    }();
    LARGE_INTEGER now;
    if (perMillisecond <= 0 || !QueryPerformanceCounter(&now)) return static_cast<double>(GetTickCount64());
    return static_cast<double>(now.QuadPart) / perMillisecond;
}

bool anySignalled(void* const* handles, DWORD count) {
    return count && WaitForMultipleObjects(count, handles, FALSE, 0) - WAIT_OBJECT_0 < count;
}

// A pass of a wait sleeps at most this long: the check runs, and the pump turns, this often.
constexpr DWORD kWaitPassMs = 10;

} // namespace

WaitOutcome Engine::waitUntil(const WaitCondition& condition) {
    if (runState_ == RunState::Ending) return WaitOutcome::RunEnded;
    const RunState saved = runState_;
    runState_ = RunState::Waiting;
    const DWORD count = static_cast<DWORD>(std::min<size_t>(condition.handleCount, MAXIMUM_WAIT_OBJECTS - 1));
    const bool timed = condition.timeoutMs >= 0;
    const double timeout = static_cast<double>(condition.timeoutMs);
    if (timed) timeBeginPeriod(1); // slices of a millisecond on a system whose clock ticks coarser
    const double start = counterMilliseconds();
    WaitOutcome outcome;
    for (;;) {
        int step = serviceStep();
        if (step == kPollStop) {
            outcome = WaitOutcome::RunEnded;
            break;
        }
        if (step == kServiceBusy) continue; // paused: nothing is checked, the wait's time still runs
        if (condition.check ? condition.check(condition.state) : anySignalled(condition.handles, count)) {
            outcome = WaitOutcome::Satisfied;
            break;
        }
        const double elapsed = counterMilliseconds() - start;
        if (timed && elapsed >= timeout) {
            outcome = WaitOutcome::TimedOut;
            break;
        }
        DWORD slice = kWaitPassMs;
        if (timed) slice = static_cast<DWORD>(std::min<double>(slice, std::ceil(timeout - elapsed)));
        // Wakes at once for a signalled handle or a message.
        MsgWaitForMultipleObjects(count, condition.handles, FALSE, slice, QS_ALLINPUT);
    }
    if (timed) timeEndPeriod(1);
    if (runState_ == RunState::Waiting) runState_ = saved;
    return outcome;
}

int Engine::waitFor(uint32_t milliseconds) {
    WaitCondition condition;
    condition.timeoutMs = milliseconds;
    return waitUntil(condition) == WaitOutcome::RunEnded ? -1 : 0;
}

} // namespace vexil
