#pragma once
// Replaceable steps of the exchange and the dialog, for tests: the length of a
// retry slice, a count of attempts, the dialog and the shell. The defaults are
// the real ones.

#include <functional>

#include "base/text.h"

namespace tidewell {

struct UpdateExchangeHooks {
    std::function<void()> sleepSlice;                // one of the 100 slices of a retry wait
    std::function<void(int attempt)> beforeAttempt;  // may be empty
    std::function<bool(const Text& answer)> updateDialog;
    std::function<void(const Text& address)> shellOpen;  // the update address and the notice link
};

[[nodiscard]] UpdateExchangeHooks DefaultUpdateExchangeHooks();
// CheckUpdate takes a copy when it starts; the dialog's link reads them when clicked.
[[nodiscard]] UpdateExchangeHooks CurrentUpdateExchangeHooks();
void SetUpdateExchangeHooks(UpdateExchangeHooks hooks);

}  // namespace tidewell
