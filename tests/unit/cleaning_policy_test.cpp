#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/cleaning_policy.h"

namespace tidewell {
namespace {

constexpr DateTime kNow = 46000.5;
constexpr double kSecond = 1.0 / 86400.0;

TEST(ReadInteger, ReadsDecimalIntegersAndFallsBackOnAnythingElse) {
    struct Case {
        Text text;
        int64_t expected;
    } cases[] = {
        {u"90", 90},
        {u"5", 5},
        {u"0", 0},
        {u"+7", 7},
        {u"-5", -5},
        {u"007", 7},
        {u"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {u"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {u"9223372036854775808", -1},   // one past the maximum
        {u"-9223372036854775809", -1},
        {u"99999999999999999999", -1},
        {u"", -1},
        {u"-", -1},
        {u"+", -1},
        {u"abc", -1},
        {u"9 0", -1},
        {u" 90", -1},
        {u"90 ", -1},
        {u"1.5", -1},
        {u"0x10", -1},
        {u"\u0669\u0660", -1},  // Arabic-Indic digits are not read as 90
        {u"\uFF19\uFF10", -1},  // nor are full-width ones
    };
    for (const auto& c : cases) EXPECT_EQ(ReadInteger(c.text, -1), c.expected) << TextToUtf8(c.text);
}

struct PolicyCase {
    const char* name;
    CleaningPolicyInput input;
    bool expected;
};

CleaningPolicyInput Since(double seconds) {
    CleaningPolicyInput input;
    input.now = kNow;
    input.nextTime = kNow - seconds * kSecond;
    return input;
}

CleaningPolicyInput PhysAt(float usage, Text limit, double seconds) {
    CleaningPolicyInput input = Since(seconds);
    input.phys = {true, std::move(limit), usage};
    return input;
}

CleaningPolicyInput Interval(Text minutes, double seconds) {
    CleaningPolicyInput input = Since(seconds);
    input.intervalEnabled = true;
    input.intervalMinutes = std::move(minutes);
    return input;
}

template <typename F>
CleaningPolicyInput With(CleaningPolicyInput input, F change) {
    change(input);
    return input;
}

TEST(ShouldCleanAutomatically, CombinesTheLimitsTheIntervalAndTheSpacing) {
    const PolicyCase cases[] = {
        // Usage limits: at or above counts, compared with the widened float.
        {"physical at the limit", PhysAt(90.0f, u"90", 300), true},
        {"physical just below", PhysAt(89.99f, u"90", 3600), false},
        {"physical above", PhysAt(97.5f, u"80", 301), true},
        {"page at the limit", With(Since(400), [](auto& i) { i.page = {true, u"30", 30.0f}; }), true},
        {"page limit off", With(Since(400), [](auto& i) { i.page = {false, u"30", 99.0f}; }), false},
        {"working set full reaches the highest item",
         With(Since(400), [](auto& i) { i.work = {true, u"90", 100.0f}; }), true},
        {"working set full reaches an unselected limit",
         With(Since(400), [](auto& i) { i.work = {true, u"", 100.0f}; }), true},
        {"failed file cache query never reaches a limit",
         With(Since(400), [](auto& i) { i.work = {true, u"30", 0.0f}; }), false},
        {"unselected limit is 100", PhysAt(99.99f, u"", 3600), false},
        {"unselected limit reached at 100", PhysAt(100.0f, u"", 3600), true},
        {"other limits off whatever their usage",
         With(Since(3600),
              [](auto& i) {
                  i.phys = {false, u"30", 99.0f};
                  i.page = {false, u"30", 99.0f};
                  i.work = {false, u"30", 99.0f};
              }),
         false},
        {"one of three reached is enough",
         With(Since(3600),
              [](auto& i) {
                  i.phys = {true, u"90", 10.0f};
                  i.page = {true, u"90", 10.0f};
                  i.work = {true, u"50", 60.0f};
              }),
         true},

        // The interval, measured from NextTime.
        {"5 minutes at 299 s", Interval(u"5", 299), false},
        {"5 minutes at 300 s", Interval(u"5", 300), true},
        {"10 minutes at 599 s", Interval(u"10", 599), false},
        {"10 minutes at 600 s", Interval(u"10", 600), true},
        {"unselected interval is a day", Interval(u"", 1439 * 60), false},
        {"unselected interval reached after a day", Interval(u"", 1440 * 60), true},
        {"interval off", With(Interval(u"5", 7200), [](auto& i) { i.intervalEnabled = false; }), false},
        {"absurd interval never passes", Interval(u"9223372036854775807", 1e9), false},

        // The 300-second spacing overrides every reason.
        {"limit reached 299 s after a clean", PhysAt(100.0f, u"30", 299), false},
        {"everything reached 299 s after a clean",
         With(Interval(u"5", 299),
              [](auto& i) {
                  i.phys = {true, u"30", 100.0f};
                  i.page = {true, u"30", 100.0f};
                  i.work = {true, u"30", 100.0f};
              }),
         false},
        {"negative interval still waits for the spacing", Interval(u"-5", 10), false},
        {"negative interval after the spacing", Interval(u"-5", 300), true},
        {"right at start-up", PhysAt(100.0f, u"30", 0), false},

        // A clock set back an hour right after a clean: the distance counts.
        {"clock set back an hour", PhysAt(95.0f, u"90", -3600), true},
        {"clock set back 299 s", PhysAt(95.0f, u"90", -299), false},

        // Nothing enabled, or a clean under way: never.
        {"nothing enabled", Since(1e6), false},
        {"clean running", With(PhysAt(100.0f, u"30", 3600), [](auto& i) { i.running = true; }), false},
        {"clean running, interval passed", With(Interval(u"5", 3600), [](auto& i) { i.running = true; }), false},
    };
    for (const auto& c : cases) EXPECT_EQ(ShouldCleanAutomatically(c.input), c.expected) << c.name;
}

}  // namespace
}  // namespace tidewell
