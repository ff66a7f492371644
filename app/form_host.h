#pragma once
// What the main window asks of the platform. The window's rules (creation
// sequence, options, status tick, clean flow) are written against this
// interface; app/form_host_win.h is the Windows side and tests use fakes.

#include <functional>
#include <memory>

#include "base/datetime.h"
#include "base/text.h"
#include "settings/config_store.h"

namespace tidewell {

namespace ui {
class TComponent;
class TForm;
class TTrayIcon;
}  // namespace ui

// The user's locale's separators for the status lines.
struct NumberFormat {
    Text thousandSeparator = u",";
    Text decimalSeparator = u".";
};

class FormHost {
public:
    virtual ~FormHost() = default;

    // The first command-line argument, exactly as given ("" when none).
    [[nodiscard]] virtual Text FirstArgument() = 0;
    // Current local date-time.
    [[nodiscard]] virtual DateTime Now() = 0;
    [[nodiscard]] virtual NumberFormat LocaleNumberFormat() = 0;

    // A self-freeing worker thread running one procedure.
    virtual void StartWorker(std::function<void()> work) = 0;
    // From a worker: runs the step on the user-interface thread and waits until
    // it has run. When the window is already gone the step is dropped and the
    // result is false.
    virtual bool RunOnUiThread(std::function<void()> step) = 0;

    // Window operations.
    virtual void CloseMainWindow() = 0;  // a close request: the form's close query decides
    virtual void ShowMainWindow() = 0;
    virtual void HideMainWindow() = 0;
    virtual void SetApplicationTitle(const Text& title) = 0;
    // Creates the notification-area icon, owned by the form.
    [[nodiscard]] virtual ui::TTrayIcon* CreateTrayIcon(ui::TForm& owner) = 0;
    // Re-shows the tray icon a second after a start at logon.
    virtual void RepaintTrayIcon(ui::TTrayIcon& icon, bool reload) = 0;
    virtual void AttachThemeHelper(ui::TForm& form) = 0;
    // Yes/No question with No as the default; true for Yes.
    [[nodiscard]] virtual bool AskYesNo(const Text& text, const Text& title) = 0;
    // A toast: name (the application title), title (the window caption), body.
    virtual void ShowNotification(const Text& name, const Text& title, const Text& body) = 0;
    virtual void ShellOpen(const Text& target) = 0;

    // The executable's file version through a printf-style pattern.
    [[nodiscard]] virtual Text VersionText(const Text& format) = 0;

    // The registry store of one key under HKEY_CURRENT_USER\Software.
    [[nodiscard]] virtual std::unique_ptr<ConfigStore> OpenConfig(const Text& path) = 0;

    // COM for the calling thread; callers bracket the auto-start calls with these.
    [[nodiscard]] virtual bool InitializeCom() = 0;
    virtual void UninitializeCom() = 0;
    virtual void SetAutoStartTask(const Text& taskName, bool enable, int32_t delaySeconds) = 0;
    [[nodiscard]] virtual bool AutoStartTaskExists(const Text& taskName) = 0;

    [[nodiscard]] virtual bool EnablePrivilege(const Text& name, bool enable) = 0;

    // Starts the update and notice exchange; the callback runs once on the
    // user-interface thread (see update/check_update.h).
    virtual void CheckUpdate(const Text& endpoint, std::function<void(bool, const Text&)> proc, int offset) = 0;
};

}  // namespace tidewell
