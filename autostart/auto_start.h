#pragma once
// The logon task that starts the program elevated and hidden ("/start").
// The task itself is the persisted state: there is no registry value for it.
// Callers initialise COM on their thread around every call; failures are
// silent.

#include <cstdint>

#include "base/text.h"

namespace tidewell {

// Enable registers (creates or replaces) the task in the root folder, with a
// logon delay when delaySeconds > 0; otherwise removes the root task of exactly
// that name, if there is one.
void SetAutoStartTask(const Text& taskName, bool enable, int32_t delaySeconds);

// Whether the root folder lists a task of exactly that name (letter case
// included); false also when the Task Scheduler cannot be asked.
[[nodiscard]] bool AutoStartTaskExists(const Text& taskName);

}  // namespace tidewell
