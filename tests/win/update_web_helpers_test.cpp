// The client identifier in the registry, the version text and the way to the
// desktop's shell, under Wine. HKEY_CURRENT_USER is redirected to a scratch
// key for each registry test, so the prefix's own values are never touched.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "build_config.h"
#include "update/desktop_shell_win.h"
#include "update/version_text_win.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

constexpr wchar_t kScratch[] = L"Software\\TidewellTests\\ClientId";

class ClientIdTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, scratch_.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, scratch_.get()), ERROR_SUCCESS);
    }
    void TearDown() override {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        scratch_.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }

    // Inside the scratch key, which stands in for HKEY_CURRENT_USER.
    [[nodiscard]] bool VarnokKeyExists() {
        HKEY key = nullptr;
        const bool exists = ::RegOpenKeyExW(scratch_.get(), L"Software\\Varnok", 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) ::RegCloseKey(key);
        return exists;
    }
    void SetValue(DWORD type, const void* data, DWORD bytes) {
        UniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExW(scratch_.get(), L"Software\\Varnok", 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), L"VUID", 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    }
    void SetText(const std::wstring& text) {
        SetValue(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    // The stored value's type and text, read without the code under test.
    std::pair<DWORD, std::wstring> Stored() {
        wchar_t buffer[1024] = {};
        DWORD type = 0, bytes = sizeof buffer - sizeof(wchar_t);
        if (::RegGetValueW(scratch_.get(), L"Software\\Varnok", L"VUID", RRF_RT_ANY, &type, buffer, &bytes) !=
            ERROR_SUCCESS) {
            return {REG_NONE, L""};
        }
        return {type, type == REG_SZ ? std::wstring(buffer) : std::wstring()};
    }

    UniqueRegKey scratch_;
};

std::string Yymmdd(const SYSTEMTIME& t) {
    char s[8];
    std::snprintf(s, sizeof s, "%02u%02u%02u", t.wYear % 100u, t.wMonth, t.wDay);
    return s;
}

TEST_F(ClientIdTest, FirstCallCreatesKeyAndIdentifierLaterCallsKeepIt) {
    ASSERT_FALSE(VarnokKeyExists());
    SYSTEMTIME before, after;
    ::GetLocalTime(&before);
    const Text id = ReadClientId();
    ::GetLocalTime(&after);

    const std::string narrow = TextToUtf8(id);
    ASSERT_EQ(narrow.size(), 32u) << narrow;
    EXPECT_TRUE(std::regex_match(narrow, std::regex("[0-7][0-9A-F]{7}[0-9]{6}[0-9A-F]{4}[0-9]{6}[0-7][0-9A-F]{7}")))
        << narrow;
    const std::string date = narrow.substr(8, 6);
    EXPECT_TRUE(date == Yymmdd(before) || date == Yymmdd(after)) << narrow;
    EXPECT_TRUE(VarnokKeyExists());
    EXPECT_EQ(Stored(), (std::pair<DWORD, std::wstring>{REG_SZ, ToWide(id)}));

    EXPECT_EQ(ReadClientId(), id);
    EXPECT_EQ(ReadClientId(), id);
}

TEST_F(ClientIdTest, StoredStringsComeBackUnchanged) {
    for (const std::wstring& stored : {std::wstring(L"set by hand"), std::wstring(L""), std::wstring(300, L'x'),
                                       std::wstring(L"\u00E9\uC815 \U0001F600")}) {
        SetText(stored);
        EXPECT_EQ(ReadClientId(), FromWide(stored)) << stored.size();
        EXPECT_EQ(Stored().second, stored) << "never replaced";
    }
}

TEST_F(ClientIdTest, ValueOfAnotherTypeGivesEmptyAndStays) {
    const DWORD number = 42;
    SetValue(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(ReadClientId(), u"");
    EXPECT_EQ(Stored().first, static_cast<DWORD>(REG_DWORD));

    const BYTE bytes[] = {'A', 0, 'B', 0, 0, 0};
    SetValue(REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(ReadClientId(), u"");
    EXPECT_EQ(Stored().first, static_cast<DWORD>(REG_BINARY));
}

TEST(VersionText, FillsThePatternFromTheOwnVersionResource) {
    const std::string three = std::to_string(TIDEWELL_VERSION_MAJOR) + "." + std::to_string(TIDEWELL_VERSION_MINOR) +
                              "." + std::to_string(TIDEWELL_VERSION_PATCH);
    EXPECT_EQ(TextToUtf8(VersionText(u"%d.%d.%d")), three);
    EXPECT_EQ(TextToUtf8(VersionText(u"%d.%d.%d.%d")), three + "." + std::to_string(TIDEWELL_VERSION_TWEAK));
}

// The parts come from the fixed file information in their order; a system
// file with four different parts shows it, checked against its own version string.
TEST(VersionText, PartsOfAnotherFileInTheirOrder) {
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring path = std::wstring(system) + L"\\kernel32.dll";
    const Text text = FileVersionText(path, u"%d.%d.%d.%d");
    ASSERT_NE(text, u"0.0.0.0");

    DWORD ignored = 0;
    std::vector<BYTE> data(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        ::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    wchar_t block[64];
    std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language, translation->codePage);
    wchar_t* version = nullptr;
    ASSERT_TRUE(::VerQueryValueW(data.data(), block, reinterpret_cast<void**>(&version), &length));
    const std::string stated = TextToUtf8(FromWide(version));
    EXPECT_EQ(stated.rfind(TextToUtf8(text), 0), 0u) << "fixed info " << TextToUtf8(text) << ", string " << stated;

    EXPECT_EQ(FileVersionText(L"C:\\does\\not\\exist.exe", u"%d.%d.%d"), u"0.0.0.0");
}

TEST(DesktopShell, IsReachedThroughTheShellWindows) {
    const ComApartment com;
    ASSERT_TRUE(com.ok());
    const DesktopShell shell = FindDesktopShell();
    if (!shell.dispatch) GTEST_SKIP() << "Wine gives no desktop shell dispatch; it stops at " << shell.failedStep;
    EXPECT_EQ(shell.failedStep, nullptr);
}

}  // namespace
}  // namespace tidewell
