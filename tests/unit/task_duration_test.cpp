#include <gtest/gtest.h>

#include "autostart/task_duration.h"

namespace tidewell {
namespace {

TEST(SecondsToTaskDuration, WritesMinutesAndSecondsWithoutCarryingIntoHours) {
    const struct {
        int32_t seconds;
        const char16_t* duration;
    } cases[] = {
        {60, u"PT1M"},    {90, u"PT1M30S"}, {59, u"PT59S"},  {0, u"PT0S"},
        {3600, u"PT60M"}, {61, u"PT1M1S"},  {1, u"PT1S"},
        // Not a valid delay; it must still come out as a duration the Task Scheduler accepts.
        {-90, u"PT0S"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToUtf8(SecondsToTaskDuration(c.seconds)), TextToUtf8(c.duration)) << c.seconds;
    }
}

}  // namespace
}  // namespace tidewell
