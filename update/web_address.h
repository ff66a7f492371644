#pragma once
// Which addresses from the web service the program will hand to the shell.
// The program runs elevated and the service's answer is outside its control,
// so an address from the answer is opened only when it is an absolute http or
// https address; a file path, a share, another scheme or anything malformed is
// treated as no address at all.

#include "base/text.h"

namespace tidewell {

// True for "http://host..." and "https://host..." (scheme in any ASCII case)
// with a non-empty host name, and no blank, control character, backslash, double
// quote or angle bracket anywhere.
[[nodiscard]] bool IsWebAddress(TextView address) noexcept;

}  // namespace tidewell
