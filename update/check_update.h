#pragma once
// The start-up exchange with the maker's web service.

#include <functional>

#include "base/text.h"

namespace tidewell {

// Stores the endpoint and the notice dialog's layout offset, starts a worker
// that asks the service (retrying for about a minute) and returns. On the
// user-interface thread the update question is then asked if the answer names
// an update address, the address is opened on Yes, and proc gets whether the
// user accepted together with the whole answer. proc is not called when the
// program terminates while the worker waits, nor when the answer holds a
// malformed escape.
void CheckUpdate(const Text& endpoint, std::function<void(bool, const Text&)> proc, int offset);

}  // namespace tidewell
