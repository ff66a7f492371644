#include "autostart/task_duration.h"

#include <string>

namespace tidewell {

namespace {
Text Number(int32_t value) { return Utf8ToText(std::to_string(value)); }
}  // namespace

Text SecondsToTaskDuration(int32_t seconds) {
    Text duration = u"PT";
    const int32_t minutes = seconds / 60;
    const int32_t rest = seconds % 60;
    if (minutes > 0) duration += Number(minutes) + u"M";
    if (rest > 0) duration += Number(rest) + u"S";
    if (minutes <= 0 && rest <= 0) duration += u"0S";
    return duration;
}

}  // namespace tidewell
