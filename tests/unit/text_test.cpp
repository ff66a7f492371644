#include <gtest/gtest.h>

#include "base/text.h"

namespace tidewell {
namespace {

TEST(Utf8ToText, DecodesEveryPlaneAndReplacesInvalidBytes) {
    struct Case {
        std::string utf8;
        Text expected;
    } cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {"\xEC\xA0\x95\xEB\xA6\xAC", u"\uC815\uB9AC"},            // 정리
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},                      // outside the BMP: a surrogate pair
        {"a\xFF" "b", u"a\uFFFD" "b"},                              // stray byte
        {"\xE2\x82", u"\uFFFD"},                                    // truncated sequence at the end
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},                    // an encoded surrogate is invalid
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                              // overlong form
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToText(c.utf8), c.expected) << "input bytes: " << c.utf8.size();
    }
}

TEST(TextToUtf8, RoundTripsAndReplacesLoneSurrogates) {
    const Text mixed = u"Tidewell \uC815\uB9AC \xD83D\xDE00";
    EXPECT_EQ(Utf8ToText(TextToUtf8(mixed)), mixed);
    EXPECT_EQ(TextToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase(u"HoMe", u"hOmE"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"\u00E9", u"\u00C9"));  // é / É are not folded
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"ab", u"abc"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"[", u"{"));  // 0x5B vs 0x7B differ by 32 but are not letters
}

}  // namespace
}  // namespace tidewell
