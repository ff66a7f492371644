#pragma once
// Whether the status tick starts a clean by itself: an enabled usage limit is
// reached or the enabled interval has passed, at least 300 seconds have passed
// since NextTime, and no clean is running.

#include <cstdint>

#include "base/datetime.h"
#include "base/text.h"

namespace tidewell {

inline constexpr int64_t kUsageLimitWhenUnreadable = 100;
inline constexpr int64_t kMinutesWhenUnreadable = 1440;
inline constexpr int64_t kMinimumSecondsBetweenCleans = 300;

// One usage limit as the settings page shows it: its check box, the selected
// text of its list, and the percentage it is compared with.
struct UsageLimit {
    bool enabled = false;
    Text limit;
    float usage = 0.0f;
};

struct CleaningPolicyInput {
    UsageLimit phys;
    UsageLimit page;
    UsageLimit work;
    bool intervalEnabled = false;
    Text intervalMinutes;
    DateTime now = 0.0;
    DateTime nextTime = 0.0;
    bool running = false;
};

// Text as a 64-bit decimal integer (optional sign, digits only), or fallback
// when it is not one, overflow included.
[[nodiscard]] int64_t ReadInteger(TextView text, int64_t fallback) noexcept;

[[nodiscard]] bool ShouldCleanAutomatically(const CleaningPolicyInput& input) noexcept;

}  // namespace tidewell
