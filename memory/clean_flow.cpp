// The main window's clean flow: one clean at a time on a worker thread, the busy
// display while it runs, and the completion back on the user-interface thread.

#include "app/frm_tidewell.h"
#include "i18n/translation.h"
#include "memory/clean_memory.h"

namespace tidewell {

void TFrmTidewell::SetIsRunning(bool value) {
    FIsRunning = value;
    BtnClean->SetCaption(value ? Text() : Translate(u"정리하기"));
    BtnClean->SetEnabled(!value);
    // Decided once per change: activating or hiding the window during a clean
    // does not bring the indicator back or take it away.
    const bool indicate = value && Active();
    Indicator->SetVisible(indicate);
    Indicator->SetAnimate(indicate);
    if (TrayIcon) TrayIcon->SetImageIndex(value ? 1 : 0);
}

void TFrmTidewell::Clean(bool alarm) {
    if (FIsRunning) return;
    SetIsRunning(true);

    // The worker holds the host, never the window: after a quit the window is
    // gone while the worker may still be inside the kernel calls.
    FormHost& host = host_;
    auto completion = [this, alarm] {
        NextTime = host_.Now();
        SetIsRunning(false);
        if (alarm) host_.ShowNotification(Caption(), Caption(), Translate(u"메모리를 정리하였습니다."));
    };
    try {
        host.StartWorker([&host, completion] {
            try {
                CleanMemory();
            } catch (...) {
                // The completion below must run whatever the cleaning did.
            }
            // False when the window is gone: the completion was dropped unrun and
            // nothing of the window may be touched here.
            (void)host.RunOnUiThread(completion);
        });
    } catch (...) {
        // No worker, so no completion will come: undo the busy display here,
        // or the button would stay disabled and the automatic cleaning off.
        SetIsRunning(false);
    }
}

void TFrmTidewell::BtnCleanClick(ui::TComponent* sender) {
    if (FIsRunning) return;
    // Only a click forwarded from the tray icon ends with a notification.
    Clean(sender != nullptr && sender->ClassName() == u"TTrayIcon");
}

}  // namespace tidewell
