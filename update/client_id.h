#pragma once
// The per-installation client identifier: 32 characters, made once and kept in
// the registry (update/web_helpers.h, ReadClientId).
//
//   8 hex  random 0..2147483646
//   6      local date, yymmdd
//   4 hex  random 0..65534
//   6      local time, hhnnss
//   8 hex  random 0..2147483646
//
// Hex digits are upper case. The date and the time are two readings of the
// clock, the date first.

#include <cstdint>
#include <functional>
#include <mutex>
#include <random>

#include "base/datetime.h"
#include "base/text.h"

namespace tidewell {

inline constexpr uint32_t kClientIdWideMax = 2147483646;
inline constexpr uint32_t kClientIdNarrowMax = 65534;
inline constexpr size_t kClientIdLength = 32;

// A uniform draw from 0 to maxInclusive.
using RandomDraw = std::function<uint32_t(uint32_t maxInclusive)>;
using LocalClock = std::function<CivilTime()>;

[[nodiscard]] Text MakeClientId(const RandomDraw& draw, const LocalClock& now);

// The identifier's generator: one per process, seeded once from a
// high-resolution counter by its owner. Safe to share between threads.
class ClientIdRandom {
public:
    explicit ClientIdRandom(uint64_t seed);
    [[nodiscard]] uint32_t Draw(uint32_t maxInclusive);

private:
    std::mutex mutex_;
    std::mt19937_64 engine_;
};

}  // namespace tidewell
