#pragma once
// The auto-start functions over an exchangeable way into the Task Scheduler,
// so that tests can hand in their own service object and watch every call.

#include <windows.h>

#include <functional>

#include "base/text.h"

namespace tidewell {

struct TaskSchedulerAccess {
    // Sets the process's COM security; success and RPC_E_TOO_LATE both go on.
    std::function<HRESULT()> initializeSecurity;
    // Creates the TaskScheduler object, asked for IUnknown.
    std::function<HRESULT(IUnknown** service)> createService;
    // Full path of the program the task starts; empty when unknown.
    std::function<Text()> executablePath;
};

// CoInitializeSecurity, CoCreateInstance of the TaskScheduler class, and the
// running executable's path.
[[nodiscard]] TaskSchedulerAccess SystemTaskScheduler();

void SetAutoStartTask(const TaskSchedulerAccess& access, const Text& taskName, bool enable, int32_t delaySeconds);
[[nodiscard]] bool AutoStartTaskExists(const TaskSchedulerAccess& access, const Text& taskName);

// The folder part of an executable path, up to and including the last backslash.
[[nodiscard]] Text FolderOfPath(const Text& path);

}  // namespace tidewell
