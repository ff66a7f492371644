#pragma once
// Local date-times as days since 1899-12-30 with the time of day as the
// fraction, the representation NextTime is kept in.

#include <cstdint>

namespace tidewell {

using DateTime = double;

struct CivilTime {
    int year, month, day, hour, minute, second, millisecond;
};

[[nodiscard]] DateTime ToDateTime(const CivilTime& t) noexcept;
// Whole seconds between two date-times, absolute value, fraction cut off.
[[nodiscard]] int64_t SecondsBetween(DateTime a, DateTime b) noexcept;

}  // namespace tidewell
