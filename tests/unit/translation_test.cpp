#include "i18n/translation.h"

#include <gtest/gtest.h>

#include "tests/unit/translation_state.h"

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace tidewell {
namespace {

using testing::ReadShippedTable;

// The table and the language are process-wide; every test leaves them as it found them.
class TranslationTest : public ::testing::Test {
protected:
    static void UseShippedTable() {
        const std::string bytes = ReadShippedTable();
        ASSERT_FALSE(bytes.empty()) << "resources/translate.txt could not be read";
        SetTranslationTable(ParseTranslationResource(bytes));
    }

private:
    testing::ScopedTranslationState saved_;
};

// The groups of a table: runs of non-empty lines.
std::vector<std::vector<Text>> Groups(const std::vector<Text>& lines) {
    std::vector<std::vector<Text>> groups;
    bool open = false;
    for (const Text& line : lines) {
        if (line.empty()) {
            open = false;
            continue;
        }
        if (!open) groups.emplace_back();
        open = true;
        groups.back().push_back(line);
    }
    return groups;
}

struct Case {
    const char* what;
    Text text;
    Text language;  // argument; empty means CurrentLanguage
    Text current;
    Text expected;
};

void Check(const Case& c) {
    SetCurrentLanguage(c.current);
    EXPECT_EQ(TextToUtf8(Translate(c.text, c.language)), TextToUtf8(c.expected))
        << c.what << ": \"" << TextToUtf8(c.text) << "\" in \"" << TextToUtf8(c.language) << "\" (current \""
        << TextToUtf8(c.current) << "\")";
}

TEST_F(TranslationTest, LooksUpTheShippedTable) {
    UseShippedTable();
    const Case cases[] = {
        {"empty text", u"", u"ja", u"en", u""},
        {"group without an en line, in en", u"워킹 셋", u"", u"en", u"워킹 셋"},
        {"group without an en line, in ja", u"워킹 셋", u"", u"ja", u"ワーキング"},
        {"language without lines takes en", u"실제 메모리", u"de", u"en", u"Physical"},
        {"ASCII case ignored on the en line", u"HOME", u"fr", u"en", u"Accueil"},
        {"source need not be Korean", u"Quit", u"ja", u"en", u"終了"},
        {"codes are case-sensitive", u"종료", u"EN", u"ja", u"Quit"},
        {"truncated three-letter code", u"종료", u"", u"ha", u"Quit"},
        {"argument beats the current language", u"환경설정", u"ru", u"ja", u"Настройки"},
        {"match on a line below the wanted one", u"الرئيسية", u"ko", u"en", u"처음화면"},
        {"translated text back to Korean", u"Optimized memory.", u"ko", u"en", u"메모리를 정리하였습니다."},
        {"percent format", u"%.0n MB / %.0n MB (%n%% 사용중)", u"zh", u"en", u"%.0n MB / %.0n MB (使用率: %n%%)"},
        {"only ASCII letters fold: Cyrillic", u"ОСНОВНЫЕ НАСТРОЙКИ", u"en", u"en", u"ОСНОВНЫЕ НАСТРОЙКИ"},
        {"only ASCII letters fold: accents kept", u"GéNéRAL", u"ru", u"en", u"Основные настройки"},
        {"only ASCII letters fold: capital accent", u"GÉNÉRAL", u"ru", u"en", u"GÉNÉRAL"},
        {"no trimming", u"Home ", u"fr", u"en", u"Home "},
        {"unknown text", u"알 수 없는 문장", u"fr", u"en", u"알 수 없는 문장"},
        {"unknown text still expands the escape", u"x\\ny", u"fr", u"en", u"x\ry"},
        {"last group of the table", u"메모리를 정리하였습니다.", u"ar", u"en", u"تم تحسين الذاكرة"},
    };
    for (const Case& c : cases) Check(c);

    // A combo box item is in no group, whatever the language.
    for (const char16_t* language : {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr", u"ar", u"de"}) {
        Check({"combo item", u"30", language, u"en", u"30"});
    }
}

TEST_F(TranslationTest, FollowsTheLineFormatAndGroupRules) {
    SetTranslationTable({
        u"fr=un",  // the source line need not come first
        u"ko=하나",
        u"en=one",
        u"",
        u"ko=a\\nb",
        u"en=A\\nB",
        u"it=x=y",
        u"",
        u"ko=둘",
        u"EN=upper",
        u"en=lower",
        u"",
        u"ko=셋",
        u"en=three",
        u"",
        u"ko=셋",
        u"en=drei",
        u"",
        u"ko= spaced ",
        u"no separator",
        u"en=end",  // the table ends without an empty line
    });
    const Case cases[] = {
        {"code above the matched line", u"하나", u"fr", u"en", u"un"},
        {"first group of the table", u"one", u"ko", u"en", u"하나"},
        {"escape expanded to a lone CR", u"a\\nb", u"en", u"en", u"A\rB"},
        {"escape in the input matches", u"A\\NB", u"ko", u"en", u"a\rb"},
        {"CR in the input does not match", u"a\rb", u"en", u"en", u"a\rb"},
        {"text keeps later equals signs", u"x=y", u"en", u"en", u"A\rB"},
        {"exact code wins", u"둘", u"EN", u"en", u"upper"},
        {"other spellings fall back to en", u"둘", u"En", u"en", u"lower"},
        {"first matching group wins", u"셋", u"en", u"en", u"three"},
        {"spaces are part of the text", u" spaced ", u"en", u"en", u"end"},
        {"spaces are not trimmed", u"spaced", u"en", u"en", u"spaced"},
        {"line without equals sign matches nothing", u"no separator", u"en", u"en", u"no separator"},
    };
    for (const Case& c : cases) Check(c);
}

TEST_F(TranslationTest, EmptyTableGivesTheTextBack) {
    SetTranslationTable({});
    Check({"empty table", u"정리하기", u"en", u"en", u"정리하기"});
    Check({"empty table, escape", u"a\\nb\\\\n\\N", u"en", u"en", u"a\rb\\\r\\N"});
}

TEST_F(TranslationTest, ShippedFileParsesIntoItsGroups) {
    const std::vector<Text> lines = ParseTranslationResource(ReadShippedTable());
    ASSERT_EQ(lines.size(), 206u);
    EXPECT_EQ(lines.front(), u"ko=Tidewell");  // the byte-order mark is not part of it
    EXPECT_EQ(lines.back(), u"");
    EXPECT_EQ(lines[lines.size() - 2], u"ar=تم تحسين الذاكرة");

    const auto groups = Groups(lines);
    ASSERT_EQ(groups.size(), 23u);
    const std::vector<Text> allCodes = {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr", u"ar"};
    std::set<Text> seen;  // upper-cased texts of earlier groups
    for (size_t g = 0; g < groups.size(); ++g) {
        std::vector<Text> codes;
        std::set<Text> own;
        for (const Text& line : groups[g]) {
            const size_t eq = line.find(u'=');
            ASSERT_NE(eq, Text::npos) << TextToUtf8(line);
            codes.push_back(line.substr(0, eq));
            Text upper = line.substr(eq + 1);
            for (char16_t& c : upper) c = AsciiUpper(c);
            own.insert(upper);
        }
        std::vector<Text> expected = allCodes;
        if (g == 7) expected.erase(expected.begin() + 1);
        EXPECT_EQ(codes, expected) << "group " << g + 1;
        // Translating an already translated text relies on this.
        for (const Text& text : own) EXPECT_FALSE(seen.count(text)) << TextToUtf8(text) << " in two groups";
        seen.insert(own.begin(), own.end());
    }
}

TEST_F(TranslationTest, EveryShippedTextTranslatesToItselfInItsOwnLanguage) {
    UseShippedTable();
    for (const Text& line : TranslationTable()) {
        const size_t eq = line.find(u'=');
        if (eq == Text::npos) continue;
        const Text code = line.substr(0, eq), text = line.substr(eq + 1);
        EXPECT_EQ(TextToUtf8(Translate(text, code)), TextToUtf8(text)) << TextToUtf8(line);
    }
}

TEST(ParseTranslationResource, SplitsLinesAndSkipsOneByteOrderMark) {
    const struct {
        const char* what;
        std::string bytes;
        std::vector<Text> lines;
    } cases[] = {
        {"nothing", "", {}},
        {"no mark", "ko=a\r\nen=b\r\n", {u"ko=a", u"en=b"}},
        {"mark", "\xEF\xBB\xBFko=a\r\n", {u"ko=a"}},
        {"mark alone", "\xEF\xBB\xBF", {}},
        {"only the first mark", "\xEF\xBB\xBF\xEF\xBB\xBFx", {u"\uFEFFx"}},
        {"mark elsewhere is text", "a\r\n\xEF\xBB\xBF", {u"a", u"\uFEFF"}},
        {"last line without a break", "a\r\nb", {u"a", u"b"}},
        {"empty lines kept", "a\r\n\r\nb\r\n\r\n", {u"a", u"", u"b", u""}},
        {"one break, one empty line", "\r\n", {u""}},
        {"LF and CR break too", "a\nb\rc\r\nd", {u"a", u"b", u"c", u"d"}},
        {"LF CR is two breaks", "a\n\rb", {u"a", u"", u"b"}},
        {"CR CR LF", "a\r\r\nb", {u"a", u"", u"b"}},
        {"UTF-8 decoded", "ko=처음화면\r\nru=Главная", {u"ko=처음화면", u"ru=Главная"}},
        {"outside the BMP", "x=\xF0\x9F\x98\x80", {u"x=\U0001F600"}},
        {"a real U+FFFD is valid text", "x=\xEF\xBF\xBD", {u"x=\uFFFD"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseTranslationResource(c.bytes), c.lines) << c.what;
    }
}

TEST(ParseTranslationResource, InvalidUtf8GivesAnEmptyTable) {
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"stray continuation byte", "ko=\x80\r\nen=b\r\n"},
        {"byte never valid", "\xEF\xBB\xBFko=a\r\nen=\xFF\r\n"},
        {"truncated sequence at the end", "ko=\xED\x95"},
        {"truncated sequence before a break", "ko=\xED\x95\r\nen=b"},
        {"overlong encoding", "ko=\xC0\xAF"},
        {"encoded surrogate", "ko=\xED\xA0\x80"},
        {"beyond U+10FFFF", "ko=\xF4\x90\x80\x80"},
        {"broken mark", "\xEF\xBBko=a"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(ParseTranslationResource(c.bytes).empty()) << c.what;
    }
}

}  // namespace
}  // namespace tidewell
