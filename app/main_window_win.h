#pragma once
// The running instance's main window on Windows: the window of class
// "TFrmTidewell", its message handling, and the platform side of FormHost.

#include <windows.h>

#include <memory>

#include "app/form_host.h"
#include "app/frm_tidewell.h"
#include "ui/controls_win.h"

namespace tidewell {

namespace ui {
class TThemeHelper;
}

class MainWindow : public FormHost {
public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window (hidden) and runs the creation sequence.
    bool Create();
    // Shows the window unless the creation sequence hid it, then runs the
    // message loop until the window is gone.
    int Run(bool startHidden);

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] TFrmTidewell& Form() noexcept { return *form_; }

    // FormHost.
    Text FirstArgument() override;
    DateTime Now() override;
    NumberFormat LocaleNumberFormat() override;
    void StartWorker(std::function<void()> work) override;
    bool RunOnUiThread(std::function<void()> step) override;
    void CloseMainWindow() override;
    void ShowMainWindow() override;
    void HideMainWindow() override;
    void SetApplicationTitle(const Text& title) override;
    ui::TTrayIcon* CreateTrayIcon(ui::TForm& owner) override;
    void RepaintTrayIcon(ui::TTrayIcon& icon, bool reload) override;
    void AttachThemeHelper(ui::TForm& form) override;
    bool AskYesNo(const Text& text, const Text& title) override;
    void ShowNotification(const Text& name, const Text& title, const Text& body) override;
    void ShellOpen(const Text& target) override;
    Text VersionText(const Text& format) override;
    std::unique_ptr<ConfigStore> OpenConfig(const Text& path) override;
    bool InitializeCom() override;
    void UninitializeCom() override;
    void SetAutoStartTask(const Text& taskName, bool enable, int32_t delaySeconds) override;
    bool AutoStartTaskExists(const Text& taskName) override;
    bool EnablePrivilege(const Text& name, bool enable) override;
    void CheckUpdate(const Text& endpoint, std::function<void(bool, const Text&)> proc, int offset) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ThemeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    void OnClose();
    void CenterOnScreen();

    std::unique_ptr<TFrmTidewell> form_;
    std::unique_ptr<ui::FormWindow> window_;
    HWND hwnd_ = nullptr;
    UINT taskbarCreated_ = 0;
    ui::TThemeHelper* themeHelper_ = nullptr;
    WNDPROC oldWindowProc_ = nullptr;
};

// Makes the window the foreground window, restored if minimised.
void BringWindowToFront(HWND window);

}  // namespace tidewell
