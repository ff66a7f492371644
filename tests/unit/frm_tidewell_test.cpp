#include <gtest/gtest.h>

#include "app/frm_tidewell.h"
#include "app/ids.h"
#include "tests/unit/fake_host.h"

namespace tidewell {
namespace {

using testing::FakeHost;

TEST(FrmTidewellDefinition, HoldsEveryNamedComponentInDefinitionOrder) {
    FakeHost host;
    TFrmTidewell form(host);
    std::vector<Text> names;
    for (ui::TComponent* c : form.Components()) names.push_back(c->Name());
    const std::vector<Text> expected = {
        u"PnlHead", u"BtnHead", u"BtnHome", u"BtnConfig", u"BtnDonate", u"PnlLogo", u"SVGIconImage1",
        u"PnlMain", u"Card1", u"LblTitle", u"ProgressBar", u"LblPhys", u"LblPhysStatus", u"LblVirtual",
        u"LblVirtualStatus", u"LblWorking", u"LblWorkingStatus", u"BtnClean", u"Indicator", u"Card2",
        u"GroupBox1", u"ChkUsagePhys", u"ChkMinute", u"EditUsagePhys", u"EditMinute", u"ChkUsagePage",
        u"EditUsagePage", u"ChkUsageWork", u"EditUsageWork", u"GroupBox3", u"ChkAutoStart", u"ChkCleanOnTray",
        u"EditInfo", u"TmrStatus", u"Popup", u"BtnOpen", u"N2", u"BtnCopyright", u"BtnClose", u"ListIcon"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(form.ClassName(), u"TFrmTidewell");
    EXPECT_EQ(form.Caption(), u"Tidewell");
}

TEST(FrmTidewellDefinition, StartsInTheDefinitionsOwnState) {
    FakeHost host;
    TFrmTidewell form(host);
    EXPECT_FALSE(form.FCanClose);
    EXPECT_FALSE(form.IsRunning());
    EXPECT_EQ(form.NextTime, 0.0);
    EXPECT_EQ(form.TrayIcon, nullptr);
    EXPECT_TRUE(form.FmtPhysStatus.empty());
    for (ui::TCheckBox* c : {form.ChkUsagePhys, form.ChkUsagePage, form.ChkUsageWork, form.ChkMinute,
                             form.ChkAutoStart, form.ChkCleanOnTray}) {
        EXPECT_FALSE(c->Checked()) << TextToUtf8(c->Name());
    }
    for (ui::TComboBox* c : {form.EditUsagePhys, form.EditUsagePage, form.EditUsageWork, form.EditMinute}) {
        EXPECT_TRUE(c->Enabled()) << TextToUtf8(c->Name());
        EXPECT_EQ(c->ItemIndex(), -1) << TextToUtf8(c->Name());
        EXPECT_EQ(c->Items().size(), 7u);
    }
    EXPECT_EQ(form.EditMinute->Items().front(), u"5");
    EXPECT_EQ(form.EditUsagePhys->Items().back(), u"90");
    EXPECT_TRUE(form.Indicator->Visible());
    EXPECT_FALSE(form.Indicator->Animate());
    EXPECT_TRUE(form.TmrStatus->Enabled());
    EXPECT_EQ(form.TmrStatus->Interval(), 1000u);
    EXPECT_TRUE(form.BtnHome->Down());
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 1);
    ASSERT_EQ(form.Popup->Items().Items().size(), 4u);
    EXPECT_EQ(form.Popup->Items().Items()[3], form.BtnClose);
    EXPECT_TRUE(form.N2->IsSeparator());
}

TEST(FrmTidewellDefinition, PlacesControlsAtTheirDesignPositions) {
    FakeHost host;
    TFrmTidewell form(host);
    struct Case {
        ui::TControl* control;
        ui::Bounds bounds;
        ui::TWinControl* parent;
    } cases[] = {
        {form.BtnClean, {168, 298, 164, 68}, form.Card1},
        {form.ProgressBar, {56, 192, 393, 25}, form.Card1},
        {form.GroupBox3, {15, 192, 474, 73}, form.Card2},
        {form.ChkCleanOnTray, {245, 32, 208, 17}, form.GroupBox3},
        {form.EditUsageWork, {372, 89, 81, 21}, form.GroupBox1},
        {form.EditInfo, {15, 368, 170, 21}, form.Card2},
        {form.BtnConfig, {80, 0, 70, 30}, form.BtnHead},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.control->GetBounds(), c.bounds) << TextToUtf8(c.control->Name());
        EXPECT_EQ(c.control->Parent(), c.parent) << TextToUtf8(c.control->Name());
    }
    EXPECT_EQ(form.EditMinute->TabOrder, 3);
    EXPECT_EQ(form.ChkUsageWork->TabOrder, 6);
}

}  // namespace
}  // namespace tidewell
