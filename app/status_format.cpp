#include "app/status_format.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tidewell {
namespace {

constexpr double kBytesPerMegabyte = 1048576.0;

// One directive at the start of text (just after a '%'): how many code units it
// spans and, for a number, its decimals (-1 for the literal percent sign).
struct Directive {
    size_t length;
    int decimals;
};

std::optional<Directive> ReadDirective(TextView text) {
    if (text.starts_with(u"%")) return Directive{1, -1};
    if (text.starts_with(u"n")) return Directive{1, 2};
    if (text.starts_with(u".0n")) return Directive{3, 0};
    return std::nullopt;
}

Text StatusLine(TextView format, double usedMegabytes, float usage, const NumberFormat& numbers) {
    const double values[] = {usedMegabytes, static_cast<double>(usage)};
    // The fixed format always fits its two values.
    return FormatStatus(format, values, numbers).value_or(Text());
}

}  // namespace

double RoundHalfEven(double value) noexcept {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

double BytesToMegabytes(uint64_t bytes) noexcept {
    return RoundHalfEven(static_cast<double>(bytes) / kBytesPerMegabyte);
}

Text FormatNumber(double value, int decimals, const NumberFormat& numbers) {
    // Wide enough for the largest double written out in full.
    std::array<char, 400> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return Text();
    const std::string_view plain(buffer.data(), static_cast<size_t>(end - buffer.data()));

    size_t digitsBegin = plain.starts_with('-') ? 1 : 0;
    size_t digitsEnd = plain.find('.');
    if (digitsEnd == std::string_view::npos) digitsEnd = plain.size();

    Text out;
    out.reserve(plain.size() + plain.size() / 3 * numbers.thousandSeparator.size());
    for (size_t i = 0; i < digitsBegin; ++i) out += static_cast<char16_t>(plain[i]);
    const bool digits = digitsBegin < digitsEnd && plain[digitsBegin] >= '0' && plain[digitsBegin] <= '9';
    for (size_t i = digitsBegin; i < digitsEnd; ++i) {
        if (digits && i > digitsBegin && (digitsEnd - i) % 3 == 0) out += numbers.thousandSeparator;
        out += static_cast<char16_t>(plain[i]);
    }
    if (digitsEnd < plain.size()) {
        out += numbers.decimalSeparator;
        for (size_t i = digitsEnd + 1; i < plain.size(); ++i) out += static_cast<char16_t>(plain[i]);
    }
    return out;
}

std::optional<Text> FormatStatus(TextView format, std::span<const double> values, const NumberFormat& numbers) {
    Text out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') {
            out += format[i];
            continue;
        }
        const std::optional<Directive> directive = ReadDirective(format.substr(i + 1));
        if (!directive) return std::nullopt;
        i += directive->length;
        if (directive->decimals < 0) {
            out += u'%';
            continue;
        }
        if (next == values.size()) return std::nullopt;
        out += FormatNumber(values[next++], directive->decimals, numbers);
    }
    // A value without its directive would vanish from the line unnoticed.
    if (next != values.size()) return std::nullopt;
    return out;
}

Text PhysStatusLine(TextView format, const TMemoryUsage& usage, const NumberFormat& numbers) {
    const double values[] = {BytesToMegabytes(usage.TotalPhys - usage.AvailPhys), BytesToMegabytes(usage.TotalPhys),
                             static_cast<double>(usage.UsagePhys)};
    if (std::optional<Text> line = FormatStatus(format, values, numbers)) return *std::move(line);
    // A translation whose placeholders do not match would otherwise stop the
    // status refresh; the source format always matches.
    return FormatStatus(kPhysStatusSourceFormat, values, numbers).value_or(Text());
}

Text PageStatusLine(const TMemoryUsage& usage, const NumberFormat& numbers) {
    return StatusLine(kUsageStatusFormat, BytesToMegabytes(usage.TotalPage - usage.AvailPage), usage.UsagePage,
                      numbers);
}

Text WorkingStatusLine(const TMemoryUsage& usage, const NumberFormat& numbers) {
    return StatusLine(kUsageStatusFormat, BytesToMegabytes(usage.TotalWork - usage.AvailWork), usage.UsageWork,
                      numbers);
}

int UsageBarPosition(float usage, int min, int max) noexcept {
    const double rounded = RoundHalfEven(static_cast<double>(usage));
    if (!(rounded >= min)) return min;  // NaN lands here too
    if (rounded > max) return max;
    return static_cast<int>(rounded);
}

}  // namespace tidewell
