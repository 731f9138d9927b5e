// The service step between lines: the thread's window messages are pumped, a close request or a
// quit message ends the run, and a paused script runs nothing. Peeking at an empty queue is not
// free (about 30 µs under Wine), so a busy script polls at most once a millisecond; waits and a
// paused script poll on every pass.
#include "engine/builtins/handle_table.h"
#include "engine/engine.h"
#include "engine/startup_state.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

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
    return kPollGoOn;
}

int Engine::waitFor(uint32_t milliseconds) {
    // A wait runs the service step every few milliseconds until its time is up.
    const RunState saved = runState_;
    runState_ = RunState::Sleeping;
    const uint32_t start = timeGetTime();
    int outcome = 0;
    for (;;) {
        int step = serviceStep();
        if (step == kPollStop) {
            outcome = -1;
            break;
        }
        if (step == kServiceBusy) continue; // paused: the wait's time still runs
        int64_t elapsed = elapsedMilliseconds(start);
        if (elapsed >= milliseconds) break;
        Sleep(static_cast<DWORD>(std::min<int64_t>(10, milliseconds - elapsed)));
    }
    if (runState_ == RunState::Sleeping) runState_ = saved;
    return outcome;
}

int64_t elapsedMilliseconds(uint32_t start) {
    uint32_t now = timeGetTime();
    uint32_t d = now - start;
    bool sameHalf = (start <= 0x7FFFFFFFu) == (now <= 0x7FFFFFFFu);
    return sameHalf ? static_cast<int64_t>(static_cast<int32_t>(d)) : static_cast<int64_t>(d);
}

} // namespace vexil
