#include "base/datetime.h"

#include <cmath>

namespace tidewell {
namespace {

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) noexcept {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kDaysFrom1899To1970 = 25569;

}  // namespace

DateTime ToDateTime(const CivilTime& t) noexcept {
    const int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) +
                         kDaysFrom1899To1970;
    const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
    return static_cast<double>(days) + ms / 86400000.0;
}

int64_t SecondsBetween(DateTime a, DateTime b) noexcept {
    // Rounded to milliseconds first, so that a whole number of seconds stored
    // as a fraction of a day is not cut to one second less.
    const double ms = std::round(std::fabs(a - b) * 86400000.0);
    return static_cast<int64_t>(ms / 1000.0);
}

}  // namespace tidewell
