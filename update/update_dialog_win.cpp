// The update question as a modal window of its own: warning icon, question,
// Yes and No, and below them an optional notice strip with a "hold" check box
// or a link.

#include "update/update_dialog_win.h"

#include <algorithm>
#include <mutex>

#include "base/scoped_win.h"
#include "base/ui_dispatch_win.h"
#include "base/wide_win.h"
#include "i18n/translation.h"
#include "resources/resource_ids.h"
#include "update/service_contract.h"
#include "update/service_values.h"
#include "update/update_exchange_hooks.h"
#include "update/update_prompt.h"
#include "update/web_address.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

using namespace update_dialog;

constexpr wchar_t kLinkAddressProp[] = L"TidewellLinkAddress";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr COLORREF kSeparatorColor = RGB(204, 204, 204);
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

// The message-box part, in logical pixels.
constexpr int kIconLeft = 20;
constexpr int kIconTop = 20;
constexpr int kIconSize = 32;
constexpr int kTextGap = 14;
constexpr int kTextMaxWidth = 360;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;
constexpr int kButtonsAbove = 18;
constexpr int kRightMargin = 12;
constexpr int kBottomMargin = 14;
constexpr int kMinClientWidth = 280;
// The notice strip; the offsets are relative to the dialog's outer height.
constexpr int kStripHeight = 40;
constexpr int kSeparatorFromBottom = 76;
constexpr int kNoticeFromBottom = 66;
constexpr int kNoticeLeft = 10;
constexpr int kNoticeHeight = 17;

Text g_title = u"Tidewell";
HWND g_mainWindow = nullptr;

void RegisterDialogClass(WNDPROC proc) {
    static std::once_flag once;
    std::call_once(once, [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClassName;
        ::RegisterClassExW(&wc);
    });
}

class UpdateDialogWindow {
public:
    explicit UpdateDialogWindow(NoticeFields notice) : notice_(std::move(notice)) {}
    UpdateDialogWindow(const UpdateDialogWindow&) = delete;
    UpdateDialogWindow& operator=(const UpdateDialogWindow&) = delete;
    ~UpdateDialogWindow() {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }

    bool Run();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    [[nodiscard]] int Scale(int logical) const { return ::MulDiv(logical, static_cast<int>(dpi_), 96); }
    HWND Child(const wchar_t* cls, const Text& text, DWORD style, int id);
    void CreateControls();
    void Arrange(bool stayOnTop);
    SIZE MeasureText(const Text& text, HFONT font, int maxWidth, UINT flags) const;
    void Finish(bool yes) {
        result_ = yes;
        done_ = true;
    }

    NoticeFields notice_;
    HWND hwnd_ = nullptr;
    HWND icon_ = nullptr;
    HWND question_ = nullptr;
    HWND yes_ = nullptr;
    HWND no_ = nullptr;
    HWND separator_ = nullptr;
    HWND holdBox_ = nullptr;
    HWND link_ = nullptr;
    UniqueFont font_;
    UniqueFont linkFont_;
    UniqueBrush white_{::CreateSolidBrush(RGB(255, 255, 255))};
    UniqueBrush grey_{::CreateSolidBrush(kSeparatorColor)};
    UniqueIcon smallIcon_;
    HICON warning_ = nullptr;  // shared system icon, not destroyed
    UINT dpi_ = 96;
    bool done_ = false;
    bool result_ = false;
};

LRESULT CALLBACK UpdateDialogWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<UpdateDialogWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<UpdateDialogWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    try {
        return self->Handle(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the window manager.
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT UpdateDialogWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDYES) {
                Finish(true);
            } else if (id == IDNO || id == IDCANCEL) {
                Finish(false);
            } else if (id == NoteLink && HIWORD(wParam) == STN_CLICKED) {
                TFormHelper::OpenURL(reinterpret_cast<HWND>(lParam));
            }
            return 0;
        }
        case WM_CLOSE:
            Finish(false);
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(IDYES, DC_HASDEFID);
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetBkColor(dc, RGB(255, 255, 255));
            if (reinterpret_cast<HWND>(lParam) == link_) ::SetTextColor(dc, kLinkColor);
            return reinterpret_cast<LRESULT>(white_.get());
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != Separator) break;
            ::FillRect(item->hDC, &item->rcItem, grey_.get());
            return TRUE;
        }
        case WM_SETCURSOR:
            if (link_ && reinterpret_cast<HWND>(wParam) == link_) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

HWND UpdateDialogWindow::Child(const wchar_t* cls, const Text& text, DWORD style, int id) {
    HWND child =
        ::CreateWindowExW(0, cls, WidePtr(text), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return child;
}

void UpdateDialogWindow::CreateControls() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_)) {
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    LOGFONTW underlined = metrics.lfMessageFont;
    underlined.lfUnderline = TRUE;
    linkFont_.reset(::CreateFontIndirectW(&underlined));

    warning_ = static_cast<HICON>(
        ::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, Scale(kIconSize), Scale(kIconSize), LR_SHARED));
    if (!warning_) warning_ = ::LoadIconW(nullptr, IDI_WARNING);
    icon_ = Child(L"STATIC", u"", SS_ICON | SS_REALSIZECONTROL, Icon);
    ::SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(warning_), 0);

    question_ = Child(L"STATIC", UpdatePromptText(PromptKind::Question), SS_LEFT | SS_NOPREFIX, Question);
    yes_ = Child(L"BUTTON", UpdatePromptText(PromptKind::Yes), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES);
    no_ = Child(L"BUTTON", UpdatePromptText(PromptKind::No), BS_PUSHBUTTON | WS_TABSTOP, IDNO);

    if (notice_.style.empty()) return;
    separator_ = Child(L"STATIC", u"", SS_OWNERDRAW, Separator);
    if (notice_.style == u"hold") {
        holdBox_ = Child(L"BUTTON", notice_.text, BS_AUTOCHECKBOX | WS_TABSTOP, HoldBox);
    } else if (notice_.style == u"note") {
        link_ = Child(L"STATIC", notice_.text, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, NoteLink);
        ::SendMessageW(link_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
        ::SetPropW(link_, kLinkAddressProp, &notice_.url);
    }
}

SIZE UpdateDialogWindow::MeasureText(const Text& text, HFONT font, int maxWidth, UINT flags) const {
    HDC dc = ::GetDC(hwnd_);
    const HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{0, 0, maxWidth, 0};
    const std::wstring wide = ToWide(text.empty() ? Text(u" ") : text);
    ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, flags | DT_CALCRECT | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd_, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void UpdateDialogWindow::Arrange(bool stayOnTop) {
    const int iconSize = Scale(kIconSize);
    const int textLeft = Scale(kIconLeft) + iconSize + Scale(kTextGap);
    const SIZE text = MeasureText(UpdatePromptText(PromptKind::Question), font_.get(), Scale(kTextMaxWidth),
                                  DT_WORDBREAK | DT_EXPANDTABS);
    const int contentHeight = std::max<int>(iconSize, text.cy);
    const int textTop = Scale(kIconTop) + (contentHeight - text.cy) / 2;
    const int iconTop = Scale(kIconTop) + (contentHeight - iconSize) / 2;

    int buttonWidth = Scale(kButtonWidth);
    for (PromptKind kind : {PromptKind::Yes, PromptKind::No}) {
        buttonWidth = std::max<int>(
            buttonWidth, MeasureText(UpdatePromptText(kind), font_.get(), 10000, DT_SINGLELINE).cx + Scale(24));
    }
    const int buttonsWidth = 2 * buttonWidth + Scale(kButtonGap);
    const int buttonTop = Scale(kIconTop) + contentHeight + Scale(kButtonsAbove);
    const int clientWidth = std::max({textLeft + static_cast<int>(text.cx) + Scale(kIconLeft),
                                      Scale(kIconLeft) + buttonsWidth + Scale(kRightMargin), Scale(kMinClientWidth)});
    const int clientHeight = buttonTop + Scale(kButtonHeight) + Scale(kBottomMargin);

    RECT outer{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectExForDpi(&outer, kStyle, FALSE, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)),
                               dpi_);
    const int outerWidth = outer.right - outer.left;
    int outerHeight = outer.bottom - outer.top;

    ::MoveWindow(icon_, Scale(kIconLeft), iconTop, iconSize, iconSize, FALSE);
    ::MoveWindow(question_, textLeft, textTop, text.cx, text.cy, FALSE);
    const int yesLeft = clientWidth - Scale(kRightMargin) - buttonsWidth;
    ::MoveWindow(yes_, yesLeft, buttonTop, buttonWidth, Scale(kButtonHeight), FALSE);
    ::MoveWindow(no_, yesLeft + buttonWidth + Scale(kButtonGap), buttonTop, buttonWidth, Scale(kButtonHeight), FALSE);

    if (separator_) {
        const int offset = ServiceLayoutOffset();
        outerHeight += Scale(kStripHeight - offset);
        ::MoveWindow(separator_, 0, outerHeight - Scale(kSeparatorFromBottom - offset), outerWidth,
                     std::max(1, Scale(1)), FALSE);
        const int noticeTop = outerHeight - Scale(kNoticeFromBottom - offset);
        if (holdBox_) ::MoveWindow(holdBox_, Scale(kNoticeLeft), noticeTop, outerWidth, Scale(kNoticeHeight), FALSE);
        if (link_) {
            const SIZE caption = MeasureText(notice_.text, linkFont_.get(), 10000, DT_SINGLELINE);
            ::MoveWindow(link_, Scale(kNoticeLeft), noticeTop, caption.cx,
                         std::max<int>(caption.cy, Scale(kNoticeHeight)), FALSE);
        }
    }

    // Centred on the work area of the screen the dialog starts on.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = work.left + (work.right - work.left - outerWidth) / 2;
    const int top = work.top + (work.bottom - work.top - outerHeight) / 2;
    ::SetWindowPos(hwnd_, stayOnTop ? HWND_TOPMOST : nullptr, left, top, outerWidth, outerHeight,
                   SWP_NOACTIVATE | (stayOnTop ? 0 : SWP_NOZORDER));
}

bool UpdateDialogWindow::Run() {
    RegisterDialogClass(&UpdateDialogWindow::Proc);
    HWND mainWindow = g_mainWindow && ::IsWindow(g_mainWindow) ? g_mainWindow : nullptr;
    const bool mainShown = mainWindow && ::IsWindowVisible(mainWindow);
    const bool stayOnTop = notice_.flag.find(u"stayontop") != Text::npos;

    const Text caption = Translate(g_title);
    if (!::CreateWindowExW(kExStyle, kClassName, WidePtr(caption), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                           mainWindow, nullptr, ::GetModuleHandleW(nullptr), this)) {
        return false;
    }
    dpi_ = ::GetDpiForWindow(hwnd_);
    if (dpi_ == 0) dpi_ = 96;

    if (stayOnTop && !mainShown) {
        // Nothing of the program is on screen: the dialog stands on its own on the taskbar.
        const int size = ::GetSystemMetricsForDpi(SM_CXSMICON, dpi_);
        smallIcon_.reset(static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TIDEWELL), IMAGE_ICON, size, size, 0)));
        if (smallIcon_) ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
        ::SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, 0);
    }

    CreateControls();
    Arrange(stayOnTop);

    const bool mainWasEnabled = mainWindow && !::EnableWindow(mainWindow, FALSE);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    ::SetFocus(yes_);

    MSG msg;
    while (!done_ && hwnd_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request to the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!::IsDialogMessageW(hwnd_, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    const bool hold = holdBox_ && ::SendMessageW(holdBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (mainWasEnabled) ::EnableWindow(mainWindow, TRUE);
    if (link_) ::RemovePropW(link_, kLinkAddressProp);
    if (hwnd_) ::DestroyWindow(hwnd_);

    if (hold) {
        StartWorker([] {
            Text ignored;
            (void)HttpGetText(HoldRequestHeaders(VersionText(Text(kServiceVersionFormat))), ignored);
        });
    }
    return result_;
}

}  // namespace

void SetUpdateDialogApplication(const Text& title, HWND mainWindow) {
    g_title = title;
    g_mainWindow = mainWindow;
}

void TFormHelper::OpenURL(HWND control) {
    const auto* address = static_cast<const Text*>(::GetPropW(control, kLinkAddressProp));
    if (!address || !IsWebAddress(*address)) return;
    const UpdateExchangeHooks hooks = CurrentUpdateExchangeHooks();
    if (hooks.shellOpen) hooks.shellOpen(*address);
}

bool UpdateDialog(const Text& answer) {
    // Decoded before anything is created: a malformed escape shows nothing.
    UpdateDialogWindow dialog(AnswerNotice(answer));
    return dialog.Run();
}

}  // namespace tidewell
