#include "app/cleaning_policy.h"

#include <limits>

namespace tidewell {
namespace {

bool Reached(const UsageLimit& limit) noexcept {
    if (!limit.enabled) return false;
    // A usage exactly at the limit counts: the captions say "at or above".
    return static_cast<double>(limit.usage) >=
           static_cast<double>(ReadInteger(limit.limit, kUsageLimitWhenUnreadable));
}

bool IntervalPassed(int64_t elapsedSeconds, int64_t minutes) noexcept {
    if (minutes <= 0) return true;
    // minutes * 60 would overflow; no elapsed time reaches such an interval.
    if (minutes > std::numeric_limits<int64_t>::max() / 60) return false;
    return elapsedSeconds >= minutes * 60;
}

}  // namespace

int64_t ReadInteger(TextView text, int64_t fallback) noexcept {
    size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        i = 1;
    }
    if (i == text.size()) return fallback;
    // Accumulated as a negative number so that the minimum itself is readable.
    int64_t value = 0;
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9') return fallback;
        const int digit = c - u'0';
        if (value < (kMin + digit) / 10) return fallback;
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == kMin) return fallback;
    return -value;
}

bool ShouldCleanAutomatically(const CleaningPolicyInput& input) noexcept {
    if (input.running) return false;
    // Absolute difference: a clock set back still counts as time passed.
    const int64_t elapsed = SecondsBetween(input.now, input.nextTime);
    if (elapsed < kMinimumSecondsBetweenCleans) return false;
    if (Reached(input.phys) || Reached(input.page) || Reached(input.work)) return true;
    return input.intervalEnabled &&
           IntervalPassed(elapsed, ReadInteger(input.intervalMinutes, kMinutesWhenUnreadable));
}

}  // namespace tidewell
