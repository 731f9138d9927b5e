#include "base/ole_session.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>

using vexil::OleSession;

namespace {

// What a later user of COM on this thread finds: free to choose its model, or OLE's
// single-threaded apartment already started. The probe leaves the thread as it found it.
enum class ThreadCom { Free, SingleThreaded };

ThreadCom probeThread() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(hr)) {
        CoUninitialize();
        return ThreadCom::Free;
    }
    EXPECT_EQ(hr, RPC_E_CHANGED_MODE);
    return ThreadCom::SingleThreaded;
}

// Each case runs on a thread of its own: the test program's main thread may have COM already.
template <typename Body> void onFreshThread(Body body) { std::thread(body).join(); }

} // namespace

TEST(OleSession, StartsNothingUntilAsked) {
    onFreshThread([] {
        OleSession session;
        EXPECT_EQ(probeThread(), ThreadCom::Free);
    });
}

TEST(OleSession, FirstUseStartsOleAndTheEndOfTheSessionEndsIt) {
    onFreshThread([] {
        {
            OleSession session;
            ASSERT_TRUE(session.ensure());
            EXPECT_TRUE(session.ensure());
            EXPECT_EQ(probeThread(), ThreadCom::SingleThreaded);
        }
        EXPECT_EQ(probeThread(), ThreadCom::Free);
    });
}

TEST(OleSession, AThreadAlreadyInAnotherModelReportsFailureAndLeavesItAlone) {
    onFreshThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            OleSession session;
            EXPECT_FALSE(session.ensure());
            EXPECT_FALSE(session.ensure());
        }
        // Still the multithreaded apartment: one more initialisation in that model is accepted.
        HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_FALSE);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    });
}
