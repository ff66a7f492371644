// The once-a-second status tick: the snapshot, the three status lines, the
// usage bar and the automatic cleaning decision.

#include "app/cleaning_policy.h"
#include "app/frm_tidewell.h"
#include "app/status_format.h"
#include "memory/memory_usage.h"

namespace tidewell {

void TFrmTidewell::TmrStatusTimer(ui::TComponent*) {
    // Stopped for the length of the tick so that ticks never nest.
    TmrStatus->SetEnabled(false);
    try {
        TMemoryUsage usage{};
        GetMemoryUsage(usage);

        const NumberFormat numbers = host_.LocaleNumberFormat();
        LblPhysStatus->SetCaption(PhysStatusLine(FmtPhysStatus, usage, numbers));
        LblVirtualStatus->SetCaption(PageStatusLine(usage, numbers));
        LblWorkingStatus->SetCaption(WorkingStatusLine(usage, numbers));
        ProgressBar->SetPosition(UsageBarPosition(usage.UsagePhys, ProgressBar->Min, ProgressBar->Max));

        if (!FIsRunning) {
            CleaningPolicyInput policy;
            policy.phys = {ChkUsagePhys->Checked(), EditUsagePhys->SelectedText(), usage.UsagePhys};
            policy.page = {ChkUsagePage->Checked(), EditUsagePage->SelectedText(), usage.UsagePage};
            policy.work = {ChkUsageWork->Checked(), EditUsageWork->SelectedText(), usage.UsageWork};
            policy.intervalEnabled = ChkMinute->Checked();
            policy.intervalMinutes = EditMinute->SelectedText();
            policy.now = host_.Now();
            policy.nextTime = NextTime;
            policy.running = FIsRunning;
            if (ShouldCleanAutomatically(policy)) Clean(false);
        }
    } catch (...) {
        // Whatever went wrong in this tick, the next one must still come: a
        // stopped timer would freeze the lines and the automatic cleaning for
        // the rest of the session.
        TmrStatus->SetEnabled(true);
        throw;
    }
    TmrStatus->SetEnabled(true);
}

}  // namespace tidewell
