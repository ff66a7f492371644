#pragma once
// The logon delay of the auto-start task as the Task Scheduler reads it.

#include <cstdint>

#include "base/text.h"

namespace tidewell {

// An ISO 8601 duration of minutes and seconds ("PT1M30S"). Minutes are not
// carried into hours: 3600 gives "PT60M". Zero, and anything below it, gives
// "PT0S".
[[nodiscard]] Text SecondsToTaskDuration(int32_t seconds);

}  // namespace tidewell
