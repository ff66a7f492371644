// The hand-back of worker steps to the user-interface thread.

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>

#include "base/scoped_win.h"
#include "base/ui_dispatch_win.h"

namespace tidewell {
namespace {

// Pumps this thread's messages until the event is set or the time is up.
bool PumpUntil(HANDLE event, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        if (::MsgWaitForMultipleObjects(1, &event, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return false;
}

struct Worker {
    UniqueKernelHandle go{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<DWORD> ranOn{0};
    std::atomic<int> answer{-1};

    void Start() {
        StartWorker([this] {
            ::WaitForSingleObject(go.get(), INFINITE);
            answer = RunOnUiThread([this] { ranOn = ::GetCurrentThreadId(); }) ? 1 : 0;
            ::SetEvent(done.get());
        });
    }
};

TEST(UiDispatch, StepsRunOnTheInterfaceThreadAndAreDroppedOnceItIsGone) {
    InstallUiDispatcher();
    Worker live;
    live.Start();
    ::SetEvent(live.go.get());
    ASSERT_TRUE(PumpUntil(live.done.get(), 10000));
    EXPECT_EQ(live.answer, 1);
    EXPECT_EQ(live.ranOn, ::GetCurrentThreadId());

    // A worker waiting for its step when the interface goes is let go with false.
    Worker waiting;
    waiting.Start();
    ::SetEvent(waiting.go.get());
    ::Sleep(200);  // the step is posted and not yet taken: nothing pumps here
    ShutdownUiDispatcher();
    ASSERT_EQ(::WaitForSingleObject(waiting.done.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(waiting.answer, 0);
    EXPECT_EQ(waiting.ranOn, 0u);

    // A worker of one interface cannot reach the next one, which starts afresh.
    InstallUiDispatcher();
    Worker old;
    old.Start();
    RequestTermination();
    ShutdownUiDispatcher();
    InstallUiDispatcher();
    EXPECT_FALSE(TerminationRequested());
    ::SetEvent(old.go.get());
    ASSERT_TRUE(PumpUntil(old.done.get(), 10000));
    EXPECT_EQ(old.answer, 0);
    EXPECT_EQ(old.ranOn, 0u);

    Worker fresh;
    fresh.Start();
    ::SetEvent(fresh.go.get());
    ASSERT_TRUE(PumpUntil(fresh.done.get(), 10000));
    EXPECT_EQ(fresh.answer, 1);
    ShutdownUiDispatcher();
}

}  // namespace
}  // namespace tidewell
