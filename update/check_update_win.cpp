// The start-up exchange wired to the worker threads, WinHTTP, the dialog and the shell.

#include <windows.h>

#include <mutex>

#include "base/ui_dispatch_win.h"
#include "i18n/translation.h"
#include "update/check_update.h"
#include "update/service_values.h"
#include "update/update_dialog.h"
#include "update/update_exchange.h"
#include "update/update_exchange_hooks.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

constexpr DWORD kSliceMs = 10;

std::mutex g_hooksMutex;

UpdateExchangeHooks& Hooks() {
    static UpdateExchangeHooks hooks = DefaultUpdateExchangeHooks();
    return hooks;
}

}  // namespace

UpdateExchangeHooks DefaultUpdateExchangeHooks() {
    UpdateExchangeHooks hooks;
    hooks.sleepSlice = [] { ::Sleep(kSliceMs); };
    hooks.updateDialog = [](const Text& answer) { return UpdateDialog(answer); };
    hooks.shellOpen = [](const Text& address) { ShellOpen(address); };
    return hooks;
}

UpdateExchangeHooks CurrentUpdateExchangeHooks() {
    std::lock_guard lock(g_hooksMutex);
    return Hooks();
}

void SetUpdateExchangeHooks(UpdateExchangeHooks hooks) {
    std::lock_guard lock(g_hooksMutex);
    Hooks() = std::move(hooks);
}

void CheckUpdate(const Text& endpoint, std::function<void(bool, const Text&)> proc, int offset) {
    SetServiceValues(endpoint, offset);
    // The language is read here, on the user-interface thread that owns it;
    // the other header values are read by the worker.
    const Text language = CurrentLanguage();
    StartWorker([hooks = CurrentUpdateExchangeHooks(), language, proc = std::move(proc)] {
        ExchangeSteps steps;
        steps.buildHeaders = [&language] {
            return CheckRequestHeaders(VersionText(Text(kServiceVersionFormat)), language, ReadClientId());
        };
        steps.httpGet = [](const HeaderList& headers, Text& answer) { return HttpGetText(headers, answer); };
        steps.beforeAttempt = hooks.beforeAttempt;
        steps.terminationRequested = [] { return TerminationRequested(); };
        steps.sleepSlice = hooks.sleepSlice;
        steps.runOnUiThread = [](std::function<void()> step) { return RunOnUiThread(std::move(step)); };
        steps.updateDialog = hooks.updateDialog;
        steps.shellOpen = hooks.shellOpen;
        RunUpdateExchange(steps, proc);
    });
}

}  // namespace tidewell
