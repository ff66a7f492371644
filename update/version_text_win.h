#pragma once
// The version text of any file; VersionText is this for the program's own executable.

#include <string>

#include "base/text.h"

namespace tidewell {

[[nodiscard]] Text FileVersionText(const std::wstring& path, const Text& format);

}  // namespace tidewell
