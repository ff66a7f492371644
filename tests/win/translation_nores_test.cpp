// An executable without the program's resources: the table must come out empty
// and every text must show as written.

#include <windows.h>

#include <gtest/gtest.h>

#include "i18n/translation.h"

namespace tidewell {
namespace {

TEST(LoadTranslationTableWithoutResource, LeavesTheTableEmpty) {
    ASSERT_EQ(FindResourceW(GetModuleHandleW(nullptr), L"translate", RT_RCDATA), nullptr)
        << "this executable must be linked without the translation table";
    // Left from an earlier load: the loader starts from an empty table.
    SetTranslationTable({u"ko=정리하기", u"en=Clean memory"});
    SetCurrentLanguage(u"xx");

    LoadTranslationTable();

    EXPECT_TRUE(TranslationTable().empty()) << TranslationTable().size() << " lines";
    const Text language = CurrentLanguage();
    EXPECT_EQ(language, GetUserLanguage().substr(0, 2));
    EXPECT_EQ(TextToUtf8(Translate(u"정리하기")), "정리하기");
    EXPECT_EQ(TextToUtf8(Translate(u"정리하기", u"en")), "정리하기");
    EXPECT_EQ(Translate(u"a\\nb", u"en"), u"a\rb");
}

}  // namespace
}  // namespace tidewell
