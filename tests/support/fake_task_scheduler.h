#pragma once
// A recording stand-in for the Task Scheduler's COM objects, handed to the
// auto-start functions through their TaskSchedulerAccess seam. Every call our
// code makes is written down with its arguments, in order; any one of them can
// be made to fail, or to succeed without handing back its object. Methods the
// auto-start code has no business calling answer E_NOTIMPL and are written
// down as unexpected.

#include <windows.h>
#include <taskschd.h>

#include <map>
#include <ostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "autostart/task_scheduler_win.h"
#include "base/text.h"

namespace tidewell::testing {

class FakeTaskScheduler {
public:
    struct Trigger {
        TASK_TRIGGER_TYPE2 type = TASK_TRIGGER_EVENT;
        std::optional<Text> delay;
        bool operator==(const Trigger&) const = default;
    };
    struct Action {
        TASK_ACTION_TYPE type = TASK_ACTION_EXEC;
        std::optional<Text> path, workingDirectory, arguments;
        bool operator==(const Action&) const = default;
    };
    // What was set on a definition; everything left unset stays empty.
    struct Definition {
        std::optional<TASK_RUNLEVEL_TYPE> runLevel;
        std::vector<Trigger> triggers;
        std::vector<Action> actions;
        std::optional<VARIANT_BOOL> startWhenAvailable;
        std::optional<Text> executionTimeLimit;
        std::optional<VARIANT_BOOL> stopOnIdleEnd;
        std::optional<VARIANT_BOOL> disallowStartIfOnBatteries;
        std::optional<VARIANT_BOOL> stopIfGoingOnBatteries;
        bool operator==(const Definition&) const = default;
    };

    FakeTaskScheduler() = default;
    FakeTaskScheduler(const FakeTaskScheduler&) = delete;
    FakeTaskScheduler& operator=(const FakeTaskScheduler&) = delete;

    // The calls, e.g. "ITaskFolder::DeleteTask(\"TidewellTaskMachine\",0)".
    std::vector<std::string> calls;
    // Per call: whether it hands out an object (so it can be made to hand out none).
    std::vector<bool> handsOutObject;

    // Tasks of the root folder as GetTasks(0) lists them, in order.
    std::vector<Text> rootTasks;
    // Root tasks marked hidden: listed only with TASK_ENUM_HIDDEN.
    std::vector<Text> hiddenRootTasks;
    // Tasks of a sub-folder; the root folder never lists them.
    std::vector<Text> subfolderTasks;
    // Definitions registered through RegisterTaskDefinition, by name.
    std::map<Text, Definition> registered;

    // The call with this index (into calls) fails.
    std::optional<size_t> failCall;
    // The call with this index answers success but hands back no object.
    std::optional<size_t> emptyCall;
    // What CoInitializeSecurity answers when it is not made to fail.
    HRESULT securityResult = S_OK;
    Text executablePath = u"C:\\Program Files\\Tidewell\\Tidewell.exe";

    // Fake COM objects alive right now; zero once our code has released everything.
    int liveObjects = 0;

    [[nodiscard]] TaskSchedulerAccess Access();

    // Used by the fake objects.
    enum class Outcome { Succeed, Fail, Empty };
    Outcome Step(std::string call, bool objectOut = false);
    // Definitions alive, by the pointer our code passes back at registration.
    std::map<const void*, std::shared_ptr<Definition>> definitions;
    int definitionsMade = 0;
};

// For readable assertion messages.
void PrintTo(const FakeTaskScheduler::Definition& definition, std::ostream* os);

}  // namespace tidewell::testing
