#include <gtest/gtest.h>

#include <algorithm>

#include "app/frm_tidewell.h"
#include "tests/unit/fake_host.h"

namespace tidewell {
namespace {

using testing::FakeHost;

size_t IndexOf(const std::vector<std::string>& calls, const std::string& prefix) {
    auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    return it == calls.end() ? std::string::npos : static_cast<size_t>(it - calls.begin());
}

TEST(FormCreate, RunsTheCreationSequenceInOrder) {
    FakeHost host;
    host.argument = u"/inst";
    host.now = 46100.25;
    TFrmTidewell form(host);
    form.FormCreate();

    const auto& c = host.calls;
    const size_t theme = IndexOf(c, "AttachThemeHelper");
    const size_t title = IndexOf(c, "SetApplicationTitle(Tidewell)");
    const size_t tray = IndexOf(c, "CreateTrayIcon");
    const size_t repaint = IndexOf(c, "RepaintTrayIcon(0)");
    const size_t install = IndexOf(c, "SetAutoStartTask(TidewellTaskMachine,1,60)");
    const size_t privilege1 = IndexOf(c, "EnablePrivilege(SeIncreaseQuotaPrivilege,1)");
    const size_t privilege2 = IndexOf(c, "EnablePrivilege(SeProfileSingleProcessPrivilege,1)");
    const size_t update = IndexOf(c, "CheckUpdate(");
    for (size_t i : {theme, title, tray, repaint, install, privilege1, privilege2, update}) ASSERT_NE(i, std::string::npos);
    EXPECT_EQ(theme, 0u);
    EXPECT_LT(title, tray);
    EXPECT_LT(tray, repaint);
    EXPECT_LT(repaint, install);
    EXPECT_LT(install, privilege1);
    EXPECT_LT(privilege1, privilege2);
    EXPECT_LT(privilege2, update);
    EXPECT_EQ(update, c.size() - 1);
    EXPECT_NE(c[update].find(",10)"), std::string::npos) << c[update];
    EXPECT_EQ(host.Count("HideMainWindow"), 0u);

    ASSERT_NE(form.TrayIcon, nullptr);
    EXPECT_TRUE(form.TrayIcon->Visible());
    EXPECT_EQ(form.TrayIcon->ImageIndex(), 0);
    EXPECT_EQ(form.TrayIcon->Hint(), u"Tidewell 1.2.3");
    EXPECT_EQ(form.TrayIcon->PopupMenu, form.Popup);
    EXPECT_EQ(form.TrayIcon->Images, form.ListIcon);
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 0);
    EXPECT_FALSE(form.Indicator->Visible());
    EXPECT_EQ(form.LblWorkingStatus->FontColor(), 0x808080);
    EXPECT_EQ(form.LblPhysStatus->FontColor(), -1);
    EXPECT_TRUE(form.UsesDesktopFont());
    EXPECT_EQ(form.NextTime, 46100.25);
    EXPECT_FALSE(form.FCanClose);
    EXPECT_FALSE(form.FmtPhysStatus.empty());
    EXPECT_NE(form.EditInfo->GetText().find(u": 1.2.3"), Text::npos);
}

TEST(FormCreate, StartAtLogonHidesTheWindowAndOtherArgumentsDoNot) {
    struct Case {
        Text argument;
        size_t hides;
        size_t installs;
    } cases[] = {{u"/start", 1, 0}, {u"/START", 0, 0}, {u"", 0, 0}, {u"/inst", 0, 1}, {u"/Inst", 0, 0}};
    for (const auto& k : cases) {
        FakeHost host;
        host.argument = k.argument;
        TFrmTidewell form(host);
        form.FormCreate();
        EXPECT_EQ(host.Count("HideMainWindow"), k.hides) << TextToUtf8(k.argument);
        EXPECT_EQ(host.Count("SetAutoStartTask(TidewellTaskMachine,1,60)"), k.installs) << TextToUtf8(k.argument);
    }
}

TEST(MainWindowCommands, InstanceCommandsAreIgnoredUntilTheTrayIconExists) {
    FakeHost host;
    TFrmTidewell form(host);
    EXPECT_EQ(form.HandleInstanceCommand(1), 0);
    EXPECT_EQ(form.HandleInstanceCommand(2), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(form.FCanClose);

    form.FormCreate();
    host.calls.clear();
    EXPECT_EQ(form.HandleInstanceCommand(7), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(form.HandleInstanceCommand(1), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ShowMainWindow"}));
    host.calls.clear();
    EXPECT_EQ(form.HandleInstanceCommand(2), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"InitializeCom", "SetAutoStartTask(TidewellTaskMachine,0,0)",
                                                    "UninitializeCom", "CloseMainWindow"}));
    EXPECT_TRUE(form.FCanClose);
}

TEST(MainWindowCommands, QuitWithoutComStillQuits) {
    FakeHost host;
    TFrmTidewell form(host);
    form.FormCreate();
    host.comWorks = false;
    host.calls.clear();
    (void)form.HandleInstanceCommand(2);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"InitializeCom", "CloseMainWindow"}));
    EXPECT_TRUE(form.FCanClose);
}

TEST(MainWindowCommands, CloseHidesUnlessQuitting) {
    FakeHost host;
    TFrmTidewell form(host);
    form.FormCreate();
    host.calls.clear();

    bool canClose = true;
    form.FormCloseQuery(&form, canClose);
    EXPECT_FALSE(canClose);
    EXPECT_EQ(host.Count("HideMainWindow"), 1u);

    host.answerYes = false;
    form.BtnCloseClick(form.BtnClose);
    EXPECT_FALSE(form.FCanClose);
    EXPECT_EQ(host.Count("CloseMainWindow"), 0u);
    ASSERT_EQ(host.Count("AskYesNo("), 1u);

    host.answerYes = true;
    form.BtnCloseClick(form.BtnClose);
    EXPECT_TRUE(form.FCanClose);
    EXPECT_EQ(host.Count("CloseMainWindow"), 1u);
    form.FormCloseQuery(&form, canClose);
    EXPECT_TRUE(canClose);

    FakeHost session;
    TFrmTidewell other(session);
    EXPECT_EQ(other.HandleQueryEndSession(), 1);
    EXPECT_TRUE(other.FCanClose);
    EXPECT_EQ(session.Count("CloseMainWindow"), 1u);
}

TEST(MainWindowCommands, UpdateCallbackQuitsOnlyWhenAccepted) {
    FakeHost host;
    TFrmTidewell form(host);
    form.FormCreate();
    ASSERT_TRUE(host.updateProc);
    host.updateProc(false, u"{}");
    EXPECT_FALSE(form.FCanClose);
    host.updateProc(true, u"{}");
    EXPECT_TRUE(form.FCanClose);
    EXPECT_EQ(host.Count("CloseMainWindow"), 1u);
}

TEST(MainWindowCommands, TrayClickShowsTheWindowUnlessItCleans) {
    FakeHost host;
    TFrmTidewell form(host);
    form.FormCreate();
    host.calls.clear();
    form.TrayIcon->Click();
    EXPECT_EQ(host.Count("ShowMainWindow"), 1u);
    EXPECT_EQ(host.Count("StartWorker"), 0u);
    form.ChkCleanOnTray->SetChecked(true);
    form.TrayIcon->Click();
    EXPECT_EQ(host.Count("ShowMainWindow"), 1u);
    EXPECT_EQ(host.Count("StartWorker"), 1u);  // a clean started from the tray
}

TEST(Navigation, HeaderButtonsSwitchPagesAndOpenLinks) {
    FakeHost host;
    TFrmTidewell form(host);
    form.FormCreate();
    host.calls.clear();
    form.BtnConfig->Click();
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 1);
    EXPECT_TRUE(form.BtnConfig->Down());
    EXPECT_FALSE(form.BtnHome->Down());
    form.BtnDonate->Click();
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 1);
    EXPECT_TRUE(form.BtnConfig->Down());
    EXPECT_FALSE(form.BtnDonate->Down());
    form.BtnHome->Click();
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 0);
    EXPECT_TRUE(form.BtnHome->Down());
    form.BtnHomeClick(form.LblTitle);  // not a header button: nothing
    EXPECT_EQ(form.PnlMain->ActiveCardIndex(), 0);

    form.SVGIconImage1->Click();
    form.BtnCopyright->Click();
    ASSERT_EQ(host.Count("ShellOpen("), 3u);
    EXPECT_EQ(host.calls[0], "ShellOpen(https://www.tidewell.example.com/donate?tidewell)");
    EXPECT_EQ(host.calls[1], "ShellOpen(http://www.tidewell.example.com/tidewell)");
    EXPECT_EQ(host.calls[2], "ShellOpen(https://www.tidewell.example.com/tidewell?v=1.2.3)");

    form.SetActiveControl(form.EditUsagePhys);
    form.EditInfo->Click();
    EXPECT_EQ(form.ActiveControl(), nullptr);
}

}  // namespace
}  // namespace tidewell
