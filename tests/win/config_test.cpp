// TConfig against Wine's registry, and the options load through it.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/frm_tidewell.h"
#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "settings/config_win.h"
#include "tests/unit/fake_host.h"

namespace tidewell {
namespace {

constexpr wchar_t kScratchRoot[] = L"Software\\TidewellTest";
const Text kScratchPath = u"TidewellTest\\Config";  // below Software, as TConfig takes it
constexpr wchar_t kScratchKey[] = L"Software\\TidewellTest\\Config";

struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
    bool operator==(const RawValue&) const = default;
};

void PrintTo(const RawValue& v, std::ostream* os) {
    *os << "type " << v.type << ", " << v.bytes.size() << " bytes:";
    for (unsigned char b : v.bytes) *os << ' ' << static_cast<int>(b);
}

std::string Bytes(const void* data, size_t size) { return std::string(static_cast<const char*>(data), size); }
std::string DwordBytes(uint32_t v) { return Bytes(&v, sizeof v); }
std::string WideBytes(const wchar_t* s, size_t units) { return Bytes(s, units * sizeof(wchar_t)); }

bool KeyExists(const wchar_t* path) {
    UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void SetRaw(const wchar_t* keyPath, const Text& name, const RawValue& value) {
    UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    const auto* data = reinterpret_cast<const BYTE*>(value.bytes.data());
    ASSERT_EQ(::RegSetValueExW(key.get(), WidePtr(name), 0, value.type, data, static_cast<DWORD>(value.bytes.size())),
              ERROR_SUCCESS);
}

std::optional<RawValue> GetRaw(const wchar_t* keyPath, const Text& name) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    RawValue value;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), WidePtr(name), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    if (::RegQueryValueExW(key.get(), WidePtr(name), nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()),
                           &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    return value;
}

DWORD ValueCount(const wchar_t* keyPath) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    DWORD subkeys = 0;
    ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr);
    return values + subkeys;
}

// The message of the store error a read raises, or "" when it raised none.
template <typename Read>
std::string ErrorOf(Read read) {
    try {
        (void)read();
    } catch (const ConfigError& e) {
        return TextToUtf8(e.Message());
    }
    return "";
}

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot); }
};

TEST_F(RegistryStore, FirstRunCreatesTheKeyEmptyAndEveryReadGivesItsDefault) {
    ASSERT_FALSE(KeyExists(kScratchKey));
    TConfig config(kScratchPath);
    EXPECT_TRUE(config.KeyIsOpen());
    EXPECT_TRUE(KeyExists(kScratchKey));
    EXPECT_EQ(ValueCount(kScratchKey), 0u);
    EXPECT_TRUE(config.ReadBoolean(u"enabled_minute", true));
    EXPECT_FALSE(config.ReadBoolean(u"enabled_minute", false));
    EXPECT_EQ(config.ReadInteger(u"limit_minute", 3), 3);
    EXPECT_EQ(config.ReadString(u"name", u"fallback"), u"fallback");
    EXPECT_EQ(ValueCount(kScratchKey), 0u) << "a read of a missing value writes nothing back";
}

TEST_F(RegistryStore, NumberReadsAcceptOnlyAFourByteDword) {
    const struct {
        const char* label;
        RawValue stored;
        bool boolean;
        int32_t integer;
        const char* error;  // the store's error text for this value, "" for none
    } cases[] = {
        {"DWORD 2", {REG_DWORD, DwordBytes(2)}, true, 2, ""},
        {"DWORD 1", {REG_DWORD, DwordBytes(1)}, true, 1, ""},
        {"DWORD 0", {REG_DWORD, DwordBytes(0)}, false, 0, ""},
        {"DWORD -5", {REG_DWORD, DwordBytes(static_cast<uint32_t>(-5))}, true, -5, ""},
        {"text \"1\"", {REG_SZ, WideBytes(L"1", 2)}, false, 0, "Invalid data type for 'value'"},
        {"four binary bytes", {REG_BINARY, DwordBytes(1)}, false, 0, "Invalid data type for 'value'"},
        {"big-endian DWORD", {REG_DWORD_BIG_ENDIAN, DwordBytes(1)}, false, 0, "Invalid data type for 'value'"},
        {"two-byte DWORD", {REG_DWORD, Bytes("\x01\x00", 2)}, false, 0, "Invalid data type for 'value'"},
        {"eight binary bytes", {REG_BINARY, Bytes("\x01\0\0\0\0\0\0\0", 8)}, false, 0,
         "Failed to get data for 'value'"},
        {"QWORD 1", {REG_QWORD, Bytes("\x01\0\0\0\0\0\0\0", 8)}, false, 0, "Failed to get data for 'value'"},
    };
    for (const auto& c : cases) {
        SetRaw(kScratchKey, u"value", c.stored);
        TConfig config(kScratchPath);
        EXPECT_EQ(ErrorOf([&] { return config.ReadBoolean(u"value", false); }), c.error) << c.label;
        EXPECT_EQ(ErrorOf([&] { return config.ReadInteger(u"value", 77); }), c.error) << c.label;
        if (*c.error == '\0') {
            EXPECT_EQ(config.ReadBoolean(u"value", !c.boolean), c.boolean) << c.label;
            EXPECT_EQ(config.ReadInteger(u"value", 77), c.integer) << c.label;
        }
        EXPECT_EQ(GetRaw(kScratchKey, u"value"), c.stored) << c.label << ": a failed read must not touch the value";
    }
}

TEST_F(RegistryStore, WritesStoreDwordsAndTerminatedTextAndReturnTheirValue) {
    TConfig config(kScratchPath);
    EXPECT_TRUE(config.WriteBoolean(u"on", true));
    EXPECT_FALSE(config.WriteBoolean(u"off", false));
    EXPECT_EQ(config.WriteInteger(u"negative", -7), -7);
    EXPECT_EQ(config.WriteString(u"empty", u""), u"");
    const Text text = u"Tidewell \u00FC\uD55C";
    EXPECT_EQ(config.WriteString(u"text", text), text);

    EXPECT_EQ(GetRaw(kScratchKey, u"on"), (RawValue{REG_DWORD, DwordBytes(1)}));
    EXPECT_EQ(GetRaw(kScratchKey, u"off"), (RawValue{REG_DWORD, DwordBytes(0)}));
    EXPECT_EQ(GetRaw(kScratchKey, u"negative"), (RawValue{REG_DWORD, DwordBytes(0xFFFFFFF9u)}));
    EXPECT_EQ(GetRaw(kScratchKey, u"empty"), (RawValue{REG_SZ, WideBytes(L"", 1)}));
    const std::wstring wide = ToWide(text);
    EXPECT_EQ(GetRaw(kScratchKey, u"text"), (RawValue{REG_SZ, WideBytes(wide.c_str(), wide.size() + 1)}));

    // A fresh instance reads what the first one wrote: nothing is cached or left unflushed.
    TConfig again(kScratchPath);
    EXPECT_TRUE(again.ReadBoolean(u"on", false));
    EXPECT_FALSE(again.ReadBoolean(u"off", true));
    EXPECT_EQ(again.ReadInteger(u"negative", 0), -7);
    EXPECT_EQ(again.ReadString(u"empty", u"default"), u"");
    EXPECT_EQ(again.ReadString(u"text", u""), text);
}

TEST_F(RegistryStore, StringReadsTakeTextUpToTheFirstNulAndExpandNothing) {
    const struct {
        const char* label;
        RawValue stored;
        const char16_t* text;
        const char* error;
    } cases[] = {
        {"terminated", {REG_SZ, WideBytes(L"abc", 4)}, u"abc", ""},
        {"embedded NUL", {REG_SZ, WideBytes(L"ab\0cd", 6)}, u"ab", ""},
        {"unterminated", {REG_SZ, WideBytes(L"ab", 2)}, u"ab", ""},
        {"odd byte count", {REG_SZ, Bytes("a\0b", 3)}, u"a", ""},
        {"no data", {REG_SZ, ""}, u"", ""},
        {"no data of another type", {REG_BINARY, ""}, u"", ""},
        {"expandable", {REG_EXPAND_SZ, WideBytes(L"%SystemRoot%\\x", 15)}, u"%SystemRoot%\\x", ""},
        {"DWORD", {REG_DWORD, DwordBytes(1)}, u"", "Invalid data type for 'value'"},
        {"multi-string", {REG_MULTI_SZ, WideBytes(L"a\0b\0", 5)}, u"", "Invalid data type for 'value'"},
    };
    for (const auto& c : cases) {
        SetRaw(kScratchKey, u"value", c.stored);
        TConfig config(kScratchPath);
        EXPECT_EQ(ErrorOf([&] { return config.ReadString(u"value", u"default"); }), c.error) << c.label;
        if (*c.error == '\0') {
            EXPECT_EQ(TextToUtf8(config.ReadString(u"value", u"default")), TextToUtf8(c.text)) << c.label;
        }
    }
}

TEST_F(RegistryStore, AKeyThatCannotBeOpenedGivesDefaultsAndDropsWrites) {
    // A key name longer than the registry's 255 characters cannot be created.
    const Text path = kScratchPath + u"\\" + Text(300, u'k');
    TConfig config(path);
    ASSERT_FALSE(config.KeyIsOpen());
    EXPECT_EQ(config.ReadInteger(u"limit_minute", 3), 3);
    EXPECT_TRUE(config.ReadBoolean(u"cleanontray", true));
    EXPECT_EQ(config.ReadString(u"name", u"fallback"), u"fallback");
    EXPECT_EQ(config.WriteInteger(u"limit_minute", 5), 5);
    EXPECT_TRUE(config.WriteBoolean(u"cleanontray", true));
    EXPECT_EQ(config.WriteString(u"name", u"x"), u"x");
    // The keys above the bad name may have been created on the way; nothing was written into them.
    EXPECT_EQ(ValueCount(kScratchKey), 0u);
}

TEST_F(RegistryStore, AWriteTheRegistryRefusesReturnsItsValueWithoutError) {
    TConfig config(kScratchPath);
    const Text tooLong(16384, u'v');  // value names end at 16383 characters
    EXPECT_EQ(config.WriteInteger(tooLong, 5), 5);
    EXPECT_TRUE(config.WriteBoolean(tooLong, true));
    EXPECT_EQ(config.WriteString(tooLong, u"x"), u"x");
    EXPECT_EQ(ValueCount(kScratchKey), 0u);
}

// The options load against the real registry: the program's own key, kept
// aside for the test and put back afterwards.
constexpr wchar_t kOptionsKey[] = L"Software\\Varnok\\Tidewell";
constexpr wchar_t kSavedOptionsKey[] = L"Software\\TidewellTest\\SavedOptions";

// Passes reads and writes to the registry store and notes each write.
class RecordingStore : public ConfigStore {
public:
    RecordingStore(std::unique_ptr<ConfigStore> inner, std::vector<std::string>& writes)
        : inner_(std::move(inner)), writes_(writes) {}
    bool ReadBoolean(const Text& name, bool d) override { return inner_->ReadBoolean(name, d); }
    int32_t ReadInteger(const Text& name, int32_t d) override { return inner_->ReadInteger(name, d); }
    Text ReadString(const Text& name, const Text& d) override { return inner_->ReadString(name, d); }
    bool WriteBoolean(const Text& name, bool v) override {
        writes_.push_back(TextToUtf8(name) + "=" + (v ? "1" : "0"));
        return inner_->WriteBoolean(name, v);
    }
    int32_t WriteInteger(const Text& name, int32_t v) override {
        writes_.push_back(TextToUtf8(name) + "=" + std::to_string(v));
        return inner_->WriteInteger(name, v);
    }
    Text WriteString(const Text& name, const Text& v) override {
        writes_.push_back(TextToUtf8(name) + "=" + TextToUtf8(v));
        return inner_->WriteString(name, v);
    }

private:
    std::unique_ptr<ConfigStore> inner_;
    std::vector<std::string>& writes_;
};

class RegistryHost : public testing::FakeHost {
public:
    std::vector<std::string> writes;
    std::vector<Text> openedPaths;
    std::unique_ptr<ConfigStore> OpenConfig(const Text& path) override {
        openedPaths.push_back(path);
        return std::make_unique<RecordingStore>(std::make_unique<TConfig>(path), writes);
    }
};

class OptionsInRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
        saved_ = KeyExists(kOptionsKey);
        if (saved_) {
            UniqueRegKey from, to;
            ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_READ, from.put()), ERROR_SUCCESS);
            ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSavedOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        to.put(), nullptr),
                      ERROR_SUCCESS);
            ASSERT_EQ(::RegCopyTreeW(from.get(), nullptr, to.get()), ERROR_SUCCESS);
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsKey);
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsKey);
        if (saved_) {
            UniqueRegKey from, to;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSavedOptionsKey, 0, KEY_READ, from.put()) == ERROR_SUCCESS &&
                ::RegCreateKeyExW(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, to.put(),
                                  nullptr) == ERROR_SUCCESS) {
                EXPECT_EQ(::RegCopyTreeW(from.get(), nullptr, to.get()), ERROR_SUCCESS);
            }
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
    }

private:
    bool saved_ = false;
};

TEST_F(OptionsInRegistry, FirstStartCreatesTheProgramsKeyWithNoValues) {
    RegistryHost host;
    TFrmTidewell form(host);
    form.LoadConfig();
    EXPECT_EQ(host.openedPaths, std::vector<Text>{u"Varnok\\Tidewell"});
    EXPECT_TRUE(KeyExists(kOptionsKey));
    EXPECT_EQ(ValueCount(kOptionsKey), 0u);
    EXPECT_TRUE(host.writes.empty());
    EXPECT_EQ(form.EditMinute->SelectedText(), u"30");
}

TEST_F(OptionsInRegistry, AValueOfTheWrongTypeFallsBackAloneAndStaysAsItWas) {
    // Every option away from its default, so that a fallback shows.
    const std::vector<std::pair<Text, uint32_t>> stored = {
        {u"enabled_usage_phys", 1}, {u"enabled_usage_page", 1}, {u"enabled_usage_work", 1},
        {u"limit_usage_phys", 1},   {u"limit_usage_page", 2},   {u"limit_usage_work", 4},
        {u"enabled_minute", 1},     {u"limit_minute", 0},       {u"cleanontray", 1},
    };
    const std::vector<std::string> writeBacks = {"cleanontray=1", "enabled_usage_phys=1", "enabled_usage_page=1",
                                                 "enabled_usage_work=1", "enabled_minute=1"};
    const struct {
        const char* label;
        RawValue value;
    } wrongKinds[] = {
        {"REG_SZ \"1\"", {REG_SZ, WideBytes(L"1", 2)}},
        {"8-byte REG_BINARY", {REG_BINARY, Bytes("\x01\0\0\0\0\0\0\0", 8)}},
        {"REG_QWORD 1", {REG_QWORD, Bytes("\x01\0\0\0\0\0\0\0", 8)}},
    };

    for (const auto& [damaged, unused] : stored) {
        for (const auto& kind : wrongKinds) {
            const std::string label = TextToUtf8(damaged) + " as " + kind.label;
            ::RegDeleteTreeW(HKEY_CURRENT_USER, kOptionsKey);
            for (const auto& [name, value] : stored) SetRaw(kOptionsKey, name, {REG_DWORD, DwordBytes(value)});
            SetRaw(kOptionsKey, damaged, kind.value);

            RegistryHost host;
            TFrmTidewell form(host);
            ASSERT_NO_THROW(form.LoadConfig()) << label;

            const auto on = [&](const char16_t* name) { return name != damaged; };
            EXPECT_EQ(form.EditUsagePhys->Enabled(), on(u"enabled_usage_phys")) << label;
            EXPECT_EQ(form.EditUsagePage->Enabled(), on(u"enabled_usage_page")) << label;
            EXPECT_EQ(form.EditUsageWork->Enabled(), on(u"enabled_usage_work")) << label;
            EXPECT_EQ(form.EditMinute->Enabled(), on(u"enabled_minute")) << label;
            EXPECT_EQ(form.ChkUsagePhys->Checked(), on(u"enabled_usage_phys")) << label;
            EXPECT_EQ(form.ChkUsagePage->Checked(), on(u"enabled_usage_page")) << label;
            EXPECT_EQ(form.ChkUsageWork->Checked(), on(u"enabled_usage_work")) << label;
            EXPECT_EQ(form.ChkMinute->Checked(), on(u"enabled_minute")) << label;
            EXPECT_EQ(form.ChkCleanOnTray->Checked(), on(u"cleanontray")) << label;
            EXPECT_EQ(TextToUtf8(form.EditUsagePhys->SelectedText()), on(u"limit_usage_phys") ? "40" : "90") << label;
            EXPECT_EQ(TextToUtf8(form.EditUsagePage->SelectedText()), on(u"limit_usage_page") ? "50" : "90") << label;
            EXPECT_EQ(TextToUtf8(form.EditUsageWork->SelectedText()), on(u"limit_usage_work") ? "70" : "90") << label;
            EXPECT_EQ(TextToUtf8(form.EditMinute->SelectedText()), on(u"limit_minute") ? "5" : "30") << label;

            std::vector<std::string> expectedWrites;
            for (const auto& w : writeBacks) {
                if (w.rfind(TextToUtf8(damaged) + "=", 0) != 0) expectedWrites.push_back(w);
            }
            EXPECT_EQ(host.writes, expectedWrites) << label;
            EXPECT_EQ(GetRaw(kOptionsKey, damaged), kind.value) << label << ": the damaged value was overwritten";
            for (const auto& [name, value] : stored) {
                if (name == damaged) continue;
                EXPECT_EQ(GetRaw(kOptionsKey, name), (RawValue{REG_DWORD, DwordBytes(value)}))
                    << label << ": " << TextToUtf8(name);
            }
        }
    }
}

}  // namespace
}  // namespace tidewell
