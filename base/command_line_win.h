#pragma once

#include "base/text.h"

namespace tidewell {

// The first command-line argument exactly as given, "" when there is none.
// The program never reads a second one.
[[nodiscard]] Text FirstCommandLineArgument();

}  // namespace tidewell
