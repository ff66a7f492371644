// The clean flow with real threads and the real hand-back to the
// user-interface thread: the window keeps handling messages while a clean is
// slow, a quit during a clean ends cleanly, and the privilege call reports what
// the last-error code says.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "app/frm_tidewell.h"
#include "base/scoped_win.h"
#include "base/ui_dispatch_win.h"
#include "i18n/translation.h"
#include "memory/kernel.h"
#include "memory/privilege_win.h"
#include "tests/unit/fake_host.h"

namespace tidewell {
namespace {

using Clock = std::chrono::steady_clock;
constexpr NtStatus kStatusPrivilegeNotHeld = static_cast<NtStatus>(0xC0000061);
constexpr double kSecond = 1.0 / 86400.0;

// The fake host's records, with the platform's worker threads and hand-back.
class ThreadedHost : public testing::FakeHost {
public:
    ThreadedHost() : workerDone_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    void StartWorker(std::function<void()> work) override {
        ++started;
        HANDLE done = workerDone_.get();
        tidewell::StartWorker([work = std::move(work), done] {
            work();
            ::SetEvent(done);
        });
    }
    bool RunOnUiThread(std::function<void()> step) override { return tidewell::RunOnUiThread(std::move(step)); }

    [[nodiscard]] bool WaitForWorker(DWORD ms) const {
        return ::WaitForSingleObject(workerDone_.get(), ms) == WAIT_OBJECT_0;
    }

    int started = 0;

private:
    UniqueKernelHandle workerDone_;
};

// A kernel whose first set call can hold the worker until the test lets it go.
struct SlowKernel {
    static inline std::mutex mutex;
    static inline std::vector<uint32_t> classes;
    static inline DWORD workerThread = 0;
    static inline NtStatus answer = 0;
    static inline HANDLE entered = nullptr;  // set when the worker is inside the first call
    static inline HANDLE gate = nullptr;     // the first call returns once this is set

    static void Reset() {
        std::lock_guard lock(mutex);
        classes.clear();
        workerThread = 0;
        answer = 0;
    }
    static std::vector<uint32_t> Classes() {
        std::lock_guard lock(mutex);
        return classes;
    }

    static constexpr KernelApi kApi{
        [](uint32_t, void* buffer, uint32_t length, uint32_t*) -> NtStatus {
            std::memset(buffer, 0, length);
            return 0;
        },
        [](uint32_t infoClass, void*, uint32_t) -> NtStatus {
            bool first;
            {
                std::lock_guard lock(mutex);
                first = classes.empty();
                classes.push_back(infoClass);
                workerThread = ::GetCurrentThreadId();
            }
            if (first && gate) {
                ::SetEvent(entered);
                // Bounded, so that a clean run on the user-interface thread shows
                // up as a long gap instead of a hang.
                ::WaitForSingleObject(gate, 3000);
            }
            return answer;
        },
        [](MemoryStatusEx* status) {
            *status = {};
            status->dwLength = sizeof(*status);
            status->ullTotalPhys = 16ull << 30;
            status->ullAvailPhys = 8ull << 30;
            return true;
        },
    };
};

const std::vector<uint32_t> kCleanClasses = {21, 80, 80, 80, 80, 130};

class CleanFlowWin : public ::testing::Test {
protected:
    CleanFlowWin()
        : entered_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          gate_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        SlowKernel::Reset();
        SlowKernel::entered = entered_.get();
        SlowKernel::gate = gate_.get();
        InstallUiDispatcher();
    }
    ~CleanFlowWin() override {
        ::SetEvent(gate_.get());
        ShutdownUiDispatcher();
        SlowKernel::gate = nullptr;
        SlowKernel::entered = nullptr;
    }

    // Handles messages until the condition holds or the worker has long given up.
    template <typename Condition>
    static bool PumpUntil(Condition done) {
        for (int i = 0; i < 400 && !done(); ++i) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        return done();
    }

    UniqueKernelHandle entered_;
    UniqueKernelHandle gate_;
};

TEST_F(CleanFlowWin, TheWindowKeepsHandlingMessagesDuringASlowClean) {
    KernelOverride kernel(SlowKernel::kApi);
    ThreadedHost host;
    TFrmTidewell form(host);
    form.ChkMinute->SetChecked(true);
    form.EditMinute->SetItemIndex(0);
    form.NextTime = host.now - 3600 * kSecond;  // the policy would clean, were one not running

    const auto start = Clock::now();
    form.Clean(false);
    ASSERT_TRUE(form.IsRunning());

    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, nullptr);
    ASSERT_NE(timer, 0u);
    auto last = start;  // a clean that held the thread inside Clean counts as a gap
    Clock::duration longestGap{};
    int ticks = 0;
    while (form.IsRunning() && ticks < 2000) {
        MSG msg;
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        const auto now = Clock::now();
        longestGap = std::max(longestGap, now - last);
        last = now;
        if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
            ++ticks;
            form.TmrStatusTimer(form.TmrStatus);  // the status tick goes on during the clean
            if (ticks == 40) ::SetEvent(gate_.get());
        }
        ::DispatchMessageW(&msg);
    }
    const auto duration = Clock::now() - start;
    ::KillTimer(nullptr, timer);

    // Were the window blocked for the clean, its longest gap would be the whole clean.
    const double ratio = std::chrono::duration<double>(longestGap) / std::chrono::duration<double>(duration);
    std::printf("longest gap between two handled messages / clean duration = %.3f (%d ticks; gap %.1f ms, clean %.1f ms)\n",
                ratio, ticks, std::chrono::duration<double, std::milli>(longestGap).count(),
                std::chrono::duration<double, std::milli>(duration).count());
    EXPECT_LT(ratio, 0.25);

    ASSERT_TRUE(host.WaitForWorker(5000));
    EXPECT_FALSE(form.IsRunning());
    EXPECT_EQ(SlowKernel::Classes(), kCleanClasses);
    EXPECT_NE(SlowKernel::workerThread, ::GetCurrentThreadId()) << "the kernel calls ran on the window's thread";
    EXPECT_GE(ticks, 40);
    EXPECT_EQ(host.started, 1) << "ticks during the clean started another one";
    EXPECT_EQ(form.LblPhysStatus->Caption(), u"8,192 MB / 16,384 MB (50.00% 사용중)");
}

TEST_F(CleanFlowWin, QuittingDuringASlowCleanEndsCleanly) {
    KernelOverride kernel(SlowKernel::kApi);
    ThreadedHost host;
    // The form lives in storage that is scribbled over once it is destroyed, so
    // a worker that still used the window would read garbage and fault.
    alignas(TFrmTidewell) unsigned char storage[sizeof(TFrmTidewell)];
    auto* form = new (storage) TFrmTidewell(host);
    form->TrayIcon = new ui::TTrayIcon(form, u"TrayIcon");
    form->BtnCleanClick(form->TrayIcon);
    ASSERT_EQ(::WaitForSingleObject(entered_.get(), 5000), WAIT_OBJECT_0);

    ShutdownUiDispatcher();
    form->~TFrmTidewell();
    std::memset(storage, 0xDD, sizeof(storage));
    ::SetEvent(gate_.get());

    ASSERT_TRUE(host.WaitForWorker(5000)) << "the worker did not end";
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_EQ(SlowKernel::Classes(), kCleanClasses) << "the worker finishes its kernel calls";
    EXPECT_EQ(host.Count("ShowNotification"), 0u) << "the completion of a gone window must be dropped";
}

TEST_F(CleanFlowWin, WithoutThePrivilegesTheBusyStateStillEnds) {
    // Give the privileges up, then clean with the real kernel; Wine answers the
    // calls without doing anything, so the refused case is played by the slow
    // kernel answering "privilege not held".
    for (const char16_t* name : {u"SeIncreaseQuotaPrivilege", u"SeProfileSingleProcessPrivilege"}) {
        const bool result = EnablePrivilege(name, false);
        std::printf("disable %s: %d (last error %lu)\n", TextToUtf8(name).c_str(), result, ::GetLastError());
    }
    struct Case {
        const char* name;
        bool slowKernel;
    } cases[] = {{"real kernel", false}, {"refusing kernel", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SlowKernel::Reset();
        SlowKernel::answer = kStatusPrivilegeNotHeld;
        SlowKernel::gate = nullptr;
        std::unique_ptr<KernelOverride> kernel;
        if (c.slowKernel) kernel = std::make_unique<KernelOverride>(SlowKernel::kApi);

        ThreadedHost host;
        TFrmTidewell form(host);
        host.now = 46001.75;
        form.Clean(false);
        ASSERT_TRUE(PumpUntil([&] { return !form.IsRunning(); }));
        ASSERT_TRUE(host.WaitForWorker(5000));
        EXPECT_EQ(form.NextTime, 46001.75);
        EXPECT_TRUE(form.BtnClean->Enabled());
        EXPECT_EQ(form.BtnClean->Caption(), Translate(u"정리하기"));
        EXPECT_EQ(host.Count("ShowNotification"), 0u);
        EXPECT_EQ(host.Count("AskYesNo"), 0u) << "no error is shown";
        if (c.slowKernel) {
            EXPECT_EQ(SlowKernel::Classes(), kCleanClasses);
        }
    }
    for (const char16_t* name : {u"SeIncreaseQuotaPrivilege", u"SeProfileSingleProcessPrivilege"}) {
        (void)EnablePrivilege(name, true);
    }
}

// The enabled flag of one privilege in the process token, or nothing when the
// token does not hold it.
std::optional<bool> PrivilegeEnabled(const wchar_t* name) {
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
    LUID luid{};
    if (!::LookupPrivilegeValueW(nullptr, name, &luid)) return std::nullopt;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) return std::nullopt;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
            return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    return std::nullopt;
}

TEST(EnablePrivilege, AnswersWhatTheLastErrorCodeSays) {
    struct Case {
        const char16_t* name;
        bool enable;
    } cases[] = {
        {u"SeIncreaseQuotaPrivilege", false},
        {u"SeIncreaseQuotaPrivilege", true},
        {u"SeProfileSingleProcessPrivilege", false},
        {u"SeProfileSingleProcessPrivilege", true},
        {u"SeNoSuchPrivilege", true},
        {u"", true},
    };
    for (const auto& c : cases) {
        const std::string name = TextToUtf8(c.name);
        ::SetLastError(ERROR_ACCESS_DENIED);  // a stale code from before must not decide
        const bool result = EnablePrivilege(c.name, c.enable);
        const DWORD error = ::GetLastError();
        EXPECT_EQ(result, error == ERROR_SUCCESS) << name << " last error " << error;

        const std::optional<bool> held = PrivilegeEnabled(reinterpret_cast<const wchar_t*>(c.name));
        if (!held) {
            EXPECT_FALSE(result) << name << ": a privilege the token does not hold cannot be set";
        } else {
            EXPECT_TRUE(result) << name << " last error " << error;
            EXPECT_EQ(*held, c.enable) << name;
        }
    }
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(EnablePrivilege(u"SeNoSuchPrivilege", true));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));
}

}  // namespace
}  // namespace tidewell
