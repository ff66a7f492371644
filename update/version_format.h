#pragma once
// Fills a printf-style version pattern ("%d.%d.%d.%d", "%d.%d.%d") with the
// four parts of a file version.

#include <array>
#include <cstdint>

#include "base/text.h"

namespace tidewell {

using VersionParts = std::array<uint16_t, 4>;  // major, minor, release, build

// The shown version of an executable without version information, whatever the pattern.
inline constexpr TextView kMissingVersion = u"0.0.0.0";

// Fills the pattern's decimal placeholders (%d, %i, %u, with optional flags -+ 0,
// width and precision) with the parts in order; parts beyond the pattern's
// placeholders are left out. "%%" is a percent sign. A placeholder after the
// fourth, and anything that is not a decimal placeholder, is copied as written.
[[nodiscard]] Text FormatVersion(TextView pattern, const VersionParts& parts);

}  // namespace tidewell
