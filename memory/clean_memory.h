#pragma once

namespace tidewell {

// Frees memory with six system-information calls, in this order: shrink the
// file cache, empty all working sets, purge the low-priority standby list, purge
// the standby list, flush the modified list, combine identical pages. Every
// status is ignored: a refused call does not stop the ones after it.
void CleanMemory() noexcept;

}  // namespace tidewell
