// A process that cannot be opened is watched through the process list: it counts as ended only
// once its id is no longer listed (Wine opens every process, so scripts never take this path).
#include "library/process_end_watch.h"
#include "test_child_process.h"

#include <gtest/gtest.h>

using namespace vexil;

TEST(ProcessEndWatch, ThroughTheListARunningProcessHasNotEnded) {
    TestChild child(L"sleep 30000");
    ASSERT_TRUE(child.started());
    const ProcessEntry entry = findProcess(std::to_wstring(child.id()));
    ASSERT_EQ(entry.processId, child.id());
    EXPECT_EQ(entry.exeName, L"vexil-test-child.exe");

    const ProcessEndWatch listed(entry, false);
    EXPECT_EQ(listed.handle(), nullptr);
    for (int check = 0; check < 5; ++check) EXPECT_FALSE(listed.ended());

    TerminateProcess(child.handle(), 9);
    WaitForSingleObject(child.handle(), 5000);
    bool ended = false;
    for (int tries = 0; tries < 100 && !ended; ++tries, Sleep(20)) ended = listed.ended();
    EXPECT_TRUE(ended);
    EXPECT_EQ(listed.exitCode(), ProcessEndWatch::kUnknownExitCode);
}

TEST(ProcessEndWatch, AnIdGivenAgainUnderAnotherNameIsNotTheWatchedProcess) {
    TestChild child(L"sleep 30000");
    ASSERT_TRUE(child.started());
    const ProcessEndWatch renamed(ProcessEntry{child.id(), L"some-other-program.exe"}, false);
    EXPECT_TRUE(renamed.ended());
}

TEST(ProcessEndWatch, ThroughAHandleTheExitCodeIsRead) {
    TestChild child(L"sleep 30000");
    ASSERT_TRUE(child.started());
    const ProcessEndWatch opened(findProcess(std::to_wstring(child.id())));
    ASSERT_NE(opened.handle(), nullptr);
    EXPECT_FALSE(opened.ended());
    TerminateProcess(child.handle(), static_cast<UINT>(-7));
    WaitForSingleObject(child.handle(), 5000);
    EXPECT_TRUE(opened.ended());
    EXPECT_EQ(opened.exitCode(), -7);
}
