#include "app/main_window_win.h"

#include <dwmapi.h>
#include <objbase.h>
#include <shellapi.h>

#include "app/ids.h"
#include "autostart/auto_start.h"
#include "base/command_line_win.h"
#include "base/ui_dispatch_win.h"
#include "base/wide_win.h"
#include "memory/privilege_win.h"
#include "settings/config_win.h"
#include "ui/theme_helper.h"
#include "update/check_update.h"
#include "update/update_dialog_win.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

constexpr wchar_t kThemeHelperProp[] = L"TidewellThemeHelper";

DateTime LocalNow() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return ToDateTime(CivilTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

Text LocaleText(LCTYPE type, const char16_t* fallback) {
    wchar_t buffer[16] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16) > 0) return FromWide(buffer);
    return fallback;
}

uint32_t SysColorRgb(int index) {
    const COLORREF c = ::GetSysColor(index);
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

}  // namespace

void BringWindowToFront(HWND window) {
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    HWND foreground = ::GetForegroundWindow();
    if (foreground == window) return;
    const DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
    const DWORD windowThread = ::GetWindowThreadProcessId(window, nullptr);
    if (!::AttachThreadInput(windowThread, foregroundThread, TRUE)) return;
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    ::AttachThreadInput(windowThread, foregroundThread, FALSE);
    if (::GetForegroundWindow() == window) return;
    // Windows refuses the foreground to a process the user is not working with;
    // lifting the lock time-out for the moment lets the second start's request through.
    DWORD saved = 0;
    ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(saved)),
                            SPIF_SENDCHANGE);
}

MainWindow::MainWindow() : form_(std::make_unique<TFrmTidewell>(*this)) {
    window_ = std::make_unique<ui::FormWindow>(*form_);
}

MainWindow::~MainWindow() {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    // The model's components take their peers (child windows, tray entry) with them.
    form_.reset();
    window_.reset();
}

bool MainWindow::Create() {
    ui::RegisterControlClasses();
    InstallUiDispatcher();
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &MainWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.hIconSm = static_cast<HICON>(::LoadImageW(wc.hInstance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = WidePtr(kMainWindowClass);
        registered = ::RegisterClassExW(&wc) != 0;
    }
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    hwnd_ = ::CreateWindowExW(exStyle, WidePtr(kMainWindowClass), WidePtr(form_->Caption()), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 500, 450, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;
    // The shell runs unelevated; without this its "taskbar created" broadcast
    // never reaches an elevated window, and the icon would not come back after
    // an Explorer restart.
    if (taskbarCreated_) (void)::ChangeWindowMessageFilterEx(hwnd_, taskbarCreated_, MSGFLT_ALLOW, nullptr);

    // The client area is 500 x 450 at 96 dpi, scaled to the window's monitor.
    const UINT dpi = ui::WindowDpi(hwnd_);
    RECT frame{0, 0, ui::Scale(form_->GetBounds().width, dpi), ui::Scale(form_->GetBounds().height, dpi)};
    ::AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOnScreen();

    window_->Realize(hwnd_);
    form_->FormCreate();
    return true;
}

void MainWindow::CenterOnScreen() {
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
    const int x = mi.rcWork.left + ((mi.rcWork.right - mi.rcWork.left) - (r.right - r.left)) / 2;
    const int y = mi.rcWork.top + ((mi.rcWork.bottom - mi.rcWork.top) - (r.bottom - r.top)) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::Run(bool startHidden) {
    if (!startHidden) {
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        form_->SetVisible(true);
        ::UpdateWindow(hwnd_);
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (hwnd_ && ::IsDialogMessageW(hwnd_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->HandleMessage(msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (msg) {
            case WM_CLOSE:
                OnClose();
                return 0;
            case WM_DESTROY:
                RequestTermination();
                ShutdownUiDispatcher();
                window_->Unrealize();
                ::PostQuitMessage(0);
                return 0;
            case WM_NCDESTROY: {
                HWND hwnd = hwnd_;
                ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                hwnd_ = nullptr;
                return ::DefWindowProcW(hwnd, msg, wParam, lParam);
            }
            case WM_USER:
                return form_->HandleInstanceCommand(wParam);
            case WM_QUERYENDSESSION:
                return form_->HandleQueryEndSession();
            case WM_ENDSESSION:
                // The session really ends: no time for queued messages.
                if (wParam && hwnd_) ::DestroyWindow(hwnd_);
                return 0;
            case WM_HELP:
                return 0;
            case WM_ACTIVATE:
                form_->SetActive(LOWORD(wParam) != WA_INACTIVE);
                break;
            case WM_COMMAND:
                if (window_->HandleCommand(wParam, lParam)) return 0;
                break;
            case WM_TIMER:
                if (window_->HandleTimer(wParam)) return 0;
                break;
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
                return reinterpret_cast<LRESULT>(
                    window_->HandleCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
            case WM_DPICHANGED: {
                window_->HandleDpiChanged(HIWORD(wParam));
                const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
                ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
                return 0;
            }
            default:
                if (msg == ids::WmTrayIcon) {
                    window_->HandleTrayMessage(lParam);
                    return 0;
                }
                if (taskbarCreated_ && msg == taskbarCreated_) {
                    window_->HandleTaskbarCreated();
                    return 0;
                }
                break;
        }
    } catch (...) {
        // A handler's failure must not unwind through the system's dispatch.
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void MainWindow::OnClose() {
    bool canClose = true;
    form_->FormCloseQuery(form_.get(), canClose);
    if (canClose) ::DestroyWindow(hwnd_);
}

// Theme helper: sees WM_SIZE and WM_ACTIVATE before the window's own procedure.
LRESULT CALLBACK MainWindow::ThemeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MainWindow*>(::GetPropW(hwnd, kThemeHelperProp));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    WNDPROC old = self->oldWindowProc_;
    if (self->themeHelper_) {
        try {
            self->themeHelper_->ThemeWindowProc(msg, wParam);
        } catch (...) {
        }
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        ::RemovePropW(hwnd, kThemeHelperProp);
        self->themeHelper_ = nullptr;
    }
    return ::CallWindowProcW(old, hwnd, msg, wParam, lParam);
}

Text MainWindow::FirstArgument() { return FirstCommandLineArgument(); }

DateTime MainWindow::Now() { return LocalNow(); }

NumberFormat MainWindow::LocaleNumberFormat() {
    return NumberFormat{LocaleText(LOCALE_STHOUSAND, u","), LocaleText(LOCALE_SDECIMAL, u".")};
}

void MainWindow::StartWorker(std::function<void()> work) { tidewell::StartWorker(std::move(work)); }

bool MainWindow::RunOnUiThread(std::function<void()> step) { return tidewell::RunOnUiThread(std::move(step)); }

void MainWindow::CloseMainWindow() {
    if (hwnd_) ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::ShowMainWindow() {
    if (!hwnd_ || !::IsWindow(hwnd_)) return;
    if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
    if (::GetSystemMetrics(SM_CMONITORS) > 0) {
        ::ShowWindow(hwnd_, SW_SHOW);
        form_->SetVisible(true);
        BringWindowToFront(hwnd_);
    }
}

void MainWindow::HideMainWindow() {
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
    form_->SetVisible(false);
}

void MainWindow::SetApplicationTitle(const Text& title) {
    // The update dialog takes its caption from the title and its owner from the window.
    SetUpdateDialogApplication(title, hwnd_);
}

ui::TTrayIcon* MainWindow::CreateTrayIcon(ui::TForm& owner) {
    auto* icon = new ui::TTrayIcon(&owner, u"");
    window_->RealizeComponent(*icon);
    return icon;
}

void MainWindow::RepaintTrayIcon(ui::TTrayIcon& icon, bool) {
    if (FirstArgument() != u"/start") return;
    // After a start at logon the shell may not show an icon added this early;
    // removing and adding it once a second later makes it appear.
    ui::TTrayIcon* target = &icon;
    tidewell::StartWorker([target] {
        bool done = false;
        while (!done && !TerminationRequested()) {
            ::Sleep(1000);
            if (!tidewell::RunOnUiThread([target, &done] {
                    try {
                        target->SetVisible(false);
                        target->SetVisible(true);
                        done = true;
                    } catch (...) {
                        // Not done: the next round, a second later, tries again.
                    }
                })) {
                return;  // the window is gone
            }
        }
    });
}

void MainWindow::AttachThemeHelper(ui::TForm& form) {
    themeHelper_ = new ui::TThemeHelper(&form, static_cast<int32_t>(SysColorRgb(COLOR_GRAYTEXT)));
    const BOOL dark = TRUE;
    // Requested whatever the system's own theme; systems without the attribute keep their title bar.
    (void)::DwmSetWindowAttribute(hwnd_, 20 /*DWMWA_USE_IMMERSIVE_DARK_MODE*/, &dark, sizeof(dark));
    window_->RealizeComponent(*themeHelper_->FShape);
    ::SetPropW(hwnd_, kThemeHelperProp, this);
    oldWindowProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::ThemeProc)));
    themeHelper_->UpdateAccentLine();
}

bool MainWindow::AskYesNo(const Text& text, const Text& title) {
    return ::MessageBoxW(nullptr, WidePtr(text), WidePtr(title),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND | MB_TOPMOST) == IDYES;
}

// Our notification centre: the tray icon's balloon, which Windows 10 and 11
// present as a toast with the application as its source. The name is what
// a toast would be filed under; a balloon needs none.
void MainWindow::ShowNotification(const Text&, const Text& title, const Text& body) {
    try {
        (void)window_->ShowBalloon(title, body);
    } catch (...) {
        // A notification that cannot be shown is not worth a message.
    }
}

void MainWindow::ShellOpen(const Text& target) { tidewell::ShellOpen(target); }

Text MainWindow::VersionText(const Text& format) { return tidewell::VersionText(format); }

std::unique_ptr<ConfigStore> MainWindow::OpenConfig(const Text& path) { return std::make_unique<TConfig>(path); }

bool MainWindow::InitializeCom() { return SUCCEEDED(::CoInitialize(nullptr)); }

void MainWindow::UninitializeCom() { ::CoUninitialize(); }

void MainWindow::SetAutoStartTask(const Text& taskName, bool enable, int32_t delaySeconds) {
    tidewell::SetAutoStartTask(taskName, enable, delaySeconds);
}

bool MainWindow::AutoStartTaskExists(const Text& taskName) { return tidewell::AutoStartTaskExists(taskName); }

bool MainWindow::EnablePrivilege(const Text& name, bool enable) { return tidewell::EnablePrivilege(name, enable); }

void MainWindow::CheckUpdate(const Text& endpoint, std::function<void(bool, const Text&)> proc, int offset) {
    tidewell::CheckUpdate(endpoint, std::move(proc), offset);
}

}  // namespace tidewell
