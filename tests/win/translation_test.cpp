// The translation table as the executable carries it, and the user's language
// as Wine's locale gives it.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/unit/translation_state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "i18n/translation.h"
#include "i18n/translation_win.h"

namespace tidewell {
namespace {

std::string U8(const Text& t) { return TextToUtf8(t); }

class TranslationTableState : public ::testing::Test {
private:
    testing::ScopedTranslationState saved_;
};

using LoadTranslationTableTest = TranslationTableState;

TEST_F(LoadTranslationTableTest, ReadsTheResourceOfTheExecutable) {
    SetTranslationTable({u"ko=남은 줄", u"en=left over"});
    SetCurrentLanguage(u"xx");

    LoadTranslationTable();

    const std::vector<Text>& table = TranslationTable();
    ASSERT_EQ(table.size(), 206u);
    EXPECT_EQ(table.front(), u"ko=Tidewell");
    EXPECT_EQ(table.back(), u"");
    EXPECT_EQ(U8(table[9]), "ko=처음화면");
    size_t separators = 0;
    for (size_t i = 0; i + 1 < table.size(); ++i) separators += table[i].empty();
    EXPECT_EQ(separators, 22u);

    EXPECT_EQ(CurrentLanguage(), GetUserLanguage().substr(0, 2));
    EXPECT_EQ(U8(Translate(u"종료", u"ja")), "終了");
    EXPECT_EQ(U8(Translate(u"HOME", u"fr")), "Accueil");
    EXPECT_EQ(U8(Translate(u"워킹 셋", u"en")), "워킹 셋");
    EXPECT_EQ(U8(Translate(u"남은 줄", u"en")), "남은 줄") << "the earlier table is gone";
}

TEST(FindTranslationResource, NameMatchesWithoutRegardToCase) {
    for (const wchar_t* name : {L"translate", L"TRANSLATE", L"Translate"}) {
        EXPECT_NE(FindResourceW(GetModuleHandleW(nullptr), name, RT_RCDATA), nullptr) << U8(FromWide(name));
    }
}

// The locale calls played by a fake: Wine always answers them, so the paths
// that fall back to English can be reached only this way.
TEST(GetUserLanguage, AsksTwiceAndFallsBackToEnglish) {
    struct Call {
        LCID locale;
        LCTYPE type;
        bool withBuffer;
        int size;
    };
    const struct {
        const char* what;
        int firstAnswer;
        int secondAnswer;
        std::wstring written;  // what the second call puts in the buffer
        Text expected;
        size_t calls;
    } cases[] = {
        {"two letters", 3, 3, std::wstring(L"ko\0", 3), u"ko", 2},
        {"three letters", 4, 4, std::wstring(L"haw\0", 4), u"haw", 2},
        {"first call fails", 0, 3, std::wstring(L"ko\0", 3), u"en", 1},
        {"first call answers below zero", -1, 3, std::wstring(L"ko\0", 3), u"en", 1},
        {"second call fails", 3, 0, std::wstring(L"ko\0", 3), u"en", 2},
        {"text ends at the first null", 6, 6, std::wstring(L"ja\0xy\0", 6), u"ja", 2},
        {"answer without a null stays inside the buffer", 2, 2, L"de", u"de", 2},
    };
    constexpr LCID kLocale = 0x0412;
    for (const auto& c : cases) {
        std::vector<Call> calls;
        LocaleCalls fake;
        fake.getUserDefaultLcid = [] { return kLocale; };
        fake.getLocaleInfo = [&](LCID locale, LCTYPE type, wchar_t* buffer, int size) {
            calls.push_back({locale, type, buffer != nullptr, size});
            if (calls.size() == 1) return c.firstAnswer;
            if (buffer && size >= static_cast<int>(c.written.size())) {
                std::copy(c.written.begin(), c.written.end(), buffer);
            }
            return c.secondAnswer;
        };

        EXPECT_EQ(U8(GetUserLanguage(fake)), U8(c.expected)) << c.what;
        ASSERT_EQ(calls.size(), c.calls) << c.what;
        for (const Call& call : calls) {
            EXPECT_EQ(call.locale, kLocale) << c.what;
            EXPECT_EQ(call.type, static_cast<LCTYPE>(0x59)) << c.what;
        }
        EXPECT_FALSE(calls[0].withBuffer) << c.what;
        EXPECT_EQ(calls[0].size, 0) << c.what;
        if (calls.size() > 1) {
            EXPECT_TRUE(calls[1].withBuffer) << c.what;
            EXPECT_EQ(calls[1].size, c.firstAnswer) << c.what;
        }
    }
}

// Wine takes the user locale from LC_ALL (or LANG) when a process is started
// from the Unix side; a process that a Windows process starts inherits its
// parent's locale whatever its environment says. So each locale gets a process
// of its own started through the Unix shell: this executable again, running
// only the child test below, which writes what it found to a file.
constexpr wchar_t kResultVariable[] = L"TIDEWELL_LANGUAGE_RESULT";
constexpr wchar_t kDoneEventVariable[] = L"TIDEWELL_LANGUAGE_DONE";

TEST(UserLanguageChild, DISABLED_WritesWhatTheLocaleGives) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(kResultVariable, path, MAX_PATH);
    ASSERT_GT(n, 0u) << "started without " << U8(FromWide(kResultVariable));
    ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
    LoadTranslationTable();
    const std::string report =
        U8(GetUserLanguage()) + "\n" + U8(CurrentLanguage()) + "\n" + U8(Translate(u"종료")) + "\n";
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << report;
    out.close();
    ASSERT_TRUE(out.good());

    wchar_t eventName[MAX_PATH];
    const DWORD m = GetEnvironmentVariableW(kDoneEventVariable, eventName, MAX_PATH);
    ASSERT_TRUE(m > 0 && m < MAX_PATH);
    const UniqueHandle<KernelHandleTraits> done(OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName));
    ASSERT_TRUE(done) << GetLastError();
    EXPECT_TRUE(SetEvent(done.get()));
}

// The parent's environment with LANG and LC_ALL replaced, as a block for CreateProcessW.
std::wstring EnvironmentWith(const std::wstring& lang, const std::wstring& resultPath, const std::wstring& eventName) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
        const std::wstring entry = p;
        const std::wstring upper = [&] {
            std::wstring u = entry.substr(0, entry.find(L'='));
            for (wchar_t& ch : u) ch = static_cast<wchar_t>(AsciiUpper(static_cast<char16_t>(ch)));
            return u;
        }();
        if (upper == L"LANG" || upper == L"LC_ALL" || upper == L"LC_MESSAGES" || upper == kResultVariable ||
            upper == kDoneEventVariable) {
            continue;
        }
        block += entry;
        block.push_back(L'\0');
    }
    FreeEnvironmentStringsW(strings);
    for (const std::wstring& entry :
         {L"LANG=" + lang, L"LC_ALL=" + lang, std::wstring(kResultVariable) + L"=" + resultPath,
          std::wstring(kDoneEventVariable) + L"=" + eventName}) {
        block += entry;
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

struct ChildReport {
    bool started = false;
    bool done = false;
    std::vector<std::string> lines;
};

constexpr wchar_t kUnixShell[] = L"Z:\\bin\\sh";

[[nodiscard]] bool CanStartUnixProcesses() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") &&
           GetFileAttributesW(kUnixShell) != INVALID_FILE_ATTRIBUTES;
}

ChildReport RunChildWithLocale(const std::wstring& lang) {
    ChildReport report;
    wchar_t exe[MAX_PATH];
    if (GetModuleFileNameW(nullptr, exe, MAX_PATH) == 0) return report;
    wchar_t dir[MAX_PATH];
    wchar_t resultPath[MAX_PATH];
    if (GetTempPathW(MAX_PATH, dir) == 0 || GetTempFileNameW(dir, L"twl", 0, resultPath) == 0) return report;

    // sh -c 'exec wine "$0" ...' EXE: the executable's path travels as an
    // argument of its own, so no quoting of it inside the script is needed.
    std::wstring command = std::wstring(L"sh -c \"exec wine \\\"$0\\\" --gtest_also_run_disabled_tests"
                                        L" --gtest_filter=UserLanguageChild.DISABLED_WritesWhatTheLocaleGives"
                                        L" --gtest_color=no\" \"") +
                           exe + L"\"";
    // The handle of a Unix process says nothing about its end, so the child
    // signals an event once its report is written.
    static int serial = 0;
    const std::wstring eventName =
        L"TidewellLanguageDone." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(++serial);
    const UniqueHandle<KernelHandleTraits> done(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!done) return report;
    std::wstring environment = EnvironmentWith(lang, resultPath, eventName);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(kUnixShell, command.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                       environment.data(), nullptr, &startup, &info)) {
        const UniqueHandle<KernelHandleTraits> process(info.hProcess), thread(info.hThread);
        report.started = true;
        report.done = WaitForSingleObject(done.get(), 120000) == WAIT_OBJECT_0;
    }
    std::ifstream in(std::filesystem::path(resultPath), std::ios::binary);
    for (std::string line; std::getline(in, line);) report.lines.push_back(line);
    in.close();
    DeleteFileW(resultPath);
    return report;
}

TEST(UserLanguage, FollowsTheLocaleOfTheProcess) {
    const struct {
        std::wstring lang;
        std::string userLanguage, current, quit;
    } cases[] = {
        {L"ko_KR.UTF-8", "ko", "ko", "종료"},
        {L"ja_JP.UTF-8", "ja", "ja", "終了"},
        {L"ru_RU.UTF-8", "ru", "ru", "Выйти"},
        // A three-letter name is cut to two letters, which have no lines: English.
        {L"haw_US.UTF-8", "haw", "ha", "Quit"},
        {L"de_DE.UTF-8", "de", "de", "Quit"},
    };
    if (!CanStartUnixProcesses()) {
        GTEST_SKIP() << "needs Wine and its Unix shell to start a process with another locale";
    }
    for (const auto& c : cases) {
        const std::string lang = U8(FromWide(c.lang));
        const ChildReport report = RunChildWithLocale(c.lang);
        ASSERT_TRUE(report.started) << lang << ": the child process could not be started";
        ASSERT_TRUE(report.done) << lang << ": the child process did not finish its report";
        ASSERT_EQ(report.lines.size(), 3u) << lang << ": no report from the child";
        EXPECT_EQ(report.lines[0], c.userLanguage) << lang;
        EXPECT_EQ(report.lines[1], c.current) << lang;
        EXPECT_EQ(report.lines[2], c.quit) << lang;
    }
}

}  // namespace
}  // namespace tidewell
