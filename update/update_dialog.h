#pragma once
// The modal update question with its optional notice line.

#include "base/text.h"

namespace tidewell {

// Asks whether to download the update named in the answer; true only for Yes.
// Runs on the user-interface thread. A ticked "hold" box sends the service
// the hold command from a worker of its own, whatever closed the dialog.
// Throws ConversionError, before anything is shown, when a notice field holds
// a malformed escape.
[[nodiscard]] bool UpdateDialog(const Text& answer);

}  // namespace tidewell
