#pragma once
// Enables or disables one named privilege of the process token; the clean's
// kernel calls need two of them.

#include "base/text.h"

namespace tidewell {

// True when the thread's last-error code is 0 after the attempt. The adjust
// call itself succeeds for a privilege the token does not hold and reports that
// only through the last-error code, so such a process gets false.
[[nodiscard]] bool EnablePrivilege(const Text& name, bool enable) noexcept;

}  // namespace tidewell
