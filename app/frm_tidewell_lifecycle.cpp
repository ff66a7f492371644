// The main window's creation sequence, its close rule and its commands.

#include "app/frm_tidewell.h"
#include "build_config.h"
#include "i18n/component_translation.h"
#include "i18n/translation.h"

namespace tidewell {

void TFrmTidewell::FormCreate() {
    host_.AttachThemeHelper(*this);
    TranslateComponent(this);
    host_.SetApplicationTitle(Caption());
    EditInfo->SetText(Translate(u"버전") + u": " + host_.VersionText(u"%d.%d.%d"));
    FmtPhysStatus = Translate(u"%.0n MB / %.0n MB (%n%% 사용중)");
    UseDesktopFont();
    Indicator->SetVisible(false);
    for (ui::TLabel* grey : {LblVirtual, LblVirtualStatus, LblWorking, LblWorkingStatus}) grey->SetFontColor(0x808080);
    PnlMain->SetActiveCardIndex(0);

    TrayIcon = host_.CreateTrayIcon(*this);
    TrayIcon->Images = ListIcon;
    TrayIcon->OnClick = [this](ui::TComponent* sender) { TrayIconClick(sender); };
    TrayIcon->PopupMenu = Popup;
    TrayIcon->SetVisible(true);
    host_.RepaintTrayIcon(*TrayIcon, false);
    TrayIcon->SetHint(Caption() + u" " + host_.VersionText(u"%d.%d.%d"));
    TrayIcon->SetImageIndex(0);

    const Text argument = host_.FirstArgument();
    if (argument == u"/inst" && host_.InitializeCom()) {
        host_.SetAutoStartTask(kAutoStartTaskName, true, 60);
        host_.UninitializeCom();
    }

    LoadConfig();

    FCanClose = false;
    NextTime = host_.Now();
    (void)host_.EnablePrivilege(u"SeIncreaseQuotaPrivilege", true);
    (void)host_.EnablePrivilege(u"SeProfileSingleProcessPrivilege", true);
    try {
        TmrStatusTimer(this);
    } catch (...) {
        // The tick has restarted its timer; the next tick tries again and the
        // window is made all the same.
    }
    if (argument == u"/start") host_.HideMainWindow();

    host_.CheckUpdate(TIDEWELL_SERVICE_ENDPOINT,
                      [this](bool accepted, const Text& data) { UpdateCheckDone(accepted, data); }, 10);
}

void TFrmTidewell::FormCloseQuery(ui::TComponent*, bool& canClose) {
    canClose = FCanClose;
    if (!canClose) host_.HideMainWindow();
}

void TFrmTidewell::BtnOpenClick(ui::TComponent*) { host_.ShowMainWindow(); }

void TFrmTidewell::BtnCloseClick(ui::TComponent*) {
    if (host_.AskYesNo(Translate(u"정말 종료하시겠습니까?"), Caption())) {
        FCanClose = true;
        host_.CloseMainWindow();
    }
}

void TFrmTidewell::TrayIconClick(ui::TComponent* sender) {
    if (ChkCleanOnTray->Checked()) {
        BtnCleanClick(sender);
    } else {
        host_.ShowMainWindow();
    }
}

long TFrmTidewell::HandleInstanceCommand(unsigned long long wParam) {
    if (!TrayIcon) return 0;  // the creation sequence has not got that far
    if (wParam == 1) {
        host_.ShowMainWindow();
    } else if (wParam == 2) {
        if (host_.InitializeCom()) {
            host_.SetAutoStartTask(kAutoStartTaskName, false, 0);
            host_.UninitializeCom();
        }
        FCanClose = true;
        host_.CloseMainWindow();
    }
    return 0;
}

long TFrmTidewell::HandleQueryEndSession() {
    FCanClose = true;
    host_.CloseMainWindow();
    return 1;
}

void TFrmTidewell::UpdateCheckDone(bool accepted, const Text&) {
    if (!accepted) return;
    FCanClose = true;
    host_.CloseMainWindow();
}

}  // namespace tidewell
