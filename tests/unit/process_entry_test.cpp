#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/process_entry.h"

namespace tidewell {
namespace {

// Records the entry's platform calls as text, and plays a running instance.
class FakeInstancePlatform : public InstancePlatform {
public:
    WindowHandle window = 0;         // the running instance's window, 0 when none
    bool mutexExists = false;        // OpenMutexW finds it
    MutexResult createResult = MutexResult::Created;
    int windowGoneAfterSleeps = -1;  // -1: the window never goes
    std::vector<std::string> calls;

    WindowHandle FindMainWindow() override {
        calls.push_back("FindWindow");
        return window;
    }
    void SendCommand(WindowHandle w, InstanceCommand c) override {
        if (w) calls.push_back("Send" + std::to_string(c));
    }
    bool IsWindow(WindowHandle w) override { return w != 0 && sleeps_ != windowGoneAfterSleeps; }
    void Sleep(unsigned ms) override {
        ++sleeps_;
        calls.push_back("Sleep" + std::to_string(ms));
    }
    bool OpenInstanceMutex() override {
        calls.push_back("OpenMutex");
        return mutexExists;
    }
    MutexResult CreateInstanceMutex() override {
        calls.push_back("CreateMutex");
        return createResult;
    }
    void RunInstance(bool hidden) override { calls.push_back(hidden ? "RunHidden" : "RunShown"); }

private:
    int sleeps_ = 0;
};

using Calls = std::vector<std::string>;

TEST(ProcessEntry, DecidesFromTheFirstArgumentAndTheRunningInstance) {
    struct Case {
        const char* name;
        Text argument;
        bool running;
        Calls expected;
    } cases[] = {
        {"first start", u"", false, {"FindWindow", "OpenMutex", "CreateMutex", "RunShown"}},
        {"first start hidden", u"/start", false, {"FindWindow", "OpenMutex", "CreateMutex", "RunHidden"}},
        {"first start installing", u"/inst", false, {"FindWindow", "OpenMutex", "CreateMutex", "RunShown"}},
        {"capitals are an ordinary start", u"/START", false, {"FindWindow", "OpenMutex", "CreateMutex", "RunShown"}},
        {"second start shows the first", u"", true, {"FindWindow", "OpenMutex", "Send1"}},
        {"second start hidden stays silent", u"/start", true, {"FindWindow", "OpenMutex"}},
        {"second start installing only shows", u"/inst", true, {"FindWindow", "OpenMutex", "Send1"}},
        {"second start in capitals shows", u"/START", true, {"FindWindow", "OpenMutex", "Send1"}},
        {"uninstall with nothing running", u"/uninst", false, {"FindWindow"}},
    };
    for (const auto& c : cases) {
        FakeInstancePlatform platform;
        platform.mutexExists = c.running;
        platform.window = c.running ? 0x1234 : 0;
        EXPECT_EQ(RunProcessEntry(platform, c.argument), 0) << c.name;
        EXPECT_EQ(platform.calls, c.expected) << c.name;
    }
}

TEST(ProcessEntry, UninstallWaitsForTheWindowAtMostTenTimes) {
    FakeInstancePlatform gone;
    gone.window = 0x1234;
    gone.mutexExists = true;
    gone.windowGoneAfterSleeps = 2;
    EXPECT_EQ(RunProcessEntry(gone, u"/uninst"), 0);
    EXPECT_EQ(gone.calls, (Calls{"FindWindow", "Send2", "Sleep100", "Sleep100"}));

    FakeInstancePlatform stuck;
    stuck.window = 0x1234;
    stuck.mutexExists = true;
    EXPECT_EQ(RunProcessEntry(stuck, u"/uninst"), 0);
    EXPECT_EQ(stuck.calls.size(), 12u);  // lookup, command, ten waits; never a mutex
    EXPECT_EQ(stuck.calls.back(), "Sleep100");
}

TEST(ProcessEntry, LosingTheCreationRaceMakesItASecondStart) {
    FakeInstancePlatform platform;
    platform.createResult = InstancePlatform::MutexResult::AlreadyExisted;
    platform.window = 0x99;  // the winner's window appeared meanwhile
    EXPECT_EQ(RunProcessEntry(platform, u""), 0);
    EXPECT_EQ(platform.calls, (Calls{"FindWindow", "OpenMutex", "CreateMutex", "FindWindow", "Send1"}));

    FakeInstancePlatform hidden;
    hidden.createResult = InstancePlatform::MutexResult::AlreadyExisted;
    EXPECT_EQ(RunProcessEntry(hidden, u"/start"), 0);
    EXPECT_EQ(hidden.calls, (Calls{"FindWindow", "OpenMutex", "CreateMutex"}));
}

TEST(ProcessEntry, AFailedMutexCreationStillRunsTheInstance) {
    FakeInstancePlatform platform;
    platform.createResult = InstancePlatform::MutexResult::Failed;
    EXPECT_EQ(RunProcessEntry(platform, u""), 0);
    EXPECT_EQ(platform.calls.back(), "RunShown");
}

}  // namespace
}  // namespace tidewell
