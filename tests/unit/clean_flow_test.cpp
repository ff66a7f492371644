#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/frm_tidewell.h"
#include "app/status_format.h"
#include "i18n/translation.h"
#include "memory/kernel.h"
#include "tests/unit/fake_host.h"

namespace tidewell {
namespace {

using testing::FakeHost;

constexpr uint64_t kMiB = 1048576;
constexpr uint64_t kGiB = 1024 * kMiB;
constexpr double kSecond = 1.0 / 86400.0;
constexpr NtStatus kStatusPrivilegeNotHeld = static_cast<NtStatus>(0xC0000061);

struct KernelCall {
    uint32_t infoClass;
    std::vector<uint8_t> bytes;
    uint32_t length;
    bool operator==(const KernelCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const KernelCall& call) {
    out << "{class " << call.infoClass << ", length " << call.length << ", bytes";
    for (uint8_t b : call.bytes) out << ' ' << static_cast<int>(b);
    return out << '}';
}

// The kernel the tests see: fixed memory figures, a file cache that may fail,
// and a record of every set call with a copy of its buffer.
struct FakeKernel {
    static inline std::vector<KernelCall> setCalls;
    static inline NtStatus setAnswer = 0;
    static inline MemoryStatusEx status{};
    static inline SystemFileCacheInformation cache{};
    static inline bool cacheFails = false;

    static void Reset() {
        setCalls.clear();
        setAnswer = 0;
        status = {};
        cache = {};
        cacheFails = false;
    }

    static constexpr KernelApi kApi{
        [](uint32_t infoClass, void* buffer, uint32_t length, uint32_t*) -> NtStatus {
            if (infoClass != kSystemFileCacheInformation || cacheFails || length != sizeof(cache)) {
                return static_cast<NtStatus>(0xC0000003);
            }
            std::memcpy(buffer, &cache, sizeof(cache));
            return 0;
        },
        [](uint32_t infoClass, void* buffer, uint32_t length) -> NtStatus {
            const auto* bytes = static_cast<const uint8_t*>(buffer);
            setCalls.push_back({infoClass, std::vector<uint8_t>(bytes, bytes + length), length});
            return setAnswer;
        },
        [](MemoryStatusEx* out) {
            *out = status;
            return true;
        },
    };
};

std::vector<KernelCall> ExpectedCleanCalls() {
    static_assert(sizeof(void*) == 8, "the file cache layout below is the 64-bit one");
    // CurrentSize, PeakSize, PageFaultCount (+4 padding), then Minimum- and
    // MaximumWorkingSet at offsets 24 and 32, all ones; everything else zero.
    std::vector<uint8_t> cache(64, 0);
    std::memset(cache.data() + 24, 0xFF, 16);
    auto command = [](uint8_t c) {
        return KernelCall{80, {c, 0, 0, 0}, 4};
    };
    return {{21, cache, 64}, command(2), command(5), command(4), command(3), {130, std::vector<uint8_t>(24, 0), 24}};
}

class CleanFlow : public ::testing::Test {
protected:
    CleanFlow() {
        FakeKernel::Reset();
        SetTranslationTable(
            {u"ko=정리하기", u"en=Clean", u"", u"ko=메모리를 정리하였습니다.", u"en=Optimized memory."});
        SetCurrentLanguage(u"en");
    }
    ~CleanFlow() override {
        SetTranslationTable({});
        FakeKernel::Reset();
    }

    // The tray icon the creation sequence would make, without running all of it.
    static void GiveTrayIcon(TFrmTidewell& form) { form.TrayIcon = new ui::TTrayIcon(&form, u"TrayIcon"); }

    static void SetMemory(uint64_t totalPhys, uint64_t availPhys) {
        FakeKernel::status.ullTotalPhys = totalPhys;
        FakeKernel::status.ullAvailPhys = availPhys;
    }

    KernelOverride kernel_{FakeKernel::kApi};
};

TEST_F(CleanFlow, OneCleanIssuesTheSixCallsInOrderWhateverTheKernelAnswers) {
    for (NtStatus answer : {NtStatus{0}, kStatusPrivilegeNotHeld}) {
        FakeKernel::Reset();
        FakeKernel::setAnswer = answer;
        FakeHost host;
        TFrmTidewell form(host);
        host.now = 46000.25;

        form.Clean(false);
        ASSERT_EQ(host.workers.size(), 1u);
        EXPECT_TRUE(FakeKernel::setCalls.empty()) << "the kernel calls belong to the worker";
        host.RunNextWorker();

        EXPECT_EQ(FakeKernel::setCalls, ExpectedCleanCalls()) << "answer " << answer;
        // Refused calls end the clean like any other: no message, busy state undone.
        EXPECT_FALSE(form.IsRunning()) << "answer " << answer;
        EXPECT_EQ(form.NextTime, 46000.25) << "answer " << answer;
        EXPECT_EQ(host.Count("ShowNotification"), 0u);
        EXPECT_EQ(host.Count("AskYesNo"), 0u);
    }
}

TEST_F(CleanFlow, NothingStartsWhileACleanRuns) {
    FakeHost host;
    TFrmTidewell form(host);
    GiveTrayIcon(form);
    form.ChkCleanOnTray->SetChecked(true);

    form.Clean(false);
    form.Clean(true);
    form.BtnCleanClick(form.BtnClean);
    form.TrayIconClick(form.TrayIcon);
    EXPECT_EQ(host.workers.size(), 1u);
    EXPECT_EQ(host.Count("StartWorker"), 1u);

    host.RunNextWorker();
    EXPECT_EQ(FakeKernel::setCalls.size(), 6u);
    EXPECT_EQ(host.Count("ShowNotification"), 0u) << "the ignored tray click must not leave a notice behind";

    // Once idle again, the next click starts the next clean.
    form.BtnCleanClick(form.BtnClean);
    EXPECT_EQ(host.workers.size(), 1u);
}

TEST_F(CleanFlow, ShowsTheBusyStateWhileRunningAndUndoesIt) {
    struct Case {
        bool active;
        bool withTrayIcon;
    } cases[] = {{true, true}, {false, true}, {true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "active " << c.active << ", tray icon " << c.withTrayIcon);
        FakeHost host;
        TFrmTidewell form(host);
        if (c.withTrayIcon) GiveTrayIcon(form);
        form.Indicator->SetVisible(false);
        form.SetActive(c.active);

        form.Clean(false);
        EXPECT_TRUE(form.IsRunning());
        EXPECT_EQ(form.BtnClean->Caption(), u"");
        EXPECT_FALSE(form.BtnClean->Enabled());
        EXPECT_EQ(form.Indicator->Visible(), c.active);
        EXPECT_EQ(form.Indicator->Animate(), c.active);
        if (c.withTrayIcon) {
            EXPECT_EQ(form.TrayIcon->ImageIndex(), 1);
        }

        // Activating the window during the clean does not bring the indicator.
        form.SetActive(true);
        EXPECT_EQ(form.Indicator->Visible(), c.active);

        host.RunNextWorker();
        EXPECT_FALSE(form.IsRunning());
        EXPECT_EQ(form.BtnClean->Caption(), u"Clean");
        EXPECT_TRUE(form.BtnClean->Enabled());
        EXPECT_FALSE(form.Indicator->Visible());
        EXPECT_FALSE(form.Indicator->Animate());
        if (c.withTrayIcon) {
            EXPECT_EQ(form.TrayIcon->ImageIndex(), 0);
        }
    }
}

TEST_F(CleanFlow, NextTimeIsTheMomentOfCompletion) {
    FakeHost host;
    TFrmTidewell form(host);
    host.now = 46000.5;
    form.NextTime = 45999.0;
    form.Clean(false);
    EXPECT_EQ(form.NextTime, 45999.0) << "starting a clean does not move NextTime";

    host.now = 46000.5 + 42 * kSecond;
    host.RunNextWorker();
    EXPECT_EQ(form.NextTime, 46000.5 + 42 * kSecond);
}

TEST_F(CleanFlow, OnlyACleanFromTheTrayIconEndsWithANotification) {
    FakeHost host;
    TFrmTidewell form(host);
    GiveTrayIcon(form);
    ui::TLabel& notTray = *form.LblTitle;

    struct Case {
        const char* name;
        std::function<void()> start;
        size_t notifications;
    } cases[] = {
        {"clean button", [&] { form.BtnCleanClick(form.BtnClean); }, 0},
        {"no sender", [&] { form.BtnCleanClick(nullptr); }, 0},
        {"another control", [&] { form.BtnCleanClick(&notTray); }, 0},
        {"automatic", [&] { form.Clean(false); }, 0},
        {"tray icon forwarded", [&] { form.BtnCleanClick(form.TrayIcon); }, 1},
        {"tray click with clean-on-tray", [&] {
             form.ChkCleanOnTray->SetChecked(true);
             form.TrayIconClick(form.TrayIcon);
             form.ChkCleanOnTray->SetChecked(false);
         }, 1},
    };
    for (const auto& c : cases) {
        host.calls.clear();
        c.start();
        ASSERT_EQ(host.workers.size(), 1u) << c.name;
        EXPECT_EQ(host.Count("ShowNotification"), 0u) << c.name << ": the notice comes at the end";
        host.RunNextWorker();
        EXPECT_EQ(host.Count("ShowNotification"), c.notifications) << c.name;
        if (c.notifications == 1) {
            const std::string expected = "ShowNotification(" + TextToUtf8(form.Caption()) + "," +
                                         TextToUtf8(form.Caption()) + "," +
                                         "Optimized memory.)";
            EXPECT_EQ(host.calls.back(), expected) << c.name;
        }
    }
}

TEST_F(CleanFlow, QuittingDuringACleanDropsTheCompletion) {
    FakeHost host;
    // On the heap, so that the sanitizer sees any use of the form once it is gone.
    auto form = std::make_unique<TFrmTidewell>(host);
    GiveTrayIcon(*form);
    form->BtnCleanClick(form->TrayIcon);

    host.windowGone = true;
    form.reset();
    host.RunNextWorker();

    EXPECT_EQ(FakeKernel::setCalls.size(), 6u) << "the worker still finishes its kernel calls";
    EXPECT_EQ(host.Count("ShowNotification"), 0u);
}

TEST_F(CleanFlow, AWorkerThatCannotStartLeavesTheWindowIdle) {
    struct NoThreadsHost : FakeHost {
        void StartWorker(std::function<void()>) override { throw std::runtime_error("no thread"); }
    } host;
    TFrmTidewell form(host);
    GiveTrayIcon(form);
    form.SetActive(true);

    form.BtnCleanClick(form.BtnClean);
    EXPECT_FALSE(form.IsRunning());
    EXPECT_TRUE(form.BtnClean->Enabled());
    EXPECT_EQ(form.BtnClean->Caption(), u"Clean");
    EXPECT_FALSE(form.Indicator->Animate());
    EXPECT_EQ(form.TrayIcon->ImageIndex(), 0);
}

// Records the timer's enabled state each time it changes.
class TimerProbe : public ui::Peer {
public:
    TimerProbe(ui::TTimer& timer, std::vector<bool>& states) : timer_(timer), states_(states) {}
    void Sync(ui::Aspect aspect) override {
        if (aspect == ui::Aspect::Enabled) states_.push_back(timer_.Enabled());
    }

private:
    ui::TTimer& timer_;
    std::vector<bool>& states_;
};

TEST_F(CleanFlow, TheTickWritesTheThreeLinesAndTheBar) {
    FakeKernel::status.ullTotalPhys = 16 * kGiB;
    FakeKernel::status.ullAvailPhys = 8 * kGiB;
    FakeKernel::status.ullTotalPageFile = 24 * kGiB;
    FakeKernel::status.ullAvailPageFile = 20 * kGiB;
    FakeKernel::cache.CurrentSize = 300 * kMiB;
    FakeKernel::cache.PeakSize = 1200 * kMiB;

    struct Case {
        Text format;
        NumberFormat numbers;
        bool cacheFails;
        Text phys, page, work;
    } cases[] = {
        {kPhysStatusSourceFormat, {u",", u"."}, false, u"8,192 MB / 16,384 MB (50.00% 사용중)", u"4,096 MB (16.67%)",
         u"300 MB (25.00%)"},
        {u"%.0n MB / %.0n MB (Usage: %n%%)", {u".", u","}, false, u"8.192 MB / 16.384 MB (Usage: 50,00%)",
         u"4.096 MB (16,67%)", u"300 MB (25,00%)"},
        {u"%.0n MB / %.0n MB (Usage: %n%)", {u" ", u","}, true, u"8 192 MB / 16 384 MB (50,00% 사용중)",
         u"4 096 MB (16,67%)", u"0 MB (0,00%)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(TextToUtf8(c.format));
        FakeKernel::cacheFails = c.cacheFails;
        FakeHost host;
        host.numberFormat = c.numbers;
        std::vector<bool> timerStates;
        TFrmTidewell form(host);
        form.FmtPhysStatus = c.format;
        form.TmrStatus->AttachPeer(std::make_unique<TimerProbe>(*form.TmrStatus, timerStates));

        form.TmrStatusTimer(form.TmrStatus);
        EXPECT_EQ(form.LblPhysStatus->Caption(), c.phys);
        EXPECT_EQ(form.LblVirtualStatus->Caption(), c.page);
        EXPECT_EQ(form.LblWorkingStatus->Caption(), c.work);
        EXPECT_EQ(form.ProgressBar->Position(), 50);
        EXPECT_EQ(timerStates, (std::vector<bool>{false, true})) << "stopped for the tick, started again after it";
        EXPECT_TRUE(host.workers.empty()) << "nothing enabled, nothing cleaned";
    }
}

TEST_F(CleanFlow, TheBarRoundsHalvesToEven) {
    struct Case {
        uint64_t total, avail;
        int position;
    } cases[] = {{200, 99, 50}, {200, 97, 52}, {1000, 255, 74}, {1000, 1000, 0}, {1000, 0, 100}};
    for (const auto& c : cases) {
        SetMemory(c.total, c.avail);
        FakeHost host;
        TFrmTidewell form(host);
        form.TmrStatusTimer(form.TmrStatus);
        EXPECT_EQ(form.ProgressBar->Position(), c.position) << c.total << " - " << c.avail;
    }
}

TEST_F(CleanFlow, TheTickStartsAnAutomaticCleanWhenThePolicySaysSo) {
    SetMemory(100 * kMiB, 10 * kMiB);  // exactly 90 %
    struct Case {
        bool enabled;
        int item;  // index into 30..90
        double secondsSinceLastClean;
        bool cleans;
    } cases[] = {
        {true, 6, 300, true},    // limit "90" reached, spacing over
        {true, 6, 299, false},   // spacing not over
        {true, 5, 7200, true},   // "80"
        {false, 6, 7200, false}, // limit off
        {true, -1, 7200, false}, // no item: limit 100
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "enabled " << c.enabled << ", item " << c.item << ", after "
                                          << c.secondsSinceLastClean << " s");
        FakeHost host;
        TFrmTidewell form(host);
        form.ChkUsagePhys->SetChecked(c.enabled);
        form.EditUsagePhys->SetItemIndex(c.item);
        form.NextTime = host.now - c.secondsSinceLastClean * kSecond;

        form.TmrStatusTimer(form.TmrStatus);
        EXPECT_EQ(form.IsRunning(), c.cleans);
        ASSERT_EQ(host.workers.size(), c.cleans ? 1u : 0u);
        EXPECT_TRUE(form.TmrStatus->Enabled());
        if (!c.cleans) continue;

        host.RunNextWorker();
        EXPECT_EQ(FakeKernel::setCalls.size(), 6u);
        EXPECT_EQ(host.Count("ShowNotification"), 0u) << "an automatic clean ends without a notice";
        FakeKernel::setCalls.clear();

        // The clean has just ended, so the next tick waits again.
        form.TmrStatusTimer(form.TmrStatus);
        EXPECT_TRUE(host.workers.empty());
    }
}

TEST_F(CleanFlow, DuringACleanTheTickRefreshesButDoesNotCleanAgain) {
    SetMemory(16 * kGiB, 8 * kGiB);
    FakeHost host;
    TFrmTidewell form(host);
    form.FmtPhysStatus = kPhysStatusSourceFormat;
    form.ChkMinute->SetChecked(true);
    form.EditMinute->SetItemIndex(0);
    form.NextTime = host.now - 3600 * kSecond;
    form.Clean(false);
    ASSERT_EQ(host.workers.size(), 1u);

    SetMemory(16 * kGiB, 4 * kGiB);
    form.TmrStatusTimer(form.TmrStatus);
    EXPECT_EQ(form.LblPhysStatus->Caption(), u"12,288 MB / 16,384 MB (75.00% 사용중)");
    EXPECT_EQ(form.ProgressBar->Position(), 75);
    EXPECT_EQ(host.workers.size(), 1u);
    EXPECT_TRUE(form.TmrStatus->Enabled());
}

TEST_F(CleanFlow, TheTimerRunsAgainAfterATickThatThrows) {
    struct BrokenLocaleHost : FakeHost {
        NumberFormat LocaleNumberFormat() override { throw std::runtime_error("no locale"); }
    } host;
    std::vector<bool> timerStates;
    TFrmTidewell form(host);
    form.TmrStatus->AttachPeer(std::make_unique<TimerProbe>(*form.TmrStatus, timerStates));

    EXPECT_THROW(form.TmrStatusTimer(form.TmrStatus), std::runtime_error);
    EXPECT_TRUE(form.TmrStatus->Enabled());
    EXPECT_EQ(timerStates, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace tidewell
