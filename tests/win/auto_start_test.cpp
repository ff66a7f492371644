// The auto-start task through a recording fake of the Task Scheduler, and
// once through Wine's own Task Scheduler.

#include <windows.h>
#include <taskschd.h>
#include <wrl/client.h>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "autostart/auto_start.h"
#include "autostart/task_scheduler_win.h"
#include "base/scoped_win.h"
#include "support/fake_task_scheduler.h"

namespace tidewell {
namespace {

using testing::FakeTaskScheduler;
using Calls = std::vector<std::string>;

const Text kTask = u"TidewellTaskMachine";

const Calls kOpening = {
    "CoInitializeSecurity",
    "CoCreateInstance(TaskScheduler,IUnknown)",
    "ITaskService::QueryInterface(ITaskService)",
    "ITaskService::Connect(VT_EMPTY,VT_EMPTY,VT_EMPTY,VT_EMPTY)",
    R"(ITaskService::GetFolder("\"))",
};

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Calls Registration(bool withDelay, const std::string& exe = R"(C:\Program Files\Tidewell\Tidewell.exe)",
                   const std::string& folder = R"(C:\Program Files\Tidewell\)") {
    Calls delay;
    if (withDelay) delay = {"ITrigger::QueryInterface(ILogonTrigger)", R"(ILogonTrigger::put_Delay("PT1M"))"};
    return Join({kOpening,
                 {"ITaskService::NewTask(0)", "ITaskDefinition::get_Principal()", "IPrincipal::put_RunLevel(1)",
                  "ITaskDefinition::get_Triggers()", "ITriggerCollection::Create(9)"},
                 delay,
                 {"ITaskDefinition::get_Actions()", "IActionCollection::Create(0)",
                  "IAction::QueryInterface(IExecAction)", "IExecAction::put_Path(\"" + exe + "\")",
                  "IExecAction::put_WorkingDirectory(\"" + folder + "\")", R"(IExecAction::put_Arguments("/start"))",
                  "ITaskDefinition::get_Settings()", "ITaskSettings::put_StartWhenAvailable(-1)",
                  "ITaskDefinition::get_Settings()", R"(ITaskSettings::put_ExecutionTimeLimit("PT0S"))",
                  "ITaskDefinition::get_Settings()", "ITaskSettings::get_IdleSettings()",
                  "IIdleSettings::put_StopOnIdleEnd(0)", "ITaskDefinition::get_Settings()",
                  "ITaskSettings::put_DisallowStartIfOnBatteries(0)", "ITaskDefinition::get_Settings()",
                  "ITaskSettings::put_StopIfGoingOnBatteries(0)",
                  R"(ITaskFolder::RegisterTaskDefinition("TidewellTaskMachine",definition,6,)"
                  R"(VT_EMPTY,VT_EMPTY,3,VT_BSTR:"",out))"}});
}

FakeTaskScheduler::Definition LogonTask(std::optional<Text> delay,
                                        Text exe = u"C:\\Program Files\\Tidewell\\Tidewell.exe",
                                        Text folder = u"C:\\Program Files\\Tidewell\\") {
    FakeTaskScheduler::Definition d;
    d.runLevel = TASK_RUNLEVEL_HIGHEST;
    d.triggers = {{TASK_TRIGGER_LOGON, std::move(delay)}};
    d.actions = {{TASK_ACTION_EXEC, std::move(exe), std::move(folder), u"/start"}};
    d.startWhenAvailable = VARIANT_TRUE;
    d.executionTimeLimit = u"PT0S";
    d.stopOnIdleEnd = VARIANT_FALSE;
    d.disallowStartIfOnBatteries = VARIANT_FALSE;
    d.stopIfGoingOnBatteries = VARIANT_FALSE;
    return d;
}

TEST(AutoStartTask, InstallRegistersTheLogonTaskWithItsDelay) {
    FakeTaskScheduler fake;
    SetAutoStartTask(fake.Access(), kTask, true, 60);

    EXPECT_EQ(fake.calls, Registration(true));
    ASSERT_EQ(fake.registered.count(kTask), 1u);
    EXPECT_EQ(fake.registered[kTask], LogonTask(u"PT1M"));
    EXPECT_EQ(fake.rootTasks, std::vector<Text>{kTask});
    EXPECT_EQ(fake.liveObjects, 0) << "every COM object is released";
}

TEST(AutoStartTask, ANonPositiveDelayRegistersWithoutOne) {
    for (int32_t delay : {0, -60}) {
        FakeTaskScheduler fake;
        SetAutoStartTask(fake.Access(), kTask, true, delay);
        EXPECT_EQ(fake.calls, Registration(false)) << delay;
        EXPECT_EQ(fake.registered[kTask], LogonTask(std::nullopt)) << delay;
        EXPECT_EQ(fake.liveObjects, 0);
    }
}

TEST(AutoStartTask, TheLoadsRegistrationReplacesTheInstalledDelayAndFollowsAMovedProgram) {
    FakeTaskScheduler fake;
    SetAutoStartTask(fake.Access(), kTask, true, 60);  // the "/inst" run
    fake.calls.clear();
    fake.executablePath = u"D:\\Tools\\Tidewell.exe";
    SetAutoStartTask(fake.Access(), kTask, true, 0);  // the load of the same start, or a later one

    EXPECT_EQ(fake.calls, Registration(false, R"(D:\Tools\Tidewell.exe)", R"(D:\Tools\)"));
    EXPECT_EQ(fake.registered[kTask], LogonTask(std::nullopt, u"D:\\Tools\\Tidewell.exe", u"D:\\Tools\\"));
    EXPECT_EQ(fake.rootTasks, std::vector<Text>{kTask}) << "replaced, not added twice";
}

TEST(AutoStartTask, SecurityAlreadySetGoesOnAndAnyOtherSecurityFailureStops) {
    FakeTaskScheduler late;
    late.securityResult = RPC_E_TOO_LATE;
    late.rootTasks = {kTask};
    EXPECT_TRUE(AutoStartTaskExists(late.Access(), kTask));
    SetAutoStartTask(late.Access(), kTask, true, 60);
    EXPECT_EQ(late.registered.count(kTask), 1u);

    FakeTaskScheduler refused;
    refused.securityResult = E_OUTOFMEMORY;
    refused.rootTasks = {kTask};
    EXPECT_FALSE(AutoStartTaskExists(refused.Access(), kTask));
    SetAutoStartTask(refused.Access(), kTask, true, 60);
    SetAutoStartTask(refused.Access(), kTask, false, 0);
    EXPECT_EQ(refused.calls, Calls(3, "CoInitializeSecurity"));
    EXPECT_TRUE(refused.registered.empty());
    EXPECT_EQ(refused.rootTasks, std::vector<Text>{kTask});
}

TEST(AutoStartTask, RemovalAndLookupTakeOnlyTheRootTaskOfExactlyThatName) {
    const Calls scanToSecond = Join({kOpening,
                                     {"ITaskFolder::GetTasks(0)", "IRegisteredTaskCollection::get_Count()",
                                      "IRegisteredTaskCollection::get_Item(VT_I4:1)", "IRegisteredTask::get_Name()",
                                      "IRegisteredTaskCollection::get_Item(VT_I4:2)", "IRegisteredTask::get_Name()"}});
    const struct {
        const char* label;
        std::vector<Text> root, hidden, subfolder;
        bool found;
        std::vector<Text> rootAfterRemoval;
    } cases[] = {
        {"listed second of three", {u"Alpha", kTask, u"Omega"}, {}, {}, true, {u"Alpha", u"Omega"}},
        {"only near misses",
         {u"tidewelltaskmachine", u"TidewellTaskMachine2", u" TidewellTaskMachine", u"TIDEWELLTASKMACHINE"},
         {kTask},
         {kTask},
         false,
         {u"tidewelltaskmachine", u"TidewellTaskMachine2", u" TidewellTaskMachine", u"TIDEWELLTASKMACHINE"}},
        {"empty root folder", {}, {}, {}, false, {}},
    };
    for (const auto& c : cases) {
        FakeTaskScheduler fake;
        fake.rootTasks = c.root;
        fake.hiddenRootTasks = c.hidden;
        fake.subfolderTasks = c.subfolder;

        EXPECT_EQ(AutoStartTaskExists(fake.Access(), kTask), c.found) << c.label;
        const size_t lookupCalls = fake.calls.size();
        SetAutoStartTask(fake.Access(), kTask, false, 0);
        const Calls removal(fake.calls.begin() + static_cast<std::ptrdiff_t>(lookupCalls), fake.calls.end());

        EXPECT_EQ(fake.rootTasks, c.rootAfterRemoval) << c.label;
        EXPECT_EQ(fake.hiddenRootTasks, c.hidden) << c.label;
        EXPECT_EQ(fake.subfolderTasks, c.subfolder) << c.label;
        // The listing is walked once per item, 1 to Count, and no further than a match.
        const size_t items = c.found ? 2 : c.root.size();
        EXPECT_EQ(removal.size(), kOpening.size() + 2 + 2 * items + (c.found ? 1 : 0)) << c.label;
        EXPECT_EQ(lookupCalls, kOpening.size() + 2 + 2 * items) << c.label;
        EXPECT_EQ(fake.liveObjects, 0) << c.label;
        if (c.found) {
            EXPECT_EQ(removal, Join({scanToSecond, {R"(ITaskFolder::DeleteTask("TidewellTaskMachine",0))"}}));
            EXPECT_EQ(Calls(fake.calls.begin(), fake.calls.begin() + static_cast<std::ptrdiff_t>(lookupCalls)),
                      scanToSecond);
        } else {
            for (const auto& call : fake.calls) EXPECT_EQ(call.find("DeleteTask"), std::string::npos) << c.label;
        }
    }
}

// One operation of the auto-start functions on a fresh fake.
struct Operation {
    const char* label;
    std::function<void(FakeTaskScheduler&)> prepare;
    std::function<void(FakeTaskScheduler&)> run;
    // The Task Scheduler as it was before: a failed operation must leave it so.
    std::function<bool(const FakeTaskScheduler&)> unchanged;
};

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"registration with delay", [](FakeTaskScheduler&) {},
         [](FakeTaskScheduler& f) { SetAutoStartTask(f.Access(), kTask, true, 60); },
         [](const FakeTaskScheduler& f) { return f.registered.empty() && f.rootTasks.empty(); }},
        {"removal", [](FakeTaskScheduler& f) { f.rootTasks = {u"Other", kTask}; },
         [](FakeTaskScheduler& f) { SetAutoStartTask(f.Access(), kTask, false, 0); },
         [](const FakeTaskScheduler& f) { return f.rootTasks == std::vector<Text>{u"Other", kTask}; }},
        {"lookup", [](FakeTaskScheduler& f) { f.rootTasks = {u"Other", kTask}; },
         [](FakeTaskScheduler& f) {
             EXPECT_FALSE(AutoStartTaskExists(f.Access(), kTask)) << "a failed lookup says no";
         },
         [](const FakeTaskScheduler& f) { return f.rootTasks == std::vector<Text>{u"Other", kTask}; }},
    };
    return operations;
}

// The operation once with nothing failing: the calls every injected failure is measured against.
void RunBaseline(const Operation& op, FakeTaskScheduler& baseline) {
    op.prepare(baseline);
    if (std::string(op.label) == "lookup") {
        EXPECT_TRUE(AutoStartTaskExists(baseline.Access(), kTask));
    } else {
        op.run(baseline);
    }
}

TEST(AutoStartTask, AFailingStepEndsTheOperationAndNothingAfterItRuns) {
    for (const Operation& op : Operations()) {
        FakeTaskScheduler baseline;
        RunBaseline(op, baseline);
        ASSERT_FALSE(baseline.calls.empty());

        for (size_t failing = 0; failing < baseline.calls.size(); ++failing) {
            const std::string label = std::string(op.label) + ", failing " + baseline.calls[failing];
            FakeTaskScheduler fake;
            op.prepare(fake);
            fake.failCall = failing;
            op.run(fake);
            EXPECT_EQ(fake.calls, Calls(baseline.calls.begin(), baseline.calls.begin() + failing + 1)) << label;
            EXPECT_TRUE(op.unchanged(fake)) << label;
            EXPECT_EQ(fake.liveObjects, 0) << label;
        }
    }
}

TEST(AutoStartTask, ASuccessThatHandsBackNoObjectEndsTheOperation) {
    for (const Operation& op : Operations()) {
        FakeTaskScheduler baseline;
        RunBaseline(op, baseline);
        size_t tried = 0;
        for (size_t empty = 0; empty < baseline.calls.size(); ++empty) {
            if (!baseline.handsOutObject[empty]) continue;
            ++tried;
            const std::string label = std::string(op.label) + ", no object from " + baseline.calls[empty];
            FakeTaskScheduler fake;
            op.prepare(fake);
            fake.emptyCall = empty;
            op.run(fake);
            // RegisterTaskDefinition's registered-task object is not used; without it the task is still registered.
            if (baseline.calls[empty].rfind("ITaskFolder::RegisterTaskDefinition", 0) == 0) {
                EXPECT_EQ(fake.calls, baseline.calls) << label;
                continue;
            }
            EXPECT_EQ(fake.calls, Calls(baseline.calls.begin(), baseline.calls.begin() + empty + 1)) << label;
            EXPECT_TRUE(op.unchanged(fake)) << label;
            EXPECT_EQ(fake.liveObjects, 0) << label;
        }
        EXPECT_GT(tried, 3u) << op.label;
    }
}

// Wine's Task Scheduler: its IPrincipal::put_RunLevel answers E_NOTIMPL, so
// the registration stops there. This shows that the real path, security
// call included, ends quietly and leaves nothing behind.
TEST(AutoStartTaskOnWine, TheSystemTaskSchedulerEndsQuietly) {
    ComApartment com;
    ASSERT_TRUE(com.ok());
    const Text probe = u"TidewellAutoStartProbe";

    SetAutoStartTask(probe, true, 60);
    const bool registered = AutoStartTaskExists(probe);
    const HRESULT again = SystemTaskScheduler().initializeSecurity();
    std::cout << "second CoInitializeSecurity: 0x" << std::hex << static_cast<unsigned long>(again) << std::dec
              << "\n";
    EXPECT_TRUE(SUCCEEDED(again) || again == RPC_E_TOO_LATE);

    Microsoft::WRL::ComPtr<ITaskService> service;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_TaskScheduler, nullptr,
                                                CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                                IID_PPV_ARGS(service.GetAddressOf())));
    ScopedVariant none;
    ASSERT_HRESULT_SUCCEEDED(service->Connect(none.get(), none.get(), none.get(), none.get()));
    Microsoft::WRL::ComPtr<ITaskDefinition> definition;
    ASSERT_HRESULT_SUCCEEDED(service->NewTask(0, definition.GetAddressOf()));
    Microsoft::WRL::ComPtr<IPrincipal> principal;
    ASSERT_HRESULT_SUCCEEDED(definition->get_Principal(principal.GetAddressOf()));
    ASSERT_NE(principal, nullptr);
    const HRESULT runLevel = principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST);
    std::cout << "IPrincipal::put_RunLevel: 0x" << std::hex << static_cast<unsigned long>(runLevel) << std::dec
              << "\n";

    if (runLevel == E_NOTIMPL) {
        EXPECT_FALSE(registered) << "the registration must stop at the run level";
    } else if (registered) {
        // A Task Scheduler that takes the definition: remove the probe again.
        SetAutoStartTask(probe, false, 0);
        EXPECT_FALSE(AutoStartTaskExists(probe));
    } else {
        GTEST_SKIP() << "the Task Scheduler refused the registration (not elevated?)";
    }
    // Removing a task that is not there is just as quiet.
    SetAutoStartTask(probe, false, 0);
    EXPECT_FALSE(AutoStartTaskExists(probe));
}

TEST(AutoStartTaskOnWine, TheTaskStartsTheRunningExecutableFromItsFolder) {
    const Text path = SystemTaskScheduler().executablePath();
    const Text folder = FolderOfPath(path);
    ASSERT_FALSE(folder.empty()) << TextToUtf8(path);
    EXPECT_EQ(folder.back(), u'\\');
    EXPECT_TRUE(EqualsIgnoringAsciiCase(folder + u"auto_start_test.exe", path)) << TextToUtf8(path);
    EXPECT_EQ(FolderOfPath(u"Tidewell.exe"), u"");
}

}  // namespace
}  // namespace tidewell
