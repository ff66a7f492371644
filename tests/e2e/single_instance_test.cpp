// The real Tidewell.exe, started as separate processes: one instance per
// session, and what a second start with each argument does to it.

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/window_lookup.h"

namespace {

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L'\\') + 1) + L"Tidewell.exe";
}

HWND MainWindow() { return ::FindWindowW(L"TFrmTidewell", nullptr); }

class Process {
public:
    explicit Process(const std::wstring& arguments) {
        std::wstring command = L"\"" + ProgramPath() + L"\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    }
    ~Process() {
        if (!started_) return;
        if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi_.hProcess, 1);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    [[nodiscard]] bool Started() const { return started_; }
    // Waits for the process to end; its exit code, or -1 when it is still running.
    long WaitExit(DWORD milliseconds) {
        if (::WaitForSingleObject(pi_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }
    [[nodiscard]] bool Running() const { return started_ && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

template <typename Predicate>
bool WaitFor(Predicate done, DWORD milliseconds = 20000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > milliseconds) return false;
        ::Sleep(50);
    }
    return true;
}

using tidewell::testing::ChildById;
using tidewell::testing::WindowText;

class SingleInstance : public ::testing::Test {
protected:
    void TearDown() override {
        // Whatever a test left running ends here, so the next test starts clean.
        if (HWND w = MainWindow()) ::PostMessageW(w, WM_USER, 2, 0);
        WaitFor([] { return MainWindow() == nullptr; }, 10000);
        for (auto& p : running_) p->WaitExit(5000);
        running_.clear();
    }
    Process& Start(const std::wstring& arguments) {
        running_.push_back(std::make_unique<Process>(arguments));
        EXPECT_TRUE(running_.back()->Started());
        return *running_.back();
    }
    HWND StartFirst(const std::wstring& arguments) {
        Start(arguments);
        EXPECT_TRUE(WaitFor([] { return MainWindow() != nullptr; })) << "no main window appeared";
        HWND w = MainWindow();
        // The window exists before its creation sequence ends: wait for the first
        // status tick's line, then (unless started hidden) for the window to show.
        EXPECT_TRUE(WaitFor([&] { return !WindowText(ChildById(w, 1023)).empty(); })) << "no status line";
        if (arguments != L"/start") {
            EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(w) != 0; }));
        }
        return w;
    }
    std::vector<std::unique_ptr<Process>> running_;
};

TEST_F(SingleInstance, SecondPlainStartBringsTheFirstBackRestored) {
    HWND first = StartFirst(L"");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(::IsWindowVisible(first));

    struct Case {
        const char* name;
        int hideWith;
        const wchar_t* argument;
    } cases[] = {
        {"minimised, plain start", SW_MINIMIZE, L""},
        {"hidden, plain start", SW_HIDE, L""},
        {"hidden, /inst only shows", SW_HIDE, L"/inst"},
        {"hidden, /START is an ordinary start", SW_HIDE, L"/START"},
        {"hidden, /start as second argument", SW_HIDE, L"x /start"},
    };
    for (const auto& c : cases) {
        ::ShowWindow(first, c.hideWith);
        const bool applied =
            WaitFor([&] { return c.hideWith == SW_HIDE ? !::IsWindowVisible(first) : ::IsIconic(first) != 0; }, 3000);
        if (!applied && c.hideWith == SW_MINIMIZE) {
            // Wine on a bare X display (no window manager) cannot iconify a window.
            std::printf("skipped '%s': this display cannot minimise windows\n", c.name);
            continue;
        }
        ASSERT_TRUE(applied) << c.name;
        Process second(c.argument);
        EXPECT_EQ(second.WaitExit(20000), 0) << c.name;
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(first) && !::IsIconic(first); })) << c.name;
        EXPECT_EQ(MainWindow(), first) << c.name << ": a second instance made its own window";
    }
}

TEST_F(SingleInstance, StartHiddenStaysHiddenUntilAPlainStart) {
    HWND first = StartFirst(L"/start");
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(::IsWindowVisible(first));

    Process again(L"/start");
    EXPECT_EQ(again.WaitExit(20000), 0);
    ::Sleep(300);
    EXPECT_FALSE(::IsWindowVisible(first)) << "a second /start showed the window";

    Process plain(L"");
    EXPECT_EQ(plain.WaitExit(20000), 0);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(first) != 0; }));
}

TEST_F(SingleInstance, UninstallEndsTheRunningInstance) {
    HWND first = StartFirst(L"");
    ASSERT_NE(first, nullptr);
    Process& instance = *running_.back();

    const auto start = std::chrono::steady_clock::now();
    Process uninstall(L"/uninst");
    EXPECT_EQ(uninstall.WaitExit(20000), 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("/uninst returned after %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_EQ(instance.WaitExit(10000), 0) << "the running instance did not quit";
    EXPECT_EQ(MainWindow(), nullptr);
}

TEST_F(SingleInstance, UninstallWithNothingRunningStartsNothing) {
    ASSERT_EQ(MainWindow(), nullptr);
    Process uninstall(L"/uninst");
    EXPECT_EQ(uninstall.WaitExit(20000), 0);
    EXPECT_EQ(MainWindow(), nullptr);
    // The mutex was never made: a plain start afterwards becomes the instance.
    HWND w = StartFirst(L"");
    EXPECT_NE(w, nullptr);
}

TEST_F(SingleInstance, TwoAtTheSameInstantEndWithOneInstance) {
    for (int round = 0; round < 4; ++round) {
        auto a = std::make_unique<Process>(L"");
        auto b = std::make_unique<Process>(L"");
        ASSERT_TRUE(a->Started() && b->Started());
        ASSERT_TRUE(WaitFor([] { return MainWindow() != nullptr; })) << "round " << round;
        // One of the two ends by itself; the other stays as the instance.
        ASSERT_TRUE(WaitFor([&] { return !a->Running() || !b->Running(); })) << "round " << round << ": two instances";
        ::Sleep(500);
        EXPECT_NE(a->Running(), b->Running()) << "round " << round;
        int windows = 0;
        for (HWND w = ::FindWindowW(L"TFrmTidewell", nullptr); w; w = ::FindWindowExW(nullptr, w, L"TFrmTidewell", nullptr)) {
            ++windows;
        }
        EXPECT_EQ(windows, 1) << "round " << round;
        running_.push_back(std::move(a));
        running_.push_back(std::move(b));
        TearDown();
    }
}

// Closing the window only hides it; the end of the session quits without a question.
TEST_F(SingleInstance, CloseHidesToTheTrayAndLogoffQuits) {
    HWND first = StartFirst(L"/start");
    ASSERT_NE(first, nullptr);
    Process& instance = *running_.back();
    // Started hidden, yet the first status tick fills the home page while the
    // window is made (the window itself appears before its creation ends).
    WaitFor([&] { return !WindowText(ChildById(first, 1023)).empty(); });
    EXPECT_FALSE(::IsWindowVisible(first));
    const std::wstring physical = WindowText(ChildById(first, 1023));
    EXPECT_NE(physical.find(L" MB / "), std::wstring::npos) << "physical line: " << std::string(physical.begin(), physical.end());

    Process plain(L"");
    EXPECT_EQ(plain.WaitExit(20000), 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(first) != 0; }));
    ::PostMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(first); }));
    ::Sleep(500);
    EXPECT_TRUE(instance.Running()) << "closing the window ended the program";
    EXPECT_EQ(MainWindow(), first);

    EXPECT_EQ(::SendMessageW(first, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_EQ(instance.WaitExit(10000), 0) << "the end of the session did not end the program";
}

}  // namespace
