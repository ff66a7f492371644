#pragma once
// The two process-wide values of the update and notice service. CheckUpdate
// sets them once at start-up; the requests and the notice dialog read them.

#include "base/text.h"

namespace tidewell {

void SetServiceValues(const Text& endpoint, int layoutOffset);
// The full address every request of the service goes to.
[[nodiscard]] Text ServiceEndpoint();
// Vertical offset, in logical pixels, of the notice dialog's strip.
[[nodiscard]] int ServiceLayoutOffset();

}  // namespace tidewell
