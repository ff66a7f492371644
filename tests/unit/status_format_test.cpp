#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "app/status_format.h"

namespace tidewell {
namespace {

constexpr uint64_t kMiB = 1048576;
constexpr uint64_t kGiB = 1024 * kMiB;

const NumberFormat kEnglish{u",", u"."};
const NumberFormat kGerman{u".", u","};
const NumberFormat kSwiss{u"'", u"."};
const NumberFormat kFrench{u"\u202F", u","};
const NumberFormat kUngrouped{u"", u"."};

TEST(BytesToMegabytes, RoundsHalvesToEven) {
    struct Case {
        uint64_t bytes;
        double megabytes;
    } cases[] = {
        {0, 0},
        {1, 0},
        {kMiB / 2, 0},            // 0.5
        {kMiB / 2 + 1, 1},        // just above a half goes up
        {kMiB - 1, 1},
        {kMiB + kMiB / 2, 2},     // 1.5
        {2 * kMiB + kMiB / 2, 2}, // 2.5
        {3 * kMiB + kMiB / 2, 4}, // 3.5
        {2 * kMiB + kMiB / 2 - 1, 2},
        {16 * kGiB, 16384},
        {std::numeric_limits<uint64_t>::max(), 17592186044416.0},  // 2^44: no overflow on the way
    };
    for (const auto& c : cases) EXPECT_EQ(BytesToMegabytes(c.bytes), c.megabytes) << "bytes " << c.bytes;
}

TEST(FormatNumber, GroupsDigitsWithTheLocalesSeparators) {
    struct Case {
        double value;
        int decimals;
        NumberFormat numbers;
        Text expected;
    } cases[] = {
        {0, 2, kEnglish, u"0.00"},
        {0, 0, kEnglish, u"0"},
        {999, 0, kEnglish, u"999"},
        {1000, 0, kEnglish, u"1,000"},
        {16384, 0, kEnglish, u"16,384"},
        {1234567.891, 2, kEnglish, u"1,234,567.89"},
        {1234567.891, 2, kGerman, u"1.234.567,89"},
        {1234567.891, 2, kSwiss, u"1'234'567.89"},
        {1234567.891, 2, kFrench, u"1\u202F234\u202F567,89"},
        {1234567.891, 2, kUngrouped, u"1234567.89"},
        {123456, 0, kEnglish, u"123,456"},
        {33.333328247070312, 2, kEnglish, u"33.33"},  // the float 33.33333 widened
        {99.999, 2, kEnglish, u"100.00"},
        {-1234.5, 2, kEnglish, u"-1,234.50"},
        {17592186044416.0, 0, kEnglish, u"17,592,186,044,416"},
        {1e21, 0, kEnglish, u"1,000,000,000,000,000,000,000"},  // written out, never in exponent form
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, c.decimals, c.numbers), c.expected)
            << c.value << " with " << c.decimals << " decimals";
    }
}

TEST(FormatStatus, FillsTheDirectivesInOrder) {
    struct Case {
        Text format;
        std::vector<double> values;
        NumberFormat numbers;
        Text expected;
    } cases[] = {
        {kPhysStatusSourceFormat, {8192, 16384, 50}, kEnglish, u"8,192 MB / 16,384 MB (50.00% 사용중)"},
        {kPhysStatusSourceFormat, {8192, 16384, 50}, kGerman, u"8.192 MB / 16.384 MB (50,00% 사용중)"},
        {u"%.0n MB / %.0n MB (Usage: %n%%)", {8192, 16384, 50}, kEnglish, u"8,192 MB / 16,384 MB (Usage: 50.00%)"},
        {kUsageStatusFormat, {4096, 16.666666}, kEnglish, u"4,096 MB (16.67%)"},
        {kUsageStatusFormat, {0, 0}, kSwiss, u"0 MB (0.00%)"},
        // A translation may choose its own precision for each value.
        {u"%n / %n (%.0n%%)", {1, 2, 49.6}, kEnglish, u"1.00 / 2.00 (50%)"},
        {u"%%%n%%", {7}, kEnglish, u"%7.00%"},
        {u"", {}, kEnglish, u""},
        {u"no directives", {}, kEnglish, u"no directives"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatStatus(c.format, c.values, c.numbers), std::optional<Text>(c.expected))
            << TextToUtf8(c.format);
    }
}

TEST(FormatStatus, RefusesFormatsThatDoNotFitTheValues) {
    const std::vector<double> three = {8192, 16384, 50};
    const Text formats[] = {
        u"%.0n MB / %.0n MB",                    // the percentage would vanish
        u"%.0n MB / %.0n MB (%n%% %n)",          // a fourth number with no value
        u"%.0n MB / %.0n MB (%n% 사용중)",        // single percent sign before a space
        u"%.0n MB / %.0n MB (%n%%) %",           // stray percent sign at the end
        u"%d MB / %.0n MB (%n%%)",               // an integer directive
        u"%s MB / %.0n MB (%n%%)",               // a string directive
        u"%.1n MB / %.0n MB (%n%%)",             // only %n and %.0n are numbers here
        u"%5.0n MB / %.0n MB (%n%%)",            // no widths
        u"%0:n MB / %.0n MB (%n%%)",             // no argument indexes
        u"%N MB / %.0n MB (%n%%)",               // directives are lower case
        u"",
    };
    for (const Text& format : formats) {
        EXPECT_EQ(FormatStatus(format, three, kEnglish), std::nullopt) << TextToUtf8(format);
    }
    EXPECT_EQ(FormatStatus(u"%n", std::vector<double>{}, kEnglish), std::nullopt);
}

TMemoryUsage SixteenGigabytesHalfUsed() {
    TMemoryUsage usage{};
    usage.TotalPhys = 16 * kGiB;
    usage.AvailPhys = 8 * kGiB;
    usage.UsagePhys = 50.0f;
    usage.TotalPage = 24 * kGiB;
    usage.AvailPage = 20 * kGiB;
    usage.UsagePage = 16.666666f;
    usage.TotalWork = kGiB;
    usage.AvailWork = kGiB - 300 * kMiB - kMiB / 2;  // 300.5 MB in the cache
    usage.UsageWork = 29.345703f;
    return usage;
}

TEST(StatusLines, ShowUsedAndTotalMegabytesAndPercentages) {
    const TMemoryUsage usage = SixteenGigabytesHalfUsed();
    EXPECT_EQ(PhysStatusLine(kPhysStatusSourceFormat, usage, kEnglish), u"8,192 MB / 16,384 MB (50.00% 사용중)");
    EXPECT_EQ(PhysStatusLine(u"%.0n MB / %.0n MB (Usage: %n%%)", usage, kGerman),
              u"8.192 MB / 16.384 MB (Usage: 50,00%)");
    EXPECT_EQ(PageStatusLine(usage, kEnglish), u"4,096 MB (16.67%)");
    EXPECT_EQ(WorkingStatusLine(usage, kEnglish), u"300 MB (29.35%)");

    const TMemoryUsage empty{};
    EXPECT_EQ(PhysStatusLine(kPhysStatusSourceFormat, empty, kEnglish), u"0 MB / 0 MB (0.00% 사용중)");
    EXPECT_EQ(WorkingStatusLine(empty, kEnglish), u"0 MB (0.00%)");
}

TEST(StatusLines, AnUnfittingTranslationFallsBackToTheSourceFormat) {
    const TMemoryUsage usage = SixteenGigabytesHalfUsed();
    for (const Text& broken : {Text(u"%.0n MB / %.0n MB (Usage: %n%)"), Text(u"%d / %d"), Text()}) {
        EXPECT_EQ(PhysStatusLine(broken, usage, kGerman), u"8.192 MB / 16.384 MB (50,00% 사용중)")
            << TextToUtf8(broken);
    }
}

TEST(UsageBarPosition, RoundsHalvesToEvenInsideTheBarsRange) {
    struct Case {
        float usage;
        int expected;
    } cases[] = {
        {0.0f, 0},      {0.5f, 0},     {1.5f, 2},   {50.5f, 50},  {51.5f, 52},
        {74.49f, 74},   {99.6f, 100},  {100.0f, 100},
        {250.0f, 100},  // wrapped used bytes give huge percentages; the bar stays full
        {3e30f, 100},   // far beyond int, no overflow on the way
        {-1.0f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(UsageBarPosition(c.usage, 0, 100), c.expected) << c.usage;
}

}  // namespace
}  // namespace tidewell
