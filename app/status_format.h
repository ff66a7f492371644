#pragma once
// The home page's status lines: byte counts shown as whole megabytes and
// percentages, written with the user's thousands and decimal separators.
//
// The formats know three directives: "%n" (a number with two decimals), "%.0n"
// (a number without decimals) and "%%" (a percent sign). A format fits a list
// of values when it holds no other directive and exactly one number directive
// per value; the i-th number directive writes the i-th value.

#include <cstdint>
#include <optional>
#include <span>

#include "app/form_host.h"
#include "base/text.h"
#include "memory/memory_usage.h"

namespace tidewell {

// The Korean source of the physical line's format; also what a translated
// format that does not fit the line's values falls back to.
inline constexpr char16_t kPhysStatusSourceFormat[] = u"%.0n MB / %.0n MB (%n%% 사용중)";
// The page-file and working-set lines, the same in every language.
inline constexpr char16_t kUsageStatusFormat[] = u"%.0n MB (%n%%)";

// Nearest integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
[[nodiscard]] double RoundHalfEven(double value) noexcept;

// Bytes as whole MB of 1,048,576 bytes, rounded as RoundHalfEven.
[[nodiscard]] double BytesToMegabytes(uint64_t bytes) noexcept;

// The value with the given number of decimals, digits grouped by three.
[[nodiscard]] Text FormatNumber(double value, int decimals, const NumberFormat& numbers);

// The format with its directives filled in, or nothing when it does not fit.
[[nodiscard]] std::optional<Text> FormatStatus(TextView format, std::span<const double> values,
                                               const NumberFormat& numbers);

// "used MB / total MB (percent)" through the window's translated format.
[[nodiscard]] Text PhysStatusLine(TextView format, const TMemoryUsage& usage, const NumberFormat& numbers);
[[nodiscard]] Text PageStatusLine(const TMemoryUsage& usage, const NumberFormat& numbers);
[[nodiscard]] Text WorkingStatusLine(const TMemoryUsage& usage, const NumberFormat& numbers);

// The usage bar's position: the percentage rounded as RoundHalfEven, kept
// inside the bar's range (the snapshot does not clamp its figures).
[[nodiscard]] int UsageBarPosition(float usage, int min, int max) noexcept;

}  // namespace tidewell
