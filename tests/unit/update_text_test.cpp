// The platform-free rules of the update service: reading the answer, the
// client identifier's layout, the version pattern, which addresses may be
// opened, the request headers and the dialog's fixed texts.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <vector>

#include "i18n/translation.h"
#include "update/answer_text.h"
#include "update/client_id.h"
#include "update/service_contract.h"
#include "update/update_prompt.h"
#include "update/version_format.h"
#include "update/web_address.h"

namespace tidewell {
namespace {

std::string Show(TextView text) { return TextToUtf8(text); }

TEST(ExtractBetween, CutsTheValueAfterTheFirstStartTag) {
    struct Case {
        const char* name;
        Text source, start, end, expected;
    } cases[] = {
        {"plain", u"{\"update\":\"https://x/y\"}", u"\"update\":\"", u"\"", u"https://x/y"},
        {"key in other case, value keeps its case", u"{\"UpDate\":\"HTTPS://X/Y\"}", u"\"update\":\"", u"\"",
         u"HTTPS://X/Y"},
        {"tag in other case", u"{\"update\":\"abc\"}", u"\"UPDATE\":\"", u"\"", u"abc"},
        {"blank after the colon", u"{\"update\": \"https://x\"}", u"\"update\":\"", u"\"", u""},
        {"blank before the colon", u"{\"update\" :\"https://x\"}", u"\"update\":\"", u"\"", u""},
        {"start tag missing", u"{\"other\":\"x\"}", u"\"update\":\"", u"\"", u""},
        {"end tag missing", u"{\"update\":\"never closed", u"\"update\":\"", u"\"", u""},
        {"empty value", u"{\"update\":\"\"}", u"\"update\":\"", u"\"", u""},
        {"first occurrence wins", u"\"update\":\"a\",\"update\":\"b\"", u"\"update\":\"", u"\"", u"a"},
        {"escaped quote stays with its backslash", u"{\"text\":\"say \\\"hi\\\" now\"}", u"\"text\":\"", u"\"",
         u"say \\\"hi\\\" now"},
        // The second backslash and the quote look like an escaped quote, so
        // the value runs on to the next quote of the source.
        {"escaped backslash before the closing quote", u"{\"a\":\"x\\\\\",\"b\":\"y\"}", u"\"a\":\"", u"\"",
         u"x\\\\\","},
        {"single-quote end tag honours escapes too", u"x='it\\'s' rest'", u"x='", u"'", u"it\\'s"},
        {"brace end tag ignores backslashes", u"\"info\":{a\\}b}", u"\"info\":{", u"}", u"a\\"},
        {"non-ASCII letters are not folded", u"{\"\u00DC\":\"1\"}", u"\"\u00FC\":\"", u"\"", u""},
        {"positions survive non-ASCII text before the value", u"\u00E9\u00E9\uC815\"Text\":\"\u00C9t\u00E9\"",
         u"\"text\":\"", u"\"", u"\u00C9t\u00E9"},
        {"surrogate pairs pass through", u"\"k\":\"\xD83D\xDE00\"", u"\"k\":\"", u"\"", u"\xD83D\xDE00"},
        {"end tag searched after the start tag only", u"\"x\"k:\"v", u"k:\"", u"\"", u""},
        {"empty source", u"", u"\"update\":\"", u"\"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractBetween(c.source, c.start, c.end), c.expected)
            << c.name << ": got \"" << Show(ExtractBetween(c.source, c.start, c.end)) << "\"";
    }
}

TEST(ExtractBetween, InfoSectionEndsAtTheFirstClosingBrace) {
    const Text answer = u"{\"update\":\"u\",\"Info\":{\"style\":\"hold\",\"text\":\"T\"},\"url\":\"outside\"}";
    const Text info = ExtractBetween(answer, answer_tags::kInfo, answer_tags::kInfoEnd);
    EXPECT_EQ(info, u"\"style\":\"hold\",\"text\":\"T\"");
    const NoticeFields notice = AnswerNotice(answer);
    EXPECT_EQ(notice.style, u"hold");
    EXPECT_EQ(notice.text, u"T");
    EXPECT_EQ(notice.url, u"") << "a url after the info section is not part of the notice";
    EXPECT_EQ(notice.flag, u"");
}

TEST(AnswerValues, AreDecodedAfterTheyAreCut) {
    const Text answer =
        u"{\"info\":{\"text\":\"Don\\u0027t \\\"ask\\\"\",\"url\":\"https:\\/\\/n.example\\/a\",\"flag\":\"x "
        u"stayontop\"},\"update\":\"https:\\/\\/dl.example\\/t.exe\"}";
    EXPECT_EQ(AnswerUpdateAddress(answer), u"https://dl.example/t.exe");
    const NoticeFields notice = AnswerNotice(answer);
    EXPECT_EQ(notice.text, u"Don't \"ask\"");
    EXPECT_EQ(notice.url, u"https://n.example/a");
    EXPECT_EQ(notice.flag, u"x stayontop");
    EXPECT_THROW((void)AnswerUpdateAddress(u"{\"update\":\"\\uZZZZ\"}"), ConversionError);
    EXPECT_THROW((void)AnswerNotice(u"{\"info\":{\"url\":\"\\u12G4\"}}"), ConversionError);
}

TEST(JsonUnescape, ReplacesEveryEscapeOfTheTable) {
    struct Case {
        Text input, expected;
    } cases[] = {
        {u"plain text \u00E9", u"plain text \u00E9"},
        {u"\\\"", u"\""},
        {u"\\'", u"'"},
        {u"\\/", u"/"},
        {u"\\\\", u"\\"},
        {u"\\b", u"\b"},
        {u"\\f", u"\f"},
        {u"\\n", u"\n"},
        {u"\\r", u"\r"},
        {u"\\t", u"\t"},
        {u"\\u00e9", u"\u00E9"},
        {u"\\u00C9", u"\u00C9"},
        {u"\\uFFFF", u"\uFFFF"},
        {u"\\u0000", Text(1, u'\0')},
        {u"\\ud83d\\ude00", u"\xD83D\xDE00"},      // a surrogate pair, as two code units
        {u"\\ud83d", u"\xD83D"},                    // a lone half stays a lone half
        {u"\\q", u""},                              // an unknown escape vanishes whole
        {u"a\\xb", u"ab"},
        {u"abc\\", u"abc"},                         // a trailing backslash vanishes
        {u"\\\\\\", u"\\"},
        {u"\\u12345", u"\u1234" u"5"},              // only four digits belong to the escape
        {u"x\\u41", u"xA"},                         // fewer than four left: they are the number
        {u"x\\u4", u"x\u0004"},
        {u"https:\\/\\/dl.example\\/a b", u"https://dl.example/a b"},
        {u"\\\\u0041", u"\\u0041"},                 // an escaped backslash does not start a \u
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonUnescape(c.input), c.expected)
            << "input \"" << Show(c.input) << "\" gave \"" << Show(JsonUnescape(c.input)) << "\"";
    }
}

TEST(JsonUnescape, RejectsUEscapesThatAreNotHexadecimal) {
    for (const Text input :
         {u"\\uZZZZ", u"\\u00g1", u"\\u12 x", u"\\u-001", u"\\u+1ab", u"ok \\u", u"\\uD83D\\uDEZ0"}) {
        EXPECT_THROW((void)JsonUnescape(input), ConversionError) << Show(input);
    }
}

TEST(MakeClientId, LaysOutThreeDrawsAndTwoClockReadings) {
    std::vector<uint32_t> asked;
    std::vector<uint32_t> answers = {0x7FFFFFFE, 0xFFFE, 0x0000ABC};
    const RandomDraw draw = [&](uint32_t max) {
        asked.push_back(max);
        return answers[asked.size() - 1];
    };
    // The clock ticks past midnight between the two readings: the date is the
    // first reading's, the time the second's.
    std::vector<CivilTime> readings = {{2009, 3, 7, 23, 59, 59, 999}, {2009, 3, 8, 0, 0, 1, 5}};
    size_t read = 0;
    const LocalClock now = [&] { return readings.at(read++); };

    EXPECT_EQ(MakeClientId(draw, now), u"7FFFFFFE" u"090307" u"FFFE" u"000001" u"00000ABC");
    EXPECT_EQ(asked, (std::vector<uint32_t>{2147483646u, 65534u, 2147483646u}));
    EXPECT_EQ(read, 2u);
}

TEST(MakeClientId, ProcessGeneratorStaysInsideTheLayout) {
    ClientIdRandom random(0x5EED);
    const std::regex layout("[0-7][0-9A-F]{7}[0-9]{6}[0-9A-F]{4}[0-9]{6}[0-7][0-9A-F]{7}");
    const LocalClock now = [] { return CivilTime{2024, 12, 31, 9, 5, 0, 0}; };
    std::set<Text> seen;
    for (int i = 0; i < 500; ++i) {
        const Text id = MakeClientId([&](uint32_t max) { return random.Draw(max); }, now);
        ASSERT_EQ(id.size(), kClientIdLength);
        ASSERT_TRUE(std::regex_match(TextToUtf8(id), layout)) << Show(id);
        EXPECT_EQ(id.substr(8, 6), u"241231");
        EXPECT_EQ(id.substr(18, 6), u"090500");
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 500u) << "identifiers drawn from one generator repeat";

    // The small range is reached at both ends, never passed.
    bool sawZero = false, sawMax = false;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t v = random.Draw(3);
        ASSERT_LE(v, 3u);
        sawZero |= v == 0;
        sawMax |= v == 3;
    }
    EXPECT_TRUE(sawZero && sawMax);
}

TEST(FormatVersion, FillsDecimalPlaceholdersInOrder) {
    const VersionParts v{1, 8, 7, 0};
    struct Case {
        Text pattern, expected;
    } cases[] = {
        {u"%d.%d.%d.%d", u"1.8.7.0"},
        {u"%d.%d.%d", u"1.8.7"},
        {u"v%d", u"v1"},
        {u"%u-%i", u"1-8"},
        {u"%02d.%03d", u"01.008"},
        {u"100%% %d", u"100% 1"},
        {u"%d.%d.%d.%d.%d", u"1.8.7.0.%d"},  // no fifth part to fill
        {u"%s %x %d", u"%s %x 1"},           // only decimal placeholders are filled
        {u"%999999d", u"%999999d"},          // no unbounded padding
        {u"%", u"%"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatVersion(c.pattern, v), c.expected) << Show(c.pattern);
    }
    EXPECT_EQ(FormatVersion(u"%d.%d.%d.%d", {65535, 0, 65535, 12}), u"65535.0.65535.12");
}

TEST(IsWebAddress, AcceptsOnlyAbsoluteHttpAndHttps) {
    struct Case {
        Text address;
        bool web;
    } cases[] = {
        {u"https://dl.example.com/tidewell.exe", true},
        {u"http://dl.example.com", true},
        {u"HTTPS://DL.EXAMPLE.COM/A?b=c#d", true},
        {u"https://user@dl.example.com:8443/x", true},
        {u"http://127.0.0.1:8080/", true},
        {u"https://[::1]/x", true},
        {u"https://b\u00FCcher.example/\u00E9", true},
        {u"", false},
        {u"https://", false},
        {u"https:///path", false},
        {u"http://:80/x", false},
        {u"http://user@/x", false},
        {u"https:dl.example.com", false},
        {u"https:/dl.example.com", false},
        {u" https://dl.example.com", false},
        {u"https://dl.example.com/a b", false},
        {u"https://dl.example.com/\r\nx", false},
        {u"https://dl.example.com\\..\\x.exe", false},
        {u"https://dl.example.com/\"x\"", false},
        {u"ftp://dl.example.com/x", false},
        {u"file:///C:/Windows/System32/cmd.exe", false},
        {u"C:\\Windows\\System32\\cmd.exe", false},
        {u"\\\\server\\share\\setup.exe", false},
        {u"javascript:alert(1)", false},
        {u"ms-settings:", false},
        {u"httpx://dl.example.com", false},
        {u"calc.exe", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWebAddress(c.address), c.web) << Show(c.address);
    }
}

TEST(ServiceContract, HeadersInTheirOrder) {
    EXPECT_EQ(CheckRequestHeaders(u"1.2.3.4", u"de", u"ID"),
              (HeaderList{{u"User-Version", u"1.2.3.4"},
                          {u"User-Language", u"de"},
                          {u"User-Debug", u"false"},
                          {u"User-Union", u"ID"}}));
    EXPECT_EQ(CheckRequestHeaders(u"0.0.0.0", u"", u"").back(), (std::pair<Text, Text>{u"User-Union", u""}));
    EXPECT_EQ(HoldRequestHeaders(u"1.2.3.4"), (HeaderList{{u"User-Version", u"1.2.3.4"}, {u"User-Command", u"hold"}}));
}

TEST(UpdatePromptText, FixedTextsPerLanguage) {
    struct Case {
        Text code, p1, p2, p3, yes, no;
    } cases[] = {
        {u"ko", T("업데이트가 정보가 있습니다."), T("안정적으로 사용하기 위해 업데이트를 하시길 권장합니다."),
         T("다운로드 받으시겠습니까?"), T("예"), T("아니오")},
        {u"ja", T("このプログラムがアップデートされました。"),
         T("安定的に使用するために新しくダウンロード\xC2\xB7実行することをお勧めします。"), T("ダウンロードしますか。"),
         T("はい"), T("いいえ")},
        {u"zh", T("该程序已更新。"), T("建议下载并执行新程序以稳定使用。"), T("您要下载吗\xEF\xBC\x9F"), T("是"), T("否")},
        {u"de", u"Dieses Programm ist aktualisiert worden.",
         T("Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu verwenden."),
         T("Möchten Sie es herunterladen?"), u"Ja", u"Nein"},
        {u"ru", T("Данная программа была обновлена."),
         T("Рекомендуется скачать и выполнить новое для стабильного использования."), T("Вы хотите загрузить ее?"),
         T("Да"), T("Нет")},
        {u"it", T("È disponibile una nuova versione del programma."),
         u"Ti suggeriamo di scaricare ed aggiornare il programma.", u"Vuoi scaricare la nuova versione del programma?",
         T("Sì"), u"No"},
        {u"fr", u"Ce programme a \u00E9t\u00E9 mis \u00E0 jour.",
         T("Il est recommandé de télécharger et d'exécuter la nouvelle version pour une utilisation stable."),
         T("Voulez-vous le télécharger?"), u"Oui", u"Non"},
        {u"en", u"This program has been updated.", u"It is recommended to download and execute new for stable use.",
         u"Do you want to download it?", u"Yes", u"No"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdatePromptText(PromptKind::Question, c.code), c.p1 + u"\r\r" + c.p2 + u"\r\r" + c.p3)
            << Show(c.code);
        EXPECT_EQ(UpdatePromptText(PromptKind::Yes, c.code), c.yes) << Show(c.code);
        EXPECT_EQ(UpdatePromptText(PromptKind::No, c.code), c.no) << Show(c.code);
    }
    // The Japanese verbs are joined by U+00B7 and the Chinese question ends with U+FF1F.
    EXPECT_NE(UpdatePromptText(PromptKind::Question, u"ja").find(u'\u00B7'), Text::npos);
    EXPECT_EQ(UpdatePromptText(PromptKind::Question, u"zh").back(), u'\uFF1F');
    EXPECT_EQ(UpdatePromptText(PromptKind::Question, u"de").find(u'\n'), Text::npos) << "breaks are bare CRs";
}

TEST(UpdatePromptText, CodesOutsideTheTableGiveEnglish) {
    for (const Text code : {u"ar", u"", u"KO", u"kor", u"k", u"ha", u"zh-TW"}) {
        EXPECT_EQ(UpdatePromptText(PromptKind::Yes, code), u"Yes") << Show(code);
        EXPECT_EQ(UpdatePromptText(PromptKind::No, code), u"No") << Show(code);
        EXPECT_EQ(UpdatePromptText(PromptKind::Question, code).substr(0, 30), u"This program has been updated.");
    }
}

TEST(UpdatePromptText, FollowsTheCurrentLanguage) {
    const Text saved = CurrentLanguage();
    SetCurrentLanguage(u"de");
    EXPECT_EQ(UpdatePromptText(PromptKind::No), u"Nein");
    SetCurrentLanguage(u"ar");
    EXPECT_EQ(UpdatePromptText(PromptKind::Yes), u"Yes");
    SetCurrentLanguage(saved);
}

}  // namespace
}  // namespace tidewell
