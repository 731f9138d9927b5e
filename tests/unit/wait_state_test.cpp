// The engine's one general wait: a check, handles that wake it, a time-out honoured to the
// millisecond, and the service step (messages, close requests) between checks.
#include "engine/engine.h"
#include "engine/startup_state.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace vexil;

namespace {

double nowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

struct WaitRun {
    StartupState startup;
    Engine engine{startup};

    WaitOutcome wait(WaitCondition condition, double& elapsedMs) {
        const double start = nowMs();
        const WaitOutcome outcome = engine.waitUntil(condition);
        elapsedMs = nowMs() - start;
        return outcome;
    }
};

DWORD WINAPI signalLater(void* event) {
    Sleep(60);
    SetEvent(event);
    return 0;
}

} // namespace

TEST(WaitState, TimeOutsEndNeitherEarlyNorLate) {
    for (int64_t timeout : {0, 1, 7, 23, 150}) {
        WaitRun run;
        WaitCondition condition;
        condition.timeoutMs = timeout;
        double elapsed = 0;
        EXPECT_EQ(run.wait(condition, elapsed), WaitOutcome::TimedOut);
        EXPECT_GE(elapsed, static_cast<double>(timeout)) << timeout;
        EXPECT_LT(elapsed, static_cast<double>(timeout) + 150) << timeout; // room for a loaded machine
        EXPECT_EQ(run.engine.runState(), RunState::Running);
    }
}

TEST(WaitState, ASignalledHandleWakesTheWaitAtOnce) {
    WaitRun run;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, signalLater, event, 0, nullptr);
    void* handles[] = {event};
    WaitCondition condition;
    condition.handles = handles;
    condition.handleCount = 1;
    condition.timeoutMs = 10000;
    double elapsed = 0;
    EXPECT_EQ(run.wait(condition, elapsed), WaitOutcome::Satisfied);
    EXPECT_GE(elapsed, 50);
    EXPECT_LT(elapsed, 1000);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST(WaitState, TheCheckRunsUntilItHolds) {
    WaitRun run;
    int calls = 0;
    auto holdsOnThird = [](void* state) { return ++*static_cast<int*>(state) == 3; };
    WaitCondition condition;
    condition.check = holdsOnThird;
    condition.state = &calls;
    double elapsed = 0;
    EXPECT_EQ(run.wait(condition, elapsed), WaitOutcome::Satisfied);
    EXPECT_EQ(calls, 3);
}

TEST(WaitState, ACloseRequestOrAPostedQuitEndsTheWait) {
    for (bool quit : {false, true}) {
        WaitRun run;
        if (quit) PostQuitMessage(0);
        else run.startup.closeRequested = 1;
        WaitCondition condition; // neither check nor time-out: only the end of the run ends it
        double elapsed = 0;
        EXPECT_EQ(run.wait(condition, elapsed), WaitOutcome::RunEnded);
        EXPECT_EQ(run.engine.runState(), RunState::Ending);
        EXPECT_EQ(run.engine.waitFor(1000), -1);
    }
}
