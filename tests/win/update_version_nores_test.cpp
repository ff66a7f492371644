// An executable without a version resource: the version text is "0.0.0.0"
// whatever the pattern, and the service hears that version.

#include <windows.h>

#include <gtest/gtest.h>

#include "update/web_helpers.h"

namespace tidewell {
namespace {

TEST(VersionTextWithoutResource, IsAllZerosInFourParts) {
    for (const Text pattern : {u"%d.%d.%d.%d", u"%d.%d.%d", u"v%d", u""}) {
        EXPECT_EQ(VersionText(pattern), u"0.0.0.0") << TextToUtf8(pattern);
    }
}

}  // namespace
}  // namespace tidewell
