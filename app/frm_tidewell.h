#pragma once
// The main window: the one object the running instance hangs on. Its fields and
// named controls are used by the status tick, the clean flow, the options page,
// the tray icon and the commands of a second instance.

#include <memory>

#include "app/form_host.h"
#include "base/datetime.h"
#include "ui/widgets.h"

namespace tidewell {

inline constexpr char16_t kMainWindowClass[] = u"TFrmTidewell";
inline constexpr char16_t kAutoStartTaskName[] = u"TidewellTaskMachine";
inline constexpr char16_t kOptionsPath[] = u"Varnok\\Tidewell";

class TFrmTidewell : public ui::TForm {
public:
    // Builds the window from its definition; FormCreate has not run yet.
    explicit TFrmTidewell(FormHost& host);
    ~TFrmTidewell() override;

    [[nodiscard]] Text ClassName() const override { return kMainWindowClass; }

    // Fields, in this order.
    bool FCanClose = false;
    bool FIsRunning = false;
    DateTime NextTime = 0.0;
    ui::TTrayIcon* TrayIcon = nullptr;
    Text FmtPhysStatus;

    [[nodiscard]] bool IsRunning() const noexcept { return FIsRunning; }
    void SetIsRunning(bool value);

    // Header.
    ui::TPanel* PnlHead = nullptr;
    ui::TStyledToolBar* BtnHead = nullptr;
    ui::TStyledToolButton* BtnHome = nullptr;
    ui::TStyledToolButton* BtnConfig = nullptr;
    ui::TStyledToolButton* BtnDonate = nullptr;
    ui::TPanel* PnlLogo = nullptr;
    ui::TVectorImage* SVGIconImage1 = nullptr;
    // Pages.
    ui::TCardPanel* PnlMain = nullptr;
    ui::TCard* Card1 = nullptr;
    ui::TCard* Card2 = nullptr;
    // Home page.
    ui::TLabel* LblTitle = nullptr;
    ui::TProgressBar* ProgressBar = nullptr;
    ui::TLabel* LblPhys = nullptr;
    ui::TLabel* LblPhysStatus = nullptr;
    ui::TLabel* LblVirtual = nullptr;
    ui::TLabel* LblVirtualStatus = nullptr;
    ui::TLabel* LblWorking = nullptr;
    ui::TLabel* LblWorkingStatus = nullptr;
    ui::TStyledButton* BtnClean = nullptr;
    ui::TActivityIndicator* Indicator = nullptr;
    // Settings page.
    ui::TGroupBox* GroupBox1 = nullptr;
    ui::TCheckBox* ChkUsagePhys = nullptr;
    ui::TCheckBox* ChkMinute = nullptr;
    ui::TComboBox* EditUsagePhys = nullptr;
    ui::TComboBox* EditMinute = nullptr;
    ui::TCheckBox* ChkUsagePage = nullptr;
    ui::TComboBox* EditUsagePage = nullptr;
    ui::TCheckBox* ChkUsageWork = nullptr;
    ui::TComboBox* EditUsageWork = nullptr;
    ui::TGroupBox* GroupBox3 = nullptr;
    ui::TCheckBox* ChkAutoStart = nullptr;
    ui::TCheckBox* ChkCleanOnTray = nullptr;
    ui::TEdit* EditInfo = nullptr;
    // Without a place on screen.
    ui::TTimer* TmrStatus = nullptr;
    ui::TPopupMenu* Popup = nullptr;
    ui::TMenuItem* BtnOpen = nullptr;
    ui::TMenuItem* N2 = nullptr;
    ui::TMenuItem* BtnCopyright = nullptr;
    ui::TMenuItem* BtnClose = nullptr;
    ui::TImageList* ListIcon = nullptr;

    // Lifecycle and commands (app/frm_tidewell_lifecycle.cpp).
    void FormCreate();
    void FormCloseQuery(ui::TComponent* sender, bool& canClose);
    void BtnOpenClick(ui::TComponent* sender);
    void BtnCloseClick(ui::TComponent* sender);
    void TrayIconClick(ui::TComponent* sender);
    // WM_USER from a second instance: 1 shows the window, 2 removes the task and quits.
    [[nodiscard]] long HandleInstanceCommand(unsigned long long wParam);
    // WM_QUERYENDSESSION: the session may end; the program quits without asking.
    [[nodiscard]] long HandleQueryEndSession();
    void UpdateCheckDone(bool accepted, const Text& data);

    // Status tick (app/status_refresh.cpp).
    void TmrStatusTimer(ui::TComponent* sender);

    // Clean flow (memory/clean_flow.cpp).
    void Clean(bool alarm);
    void BtnCleanClick(ui::TComponent* sender);

    // Options (settings/options_page.cpp).
    void LoadConfig();
    void SaveConfig(const Text& name, int32_t value);
    void SaveConfig(const Text& name, bool value);
    void SaveConfig(const Text& name, const Text& value);
    // A literal would pick the Boolean overload; say Text explicitly.
    void SaveConfig(const Text& name, const char16_t* value) = delete;
    void ChkUsagePhysClick(ui::TComponent* sender);
    void ChkUsagePageClick(ui::TComponent* sender);
    void ChkUsageWorkClick(ui::TComponent* sender);
    void ChkMinuteClick(ui::TComponent* sender);
    void ChkCleanOnTrayClick(ui::TComponent* sender);
    void ChkAutoStartClick(ui::TComponent* sender);
    void EditUsagePhysChange(ui::TComponent* sender);
    void EditUsagePageChange(ui::TComponent* sender);
    void EditUsageWorkChange(ui::TComponent* sender);
    void EditMinuteChange(ui::TComponent* sender);

    // Layout and navigation (app/frm_tidewell_navigation.cpp).
    void BtnHomeClick(ui::TComponent* sender);
    void SVGIconImage1Click(ui::TComponent* sender);
    void BtnCopyrightClick(ui::TComponent* sender);
    void EditInfoClick(ui::TComponent* sender);

    [[nodiscard]] FormHost& Host() noexcept { return host_; }

private:
    void BuildFromDefinition();
    void WireHandlers();

    FormHost& host_;
};

}  // namespace tidewell
