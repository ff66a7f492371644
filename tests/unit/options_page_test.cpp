#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_tidewell.h"
#include "tests/unit/fake_host.h"

namespace tidewell {
namespace {

using testing::FakeHost;
using testing::MemoryConfig;

const std::vector<std::string> kTaskQuery = {"InitializeCom", "AutoStartTaskExists(TidewellTaskMachine)",
                                             "UninitializeCom"};

class OptionsPage : public ::testing::Test {
protected:
    OptionsPage() {
        host.registry[kOptionsPath] = std::make_shared<MemoryConfig::Values>();
        host.now = 46100.25;
    }

    MemoryConfig::Values& Stored() { return *host.registry[kOptionsPath]; }

    [[nodiscard]] std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const auto& c : host.calls) {
            if (c.rfind("Write", 0) == 0) writes.push_back(c);
        }
        return writes;
    }

    FakeHost host;
    TFrmTidewell form{host};
};

// The rule check boxes with the list each one governs and the value it saves.
struct Rule {
    ui::TCheckBox* TFrmTidewell::*check;
    ui::TComboBox* TFrmTidewell::*list;
    const char16_t* name;
};
const Rule kRules[] = {
    {&TFrmTidewell::ChkUsagePhys, &TFrmTidewell::EditUsagePhys, u"enabled_usage_phys"},
    {&TFrmTidewell::ChkUsagePage, &TFrmTidewell::EditUsagePage, u"enabled_usage_page"},
    {&TFrmTidewell::ChkUsageWork, &TFrmTidewell::EditUsageWork, u"enabled_usage_work"},
    {&TFrmTidewell::ChkMinute, &TFrmTidewell::EditMinute, u"enabled_minute"},
};

TEST_F(OptionsPage, FirstStartShowsDefaultsAndWritesNothing) {
    host.registry.clear();
    form.LoadConfig();

    EXPECT_EQ(host.calls, kTaskQuery);
    ASSERT_EQ(host.registry.count(kOptionsPath), 1u) << "the load opens (and so creates) the key";
    EXPECT_TRUE(host.registry[kOptionsPath]->empty());
    for (const Rule& rule : kRules) {
        EXPECT_FALSE((form.*rule.check)->Checked()) << TextToUtf8(rule.name);
        EXPECT_FALSE((form.*rule.list)->Enabled()) << TextToUtf8(rule.name);
    }
    EXPECT_EQ(form.EditUsagePhys->SelectedText(), u"90");
    EXPECT_EQ(form.EditUsagePage->SelectedText(), u"90");
    EXPECT_EQ(form.EditUsageWork->SelectedText(), u"90");
    EXPECT_EQ(form.EditMinute->SelectedText(), u"30");
    EXPECT_FALSE(form.ChkCleanOnTray->Checked());
    EXPECT_FALSE(form.ChkAutoStart->Checked());
    EXPECT_EQ(form.ChkAutoStart->Tag, 0);
    EXPECT_EQ(form.NextTime, 0.0);
}

TEST(OptionsPageLimits, StoredIndexSelectsItsItemAndAnIndexOutsideTheListSelectsNothing) {
    const struct {
        const char16_t* name;
        uint32_t stored;
        ui::TComboBox* TFrmTidewell::*list;
        const char16_t* shown;
    } cases[] = {
        {u"limit_usage_phys", 2, &TFrmTidewell::EditUsagePhys, u"50"},
        {u"limit_usage_page", 0, &TFrmTidewell::EditUsagePage, u"30"},
        {u"limit_usage_work", 6, &TFrmTidewell::EditUsageWork, u"90"},
        {u"limit_minute", 0, &TFrmTidewell::EditMinute, u"5"},
        {u"limit_minute", 6, &TFrmTidewell::EditMinute, u"60"},
        {u"limit_usage_phys", 9, &TFrmTidewell::EditUsagePhys, u""},
        {u"limit_usage_phys", static_cast<uint32_t>(-1), &TFrmTidewell::EditUsagePhys, u""},
        {u"limit_minute", 7, &TFrmTidewell::EditMinute, u""},
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.registry[kOptionsPath] = std::make_shared<MemoryConfig::Values>();
        (*host.registry[kOptionsPath])[c.name] = c.stored;
        TFrmTidewell form(host);
        form.LoadConfig();

        const std::string label = TextToUtf8(c.name) + "=" + std::to_string(static_cast<int32_t>(c.stored));
        EXPECT_EQ(TextToUtf8((form.*c.list)->SelectedText()), TextToUtf8(c.shown)) << label;
        if (*c.shown == u'\0') {
            EXPECT_EQ((form.*c.list)->ItemIndex(), -1) << label;
        }
        // A limit is never written by the load, valid or not.
        EXPECT_EQ(host.Count("Write"), 0u) << label;
        EXPECT_EQ(std::get<uint32_t>((*host.registry[kOptionsPath])[c.name]), c.stored) << label;
    }
}

TEST(OptionsPageRules, AStoredRuleTurnsOnDuringTheLoadAndIsWrittenBack) {
    for (const Rule& rule : kRules) {
        for (uint32_t stored : {1u, 2u}) {
            FakeHost host;
            host.now = 46200.5;
            host.registry[kOptionsPath] = std::make_shared<MemoryConfig::Values>();
            (*host.registry[kOptionsPath])[rule.name] = stored;
            TFrmTidewell form(host);
            form.LoadConfig();

            const std::string label = TextToUtf8(rule.name) + "=" + std::to_string(stored);
            EXPECT_TRUE((form.*rule.check)->Checked()) << label;
            EXPECT_TRUE((form.*rule.list)->Enabled()) << label;
            for (const Rule& other : kRules) {
                if (&other == &rule) continue;
                EXPECT_FALSE((form.*other.check)->Checked()) << label << " turned on " << TextToUtf8(other.name);
            }
            std::vector<std::string> expected = kTaskQuery;
            expected.push_back("WriteBoolean(" + TextToUtf8(rule.name) + ",1)");
            EXPECT_EQ(host.calls, expected) << label;
            EXPECT_EQ(std::get<uint32_t>((*host.registry[kOptionsPath])[rule.name]), 1u) << label;
            EXPECT_EQ(form.NextTime, host.now) << label;
        }
    }
}

TEST_F(OptionsPage, StoredTrayCleaningIsCheckedAndWrittenBackWithoutTouchingNextTime) {
    Stored()[u"cleanontray"] = uint32_t{1};
    form.LoadConfig();

    EXPECT_TRUE(form.ChkCleanOnTray->Checked());
    EXPECT_EQ(Writes(), std::vector<std::string>{"WriteBoolean(cleanontray,1)"});
    EXPECT_EQ(form.NextTime, 0.0);
}

TEST_F(OptionsPage, ClickingARuleSwitchesItsListAndSavesOnlyItsOwnValue) {
    for (const Rule& rule : kRules) Stored()[rule.name] = uint32_t{1};
    Stored()[u"limit_minute"] = uint32_t{4};
    form.LoadConfig();

    double now = 46300.0;
    for (const Rule& rule : kRules) {
        const std::string label = TextToUtf8(rule.name);
        for (bool on : {false, true}) {
            host.calls.clear();
            host.now = (now += 0.125);
            (form.*rule.check)->Click();

            EXPECT_EQ((form.*rule.check)->Checked(), on) << label;
            EXPECT_EQ((form.*rule.list)->Enabled(), on) << label;
            EXPECT_EQ(host.calls, std::vector<std::string>{"WriteBoolean(" + label + (on ? ",1)" : ",0)")}) << label;
            EXPECT_EQ(std::get<uint32_t>(Stored()[rule.name]), on ? 1u : 0u) << label;
            EXPECT_EQ(form.NextTime, host.now) << label;
        }
    }
    // Switching the interval rule off and on again left its chosen interval alone.
    EXPECT_EQ(std::get<uint32_t>(Stored()[u"limit_minute"]), 4u);
    EXPECT_EQ(form.EditMinute->SelectedText(), u"40");
}

TEST_F(OptionsPage, PickingALimitSavesTheItemsPositionNotItsNumber) {
    form.LoadConfig();
    const struct {
        ui::TComboBox* TFrmTidewell::*list;
        int index;
        const char* write;
    } cases[] = {
        {&TFrmTidewell::EditUsageWork, 4, "WriteInteger(limit_usage_work,4)"},  // "70"
        {&TFrmTidewell::EditUsagePhys, 0, "WriteInteger(limit_usage_phys,0)"},
        {&TFrmTidewell::EditUsagePage, 5, "WriteInteger(limit_usage_page,5)"},
        {&TFrmTidewell::EditMinute, 6, "WriteInteger(limit_minute,6)"},
    };
    double now = 46400.0;
    for (const auto& c : cases) {
        host.calls.clear();
        host.now = (now += 0.5);
        (form.*c.list)->UserSelect(c.index);
        EXPECT_EQ(host.calls, std::vector<std::string>{c.write});
        EXPECT_EQ(form.NextTime, host.now) << c.write;
    }
    EXPECT_EQ(form.EditUsageWork->SelectedText(), u"70");
    EXPECT_EQ(std::get<uint32_t>(Stored()[u"limit_usage_work"]), 4u);

    // A selection made by the program is not a choice of the user's.
    host.calls.clear();
    form.EditUsageWork->SetItemIndex(1);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(OptionsPage, TrayAndAutoStartBoxesLeaveTheCleaningClockAlone) {
    form.LoadConfig();
    form.NextTime = 45000.75;

    host.calls.clear();
    form.ChkCleanOnTray->Click();
    form.ChkCleanOnTray->Click();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"WriteBoolean(cleanontray,1)", "WriteBoolean(cleanontray,0)"}));

    host.calls.clear();
    form.ChkAutoStart->Click();
    form.ChkAutoStart->Click();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"InitializeCom", "SetAutoStartTask(TidewellTaskMachine,1,0)",
                                                    "UninitializeCom", "InitializeCom",
                                                    "SetAutoStartTask(TidewellTaskMachine,0,0)", "UninitializeCom"}));
    EXPECT_EQ(form.NextTime, 45000.75);
}

TEST_F(OptionsPage, AnExistingTaskIsRegisteredAgainWithoutDelayDuringTheLoad) {
    host.taskExists = true;
    form.LoadConfig();

    std::vector<std::string> expected = kTaskQuery;
    expected.insert(expected.end(), {"InitializeCom", "SetAutoStartTask(TidewellTaskMachine,1,0)", "UninitializeCom"});
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(form.ChkAutoStart->Tag, 1);
    EXPECT_TRUE(form.ChkAutoStart->Checked());
    EXPECT_TRUE(Stored().empty()) << "auto-start has no registry value";
}

TEST_F(OptionsPage, WithoutComTheTaskIsNeitherAskedNorChanged) {
    host.comWorks = false;
    host.taskExists = true;
    form.LoadConfig();
    EXPECT_EQ(host.calls, std::vector<std::string>{"InitializeCom"});
    EXPECT_EQ(form.ChkAutoStart->Tag, 0);
    EXPECT_FALSE(form.ChkAutoStart->Checked());

    host.calls.clear();
    form.ChkAutoStart->Click();
    EXPECT_EQ(host.calls, std::vector<std::string>{"InitializeCom"});
    EXPECT_TRUE(form.ChkAutoStart->Checked()) << "the box keeps the user's state";
    EXPECT_TRUE(host.taskExists);
}

// What the page shows after a load, for comparing whole loads.
struct PageState {
    bool phys, page, work, minute, tray;
    Text physLimit, pageLimit, workLimit, minuteLimit;
    bool operator==(const PageState&) const = default;
};

void PrintTo(const PageState& s, std::ostream* os) {
    *os << "{phys " << s.phys << " page " << s.page << " work " << s.work << " minute " << s.minute << " tray "
        << s.tray << " limits " << TextToUtf8(s.physLimit) << "," << TextToUtf8(s.pageLimit) << ","
        << TextToUtf8(s.workLimit) << "," << TextToUtf8(s.minuteLimit) << "}";
}

PageState Snapshot(const TFrmTidewell& form) {
    for (const Rule& rule : kRules) {
        EXPECT_EQ((form.*rule.check)->Checked(), (form.*rule.list)->Enabled()) << TextToUtf8(rule.name);
    }
    return {form.ChkUsagePhys->Checked(),       form.ChkUsagePage->Checked(),       form.ChkUsageWork->Checked(),
            form.ChkMinute->Checked(),          form.ChkCleanOnTray->Checked(),     form.EditUsagePhys->SelectedText(),
            form.EditUsagePage->SelectedText(), form.EditUsageWork->SelectedText(), form.EditMinute->SelectedText()};
}

TEST(OptionsPageDamagedValue, AValueOfTheWrongTypeFallsBackAloneAndIsNotOverwritten) {
    // Every option away from its default, so that a fallback shows.
    const std::vector<std::pair<Text, uint32_t>> stored = {
        {u"enabled_usage_phys", 1}, {u"enabled_usage_page", 1}, {u"enabled_usage_work", 1},
        {u"limit_usage_phys", 1},   {u"limit_usage_page", 2},   {u"limit_usage_work", 4},
        {u"enabled_minute", 1},     {u"limit_minute", 0},       {u"cleanontray", 1},
    };
    const PageState loaded{true, true, true, true, true, u"40", u"50", u"70", u"5"};
    const std::vector<std::string> writeBacks = {
        "WriteBoolean(cleanontray,1)",        "WriteBoolean(enabled_usage_phys,1)",
        "WriteBoolean(enabled_usage_page,1)", "WriteBoolean(enabled_usage_work,1)",
        "WriteBoolean(enabled_minute,1)"};

    const struct {
        const char16_t* damaged;
        void (*fallback)(PageState&);
    } cases[] = {
        {u"enabled_usage_phys", [](PageState& s) { s.phys = false; }},
        {u"enabled_usage_page", [](PageState& s) { s.page = false; }},
        {u"enabled_usage_work", [](PageState& s) { s.work = false; }},
        {u"limit_usage_phys", [](PageState& s) { s.physLimit = u"90"; }},
        {u"limit_usage_page", [](PageState& s) { s.pageLimit = u"90"; }},
        {u"limit_usage_work", [](PageState& s) { s.workLimit = u"90"; }},
        {u"enabled_minute", [](PageState& s) { s.minute = false; }},
        {u"limit_minute", [](PageState& s) { s.minuteLimit = u"30"; }},
        {u"cleanontray", [](PageState& s) { s.tray = false; }},
    };
    for (const auto& c : cases) {
        const std::string damaged = TextToUtf8(c.damaged);
        FakeHost host;
        host.taskExists = true;
        auto values = std::make_shared<MemoryConfig::Values>();
        for (const auto& [name, value] : stored) (*values)[name] = value;
        (*values)[c.damaged] = Text(u"1");  // as a REG_SZ "1" would be
        host.registry[kOptionsPath] = values;
        TFrmTidewell form(host);

        EXPECT_NO_THROW(form.LoadConfig()) << damaged;

        PageState expected = loaded;
        c.fallback(expected);
        EXPECT_EQ(Snapshot(form), expected) << damaged;
        std::vector<std::string> expectedWrites;
        for (const auto& w : writeBacks) {
            if (w.find("(" + damaged + ",") == std::string::npos) expectedWrites.push_back(w);
        }
        std::vector<std::string> writes;
        for (const auto& call : host.calls) {
            if (call.rfind("Write", 0) == 0) writes.push_back(call);
        }
        EXPECT_EQ(writes, expectedWrites) << damaged;
        EXPECT_EQ(std::get<Text>((*values)[c.damaged]), u"1") << damaged << " was overwritten";
        // The rest of the start-up goes on: the auto-start state still loads.
        EXPECT_TRUE(form.ChkAutoStart->Checked()) << damaged;
        EXPECT_EQ(host.Count("SetAutoStartTask(TidewellTaskMachine,1,0)"), 1u) << damaged;
    }
}

}  // namespace
}  // namespace tidewell
