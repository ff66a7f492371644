#include "ui/controls_win.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <oleacc.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <cmath>

#include "app/ids.h"
#include "base/wide_win.h"
#include "ui/button_styles.h"
#include "ui/layout.h"

namespace tidewell::ui {
namespace {

constexpr wchar_t kControlClass[] = L"TidewellControl";
constexpr UINT kTrayIconId = 1;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

Gdiplus::Color GdipColor(Rgb rgb) {
    return Gdiplus::Color(255, static_cast<BYTE>((rgb >> 16) & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                          static_cast<BYTE>(rgb & 0xFF));
}

void AddRoundRect(Gdiplus::GraphicsPath& path, Gdiplus::RectF r, float radius) {
    const float d = radius * 2;
    if (d <= 0) {
        path.AddRectangle(r);
        return;
    }
    path.AddArc(r.X, r.Y, d, d, 180, 90);
    path.AddArc(r.X + r.Width - d, r.Y, d, d, 270, 90);
    path.AddArc(r.X + r.Width - d, r.Y + r.Height - d, d, d, 0, 90);
    path.AddArc(r.X, r.Y + r.Height - d, d, d, 90, 90);
    path.CloseFigure();
}

// Paints into a memory bitmap first, so the once-a-second refresh never flickers.
class BufferedPaint {
public:
    explicit BufferedPaint(HWND hwnd) : hwnd_(hwnd) {
        target_ = ::BeginPaint(hwnd, &ps_);
        ::GetClientRect(hwnd, &rect_);
        dc_ = ::CreateCompatibleDC(target_);
        bitmap_ = ::CreateCompatibleBitmap(target_, std::max<LONG>(1, rect_.right), std::max<LONG>(1, rect_.bottom));
        old_ = ::SelectObject(dc_, bitmap_);
    }
    ~BufferedPaint() {
        ::BitBlt(target_, 0, 0, rect_.right, rect_.bottom, dc_, 0, 0, SRCCOPY);
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
        ::EndPaint(hwnd_, &ps_);
    }
    [[nodiscard]] HDC Dc() const { return dc_; }
    [[nodiscard]] const RECT& Rect() const { return rect_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC target_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    RECT rect_{};
};

// Peers of the program's own window class paint and handle input themselves.
class CustomPeer : public ControlPeerWin {
public:
    using ControlPeerWin::ControlPeerWin;
    void Create(DWORD style, DWORD exStyle = 0) {
        const Text caption = control_.HasCaption() ? control_.Caption() : control_.AccessibleName();
        HWND hwnd = ::CreateWindowExW(exStyle, kControlClass, WidePtr(caption), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0,
                                      0, 0, form_.ParentHwndOf(control_),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_.ControlId())), Instance(),
                                      this);
        Attach(hwnd);
    }
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_PAINT: {
                BufferedPaint paint(hwnd_);
                ::FillRect(paint.Dc(), &paint.Rect(), form_.BackgroundBrush());
                Paint(paint.Dc(), paint.Rect());
                return 0;
            }
            case WM_ERASEBKGND:
                return 1;
            case WM_SETCURSOR:
                if (control_.HandCursor) {
                    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                }
                break;
            case WM_LBUTTONUP:
                if (clickable_) control_.Click();
                return 0;
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
                // Containers pass their children's notifications up to the form.
                return ::SendMessageW(form_.Hwnd(), msg, wParam, lParam);
            default:
                break;
        }
        return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
    virtual void Paint(HDC, const RECT&) {}
    void SyncOther(Aspect) override { ::InvalidateRect(hwnd_, nullptr, FALSE); }

protected:
    bool clickable_ = false;
};

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* peer = reinterpret_cast<CustomPeer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!peer || !peer->Hwnd()) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return peer->WndProc(msg, wParam, lParam);
}

class ContainerPeer : public CustomPeer {
public:
    ContainerPeer(FormWindow& form, TControl& control, bool groupFrame)
        : CustomPeer(form, control), groupFrame_(groupFrame) {
        Create(WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
    }
    void Paint(HDC dc, const RECT& rect) override {
        if (!groupFrame_) return;
        HGDIOBJ old = ::SelectObject(dc, form_.Font());
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc, &tm);
        RECT frame = rect;
        frame.top = tm.tmHeight / 2;
        ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        const std::wstring caption = ToWide(control_.Caption());
        SIZE size{};
        ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        RECT text{form_.Px(8), 0, form_.Px(8) + size.cx + form_.Px(4), tm.tmHeight};
        ::FillRect(dc, &text, form_.BackgroundBrush());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        text.left += form_.Px(2);
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
    void SyncOther(Aspect aspect) override {
        if (aspect == Aspect::Caption || aspect == Aspect::Font) ::InvalidateRect(hwnd_, nullptr, FALSE);
    }

private:
    bool groupFrame_;
};

// The styled buttons and the header's tool buttons.
class StyledButtonPeer : public CustomPeer {
public:
    StyledButtonPeer(FormWindow& form, TControl& control, Text appearance, int radius, bool flat, bool tabStop)
        : CustomPeer(form, control), radius_(radius), flat_(flat) {
        TVarnokButtonStyles::UpdateAttributes(TVarnokButtonStyles::FamilyName(), u"Primary", appearance, styles_);
        Create(tabStop ? WS_TABSTOP : 0);
    }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_MOUSEMOVE:
                if (!hot_) {
                    hot_ = true;
                    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
                    ::TrackMouseEvent(&track);
                    ::InvalidateRect(hwnd_, nullptr, FALSE);
                }
                return 0;
            case WM_MOUSELEAVE:
                hot_ = false;
                ::InvalidateRect(hwnd_, nullptr, FALSE);
                return 0;
            case WM_LBUTTONDOWN:
                held_ = true;
                ::SetCapture(hwnd_);
                ::InvalidateRect(hwnd_, nullptr, FALSE);
                return 0;
            case WM_LBUTTONUP: {
                const bool wasHeld = held_;
                held_ = false;
                ::ReleaseCapture();
                ::InvalidateRect(hwnd_, nullptr, FALSE);
                POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                RECT r;
                ::GetClientRect(hwnd_, &r);
                if (wasHeld && ::PtInRect(&r, p) && ::IsWindowEnabled(hwnd_)) control_.Click();
                return 0;
            }
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
            case WM_ENABLE:
                ::InvalidateRect(hwnd_, nullptr, FALSE);
                break;
            case WM_GETDLGCODE:
                return DLGC_BUTTON;
            case WM_KEYDOWN:
                if (wParam == VK_SPACE || wParam == VK_RETURN) keyHeld_ = true;
                return 0;
            case WM_KEYUP:
                // Only a key pressed on this button clicks it, as a mouse press must start here too.
                if ((wParam == VK_SPACE || wParam == VK_RETURN) && keyHeld_ && ::IsWindowEnabled(hwnd_)) {
                    keyHeld_ = false;
                    control_.Click();
                }
                return 0;
            case BM_CLICK:
                // Automation and tests press the button the way the user does.
                if (::IsWindowEnabled(hwnd_)) control_.Click();
                return 0;
            default:
                break;
        }
        return CustomPeer::WndProc(msg, wParam, lParam);
    }
    void Paint(HDC dc, const RECT& rect) override {
        auto* toolButton = dynamic_cast<TStyledToolButton*>(&control_);
        const bool down = held_ || (toolButton && toolButton->Down());
        const bool focused = ::GetFocus() == hwnd_;
        const ButtonAttributes& a = styles_.For(ChooseButtonState(control_.Enabled(), down, focused, hot_));
        {
            Gdiplus::Graphics g(dc);
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            Gdiplus::GraphicsPath path;
            const float radius = static_cast<float>(form_.Px(radius_));
            AddRoundRect(path, Gdiplus::RectF(0.5f, 0.5f, static_cast<float>(rect.right) - 1.5f,
                                              static_cast<float>(rect.bottom) - 1.5f), radius);
            if (a.fill == FillStyle::Solid) {
                Gdiplus::SolidBrush brush(GdipColor(a.fillColor));
                g.FillPath(&brush, &path);
            }
            // A flat bar's buttons draw their border only under the mouse or with the focus.
            const bool showBorder = a.border == BorderStyleKind::Solid && (!flat_ || hot_ || focused);
            if (showBorder) {
                Gdiplus::Pen pen(GdipColor(a.borderColor), 1.0f);
                g.DrawPath(&pen, &path);
            }
        }
        const std::wstring caption = ToWide(control_.Caption());
        HGDIOBJ old = ::SelectObject(dc, form_.Font());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(a.fontColor));
        RECT text = rect;
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
    void SyncOther(Aspect) override { ::InvalidateRect(hwnd_, nullptr, FALSE); }

private:
    ButtonStyleSet styles_;
    int radius_;
    bool flat_;
    bool hot_ = false;
    bool held_ = false;
    bool keyHeld_ = false;
};

class IndicatorPeer : public CustomPeer {
public:
    IndicatorPeer(FormWindow& form, TActivityIndicator& control) : CustomPeer(form, control), indicator_(control) {
        Create(0);
        SyncOther(Aspect::Animating);
    }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER && wParam == ids::IndicatorAnimation) {
            step_ = (step_ + 1) % 8;
            ::InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        }
        return CustomPeer::WndProc(msg, wParam, lParam);
    }
    void Paint(HDC dc, const RECT& rect) override {
        Gdiplus::Graphics g(dc);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const float cx = rect.right / 2.0f, cy = rect.bottom / 2.0f;
        const float orbit = std::min(cx, cy) * 0.68f, dot = std::min(cx, cy) * 0.26f;
        for (int i = 0; i < 8; ++i) {
            const int age = (step_ - i + 8) % 8;
            const BYTE alpha = static_cast<BYTE>(indicator_.Animate() ? 255 - age * 28 : 80);
            Gdiplus::SolidBrush brush(Gdiplus::Color(alpha, 0, 0, 0));
            const double angle = i * 3.14159265358979 / 4;
            g.FillEllipse(&brush, cx + orbit * static_cast<float>(std::cos(angle)) - dot / 2,
                          cy + orbit * static_cast<float>(std::sin(angle)) - dot / 2, dot, dot);
        }
    }
    void SyncOther(Aspect aspect) override {
        if (aspect == Aspect::Animating) {
            if (indicator_.Animate()) {
                ::SetTimer(hwnd_, ids::IndicatorAnimation, 100, nullptr);
            } else {
                ::KillTimer(hwnd_, ids::IndicatorAnimation);
            }
        }
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    }

private:
    TActivityIndicator& indicator_;
    int step_ = 0;
};

class ShapePeer : public CustomPeer {
public:
    ShapePeer(FormWindow& form, TShape& shape) : CustomPeer(form, shape), shape_(shape) { Create(0); }
    void Paint(HDC dc, const RECT& rect) override {
        UniqueBrush fill(::CreateSolidBrush(ToColorRef(static_cast<uint32_t>(shape_.BrushColor()))));
        ::FillRect(dc, &rect, fill.get());
    }

private:
    TShape& shape_;
};

// The logo: three waves in the accent blue beside the chip of the tray icon.
class VectorImagePeer : public CustomPeer {
public:
    VectorImagePeer(FormWindow& form, TControl& control) : CustomPeer(form, control) {
        clickable_ = true;
        Create(0);
    }
    void Paint(HDC dc, const RECT& rect) override {
        Gdiplus::Graphics g(dc);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const float w = static_cast<float>(rect.right), h = static_cast<float>(rect.bottom);
        const Rgb colors[] = {0x3D84DD, 0x5090E0, 0x9EC2EE};
        for (int k = 0; k < 3; ++k) {
            Gdiplus::Pen pen(GdipColor(colors[k]), h * 0.07f);
            pen.SetStartCap(Gdiplus::LineCapRound);
            pen.SetEndCap(Gdiplus::LineCapRound);
            const float y = h * (0.36f + 0.17f * static_cast<float>(k));
            const float a = h * 0.09f;
            g.DrawBezier(&pen, w * 0.08f, y, w * 0.3f, y - a, w * 0.45f, y + a, w * 0.62f, y);
            g.DrawBezier(&pen, w * 0.62f, y, w * 0.72f, y - a, w * 0.82f, y - a * 0.5f, w * 0.92f, y);
        }
    }
};

// Standard Win32 controls.
class StandardPeer : public ControlPeerWin {
public:
    StandardPeer(FormWindow& form, TControl& control, const wchar_t* windowClass, DWORD style, const Text& text,
                 DWORD exStyle = 0)
        : ControlPeerWin(form, control) {
        HWND hwnd = ::CreateWindowExW(exStyle, windowClass, WidePtr(text), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0,
                                      0, 0, form.ParentHwndOf(control),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.ControlId())), Instance(),
                                      nullptr);
        Attach(hwnd);
    }
};

class LabelPeer : public StandardPeer {
public:
    LabelPeer(FormWindow& form, TLabel& label)
        : StandardPeer(form, label, L"STATIC", SS_NOPREFIX | (label.Centered ? SS_CENTER : SS_LEFT), label.Caption()),
          label_(label) {}
    void ApplyFont(HFONT font) override {
        if (!label_.FontFace.empty()) {
            // Its own font: the large title, anti-aliased.
            LOGFONTW lf{};
            lf.lfHeight = -form_.Px(label_.FontHeight);
            lf.lfQuality = ANTIALIASED_QUALITY;
            lf.lfCharSet = DEFAULT_CHARSET;
            wcsncpy(lf.lfFaceName, WidePtr(label_.FontFace), LF_FACESIZE - 1);
            UniqueFont previous = std::move(ownFont_);  // deleted only after the label has the new one
            ownFont_.reset(::CreateFontIndirectW(&lf));
            font = ownFont_.get();
            ControlPeerWin::ApplyFont(font);
            Reposition();
            return;
        }
        ControlPeerWin::ApplyFont(font);
        Reposition();
    }
    void SyncOther(Aspect) override {}
    void Sync(Aspect aspect) override {
        ControlPeerWin::Sync(aspect);
        if (aspect == Aspect::Caption) Reposition();
    }

private:
    TLabel& label_;
    UniqueFont ownFont_;
};

class CheckBoxPeer : public StandardPeer {
public:
    CheckBoxPeer(FormWindow& form, TCheckBox& box)
        : StandardPeer(form, box, L"BUTTON", BS_CHECKBOX | WS_TABSTOP, box.Caption()), box_(box) {
        SyncOther(Aspect::Checked);
    }
    void OnCommand(WORD code) override {
        if (code == BN_CLICKED) box_.Click();
    }
    void SyncOther(Aspect aspect) override {
        if (aspect == Aspect::Checked) ::SendMessageW(hwnd_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    TCheckBox& box_;
};

class ComboBoxPeer : public StandardPeer {
public:
    ComboBoxPeer(FormWindow& form, TComboBox& combo)
        : StandardPeer(form, combo, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, u""), combo_(combo) {
        SyncOther(Aspect::Items);
    }
    void OnCommand(WORD code) override {
        if (code == CBN_SELCHANGE) {
            combo_.UserSelect(static_cast<int>(::SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)));
        }
    }
    void SyncOther(Aspect aspect) override {
        if (aspect == Aspect::Items) {
            ::SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
            for (const Text& item : combo_.Items()) {
                ::SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidePtr(item)));
            }
        }
        ::SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0);
    }

private:
    TComboBox& combo_;
};

class EditPeer : public StandardPeer {
public:
    EditPeer(FormWindow& form, TEdit& edit)
        : StandardPeer(form, edit, L"EDIT",
                       ES_AUTOHSCROLL | (edit.ReadOnly ? ES_READONLY : 0) | (edit.HasBorder ? WS_BORDER : 0),
                       edit.GetText()),
          edit_(edit) {}
    void OnCommand(WORD code) override {
        if (code == EN_SETFOCUS) edit_.Click();
    }
    void Sync(Aspect aspect) override {
        if (aspect == Aspect::Caption) {
            ::SetWindowTextW(hwnd_, WidePtr(edit_.GetText()));
            return;
        }
        ControlPeerWin::Sync(aspect);
    }

private:
    TEdit& edit_;
};

class ProgressBarPeer : public StandardPeer {
public:
    ProgressBarPeer(FormWindow& form, TProgressBar& bar)
        : StandardPeer(form, bar, PROGRESS_CLASSW, PBS_SMOOTH, u""), bar_(bar) {
        ::SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min), bar.Max);
        SyncOther(Aspect::Position);
    }
    void SyncOther(Aspect aspect) override {
        if (aspect == Aspect::Position) ::SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(bar_.Position()), 0);
    }

private:
    TProgressBar& bar_;
};

// The timer is a window timer of the form.
class TimerPeer : public Peer {
public:
    TimerPeer(FormWindow& form, TTimer& timer) : form_(form), timer_(timer) { Sync(Aspect::Enabled); }
    ~TimerPeer() override {
        if (form_.Hwnd()) ::KillTimer(form_.Hwnd(), static_cast<UINT_PTR>(timer_.TimerId()));
    }
    void Sync(Aspect aspect) override {
        if (aspect != Aspect::Enabled || !form_.Hwnd()) return;
        if (timer_.Enabled()) {
            ::SetTimer(form_.Hwnd(), static_cast<UINT_PTR>(timer_.TimerId()), timer_.Interval(), nullptr);
        } else {
            ::KillTimer(form_.Hwnd(), static_cast<UINT_PTR>(timer_.TimerId()));
        }
    }

private:
    FormWindow& form_;
    TTimer& timer_;
};

class TrayIconPeer : public Peer {
public:
    TrayIconPeer(FormWindow& form, TTrayIcon& icon) : form_(form), icon_(icon) {}
    ~TrayIconPeer() override { Remove(); }
    void Sync(Aspect aspect) override {
        if (aspect == Aspect::Visible) {
            if (icon_.Visible()) {
                Add();
            } else {
                Remove();
            }
            return;
        }
        if (!added_) return;
        NOTIFYICONDATAW data = Data();
        ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
    void Readd() {
        added_ = false;
        if (icon_.Visible()) Add();
    }
    bool Balloon(const Text& title, const Text& body) {
        if (!added_) return false;
        NOTIFYICONDATAW data = Data();
        data.uFlags |= NIF_INFO;
        wcsncpy(data.szInfoTitle, WidePtr(title), ARRAYSIZE(data.szInfoTitle) - 1);
        wcsncpy(data.szInfo, WidePtr(body), ARRAYSIZE(data.szInfo) - 1);
        data.dwInfoFlags = NIIF_INFO;
        return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }

private:
    NOTIFYICONDATAW Data() {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = form_.Hwnd();
        data.uID = kTrayIconId;
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = ids::WmTrayIcon;
        data.hIcon = CurrentIcon();
        wcsncpy(data.szTip, WidePtr(icon_.Hint()), ARRAYSIZE(data.szTip) - 1);
        return data;
    }
    HICON CurrentIcon() {
        if (!icon_.Images) return ::LoadIconW(nullptr, IDI_APPLICATION);
        const auto& resources = icon_.Images->IconResources();
        const size_t index = static_cast<size_t>(std::max(0, icon_.ImageIndex()));
        if (index >= resources.size()) return nullptr;
        if (icons_.size() < resources.size()) icons_.resize(resources.size());
        if (!icons_[index]) {
            const int size = ::GetSystemMetrics(SM_CXSMICON);
            icons_[index].reset(static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(resources[index]),
                                                                  IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        }
        return icons_[index].get();
    }
    void Add() {
        if (added_ || !form_.Hwnd()) return;
        NOTIFYICONDATAW data = Data();
        added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    }
    void Remove() {
        if (!added_) return;
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = form_.Hwnd();
        data.uID = kTrayIconId;
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        added_ = false;
    }

    FormWindow& form_;
    TTrayIcon& icon_;
    bool added_ = false;
    std::vector<UniqueIcon> icons_;
};

// The form itself: its caption, its font and the focus.
class FormPeer : public Peer {
public:
    explicit FormPeer(FormWindow& window) : window_(window) {}
    void Sync(Aspect aspect) override {
        HWND hwnd = window_.Hwnd();
        if (!hwnd) return;
        switch (aspect) {
            case Aspect::Caption:
                ::SetWindowTextW(hwnd, WidePtr(window_.Form().Caption()));
                break;
            case Aspect::Font:
                window_.UpdateFonts();
                break;
            case Aspect::Selection: {
                // A cleared active control leaves the focus with the form itself.
                TControl* active = window_.Form().ActiveControl();
                auto* peer = active ? dynamic_cast<ControlPeerWin*>(active->GetPeer()) : nullptr;
                ::SetFocus(peer ? peer->Hwnd() : hwnd);
                break;
            }
            default:
                break;
        }
    }

private:
    FormWindow& window_;
};

}  // namespace

UINT WindowDpi(HWND hwnd) noexcept {
    const UINT dpi = hwnd ? ::GetDpiForWindow(hwnd) : 0;
    return dpi ? dpi : 96;
}

void RegisterControlClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    // The painted controls draw with GDI+, which must be started once per
    // process; it stays up until the process ends.
    static ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    (void)Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &ControlProc;
    wc.hInstance = Instance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kControlClass;
    ::RegisterClassExW(&wc);
}

ControlPeerWin::~ControlPeerWin() {
    if (hwnd_) {
        form_.UnregisterControl(hwnd_);
        form_.ClearAccessibleName(hwnd_);
        if (::IsWindow(hwnd_)) {
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            ::DestroyWindow(hwnd_);
        }
    }
}


void ControlPeerWin::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    if (!hwnd_) return;
    form_.RegisterControl(hwnd_, this);
    if (!control_.HasCaption() || control_.Caption().empty()) form_.AnnotateAccessibleName(hwnd_, control_.AccessibleName());
    ApplyFont(form_.Font());
    Reposition();
    ::EnableWindow(hwnd_, control_.Enabled());
    ::ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
}

void ControlPeerWin::Sync(Aspect aspect) {
    if (!hwnd_) return;
    switch (aspect) {
        case Aspect::Caption:
            ::SetWindowTextW(hwnd_, WidePtr(control_.Caption()));
            ::InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case Aspect::Visible:
            ::ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case Aspect::Enabled:
            ::EnableWindow(hwnd_, control_.Enabled());
            break;
        case Aspect::Bounds:
            Reposition();
            break;
        case Aspect::Colors:
            ::InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        default:
            SyncOther(aspect);
            break;
    }
}

HBRUSH ControlPeerWin::OnCtlColor(HDC dc) {
    const int32_t color = control_.FontColor();
    ::SetTextColor(dc, color < 0 ? ::GetSysColor(COLOR_WINDOWTEXT) : ToColorRef(static_cast<uint32_t>(color)));
    ::SetBkColor(dc, RGB(255, 255, 255));
    return form_.BackgroundBrush();
}

void ControlPeerWin::ApplyFont(HFONT font) {
    if (hwnd_) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ControlPeerWin::Reposition() {
    if (!hwnd_) return;
    Bounds b = control_.GetBounds();
    int width = form_.Px(b.width), height = form_.Px(b.height);
    auto* label = dynamic_cast<TLabel*>(&control_);
    if (label && label->AutoSize) {
        HDC dc = ::GetDC(hwnd_);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
        const std::wstring text = ToWide(label->Caption().empty() ? Text(u" ") : label->Caption());
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(hwnd_, dc);
        width = size.cx + 2;
        height = size.cy;
    }
    if (dynamic_cast<TComboBox*>(&control_)) height = form_.Px(200);  // the drop-down's open height
    ::SetWindowPos(hwnd_, nullptr, form_.Px(b.left), form_.Px(b.top), width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

FormWindow::FormWindow(TForm& form) : form_(form), background_(::CreateSolidBrush(RGB(255, 255, 255))) {
    RegisterControlClasses();
}

FormWindow::~FormWindow() = default;

HWND FormWindow::ParentHwndOf(const TControl& control) const {
    TWinControl* parent = control.Parent();
    if (!parent || parent == &form_) return hwnd_;
    auto* peer = dynamic_cast<ControlPeerWin*>(parent->GetPeer());
    return peer ? peer->Hwnd() : hwnd_;
}

ControlPeerWin* FormWindow::PeerOf(HWND hwnd) const {
    auto it = byHwnd_.find(hwnd);
    return it == byHwnd_.end() ? nullptr : it->second;
}

// Screen readers and UI automation take a control's name from its window text;
// controls whose text is no name (lists, the bar, the status lines) get theirs
// through the accessibility annotation service, where the system has one.
void FormWindow::AnnotateAccessibleName(HWND hwnd, const Text& name) {
    if (!accessibility_ || name.empty()) return;
    (void)accessibility_->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                         const_cast<LPWSTR>(WidePtr(name)));
}

void FormWindow::ClearAccessibleName(HWND hwnd) {
    if (!accessibility_) return;
    MSAAPROPID props[] = {PROPID_ACC_NAME};
    (void)accessibility_->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, props, 1);
}

void FormWindow::Realize(HWND formHwnd) {
    hwnd_ = formHwnd;
    // Needs COM on this thread (the program keeps it for the whole run); without
    // it controls simply go unannotated.
    (void)::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                             reinterpret_cast<void**>(accessibility_.ReleaseAndGetAddressOf()));
    dpi_ = WindowDpi(hwnd_);
    form_.AttachPeer(std::make_unique<FormPeer>(*this));
    UpdateFonts();
    ArrangeAligned(form_, form_.GetBounds().width, form_.GetBounds().height);
    for (TComponent* c : form_.Components()) RealizeTree(*c);
    Relayout();
}

void FormWindow::RealizeComponent(TComponent& component) {
    RealizeTree(component);
    Relayout();
}

void FormWindow::RealizeTree(TComponent& c) {
    if (c.GetPeer()) return;
    if (auto* p = dynamic_cast<TGroupBox*>(&c)) {
        c.AttachPeer(std::make_unique<ContainerPeer>(*this, *p, true));
    } else if (auto* bar = dynamic_cast<TStyledToolBar*>(&c)) {
        c.AttachPeer(std::make_unique<ContainerPeer>(*this, *bar, false));
    } else if (auto* panel = dynamic_cast<TPanel*>(&c)) {
        c.AttachPeer(std::make_unique<ContainerPeer>(*this, *panel, false));
    } else if (auto* label = dynamic_cast<TLabel*>(&c)) {
        c.AttachPeer(std::make_unique<LabelPeer>(*this, *label));
    } else if (auto* box = dynamic_cast<TCheckBox*>(&c)) {
        c.AttachPeer(std::make_unique<CheckBoxPeer>(*this, *box));
    } else if (auto* combo = dynamic_cast<TComboBox*>(&c)) {
        c.AttachPeer(std::make_unique<ComboBoxPeer>(*this, *combo));
    } else if (auto* edit = dynamic_cast<TEdit*>(&c)) {
        c.AttachPeer(std::make_unique<EditPeer>(*this, *edit));
    } else if (auto* bar2 = dynamic_cast<TProgressBar*>(&c)) {
        c.AttachPeer(std::make_unique<ProgressBarPeer>(*this, *bar2));
    } else if (auto* button = dynamic_cast<TStyledButton*>(&c)) {
        c.AttachPeer(std::make_unique<StyledButtonPeer>(*this, *button, button->StyleAppearance, button->CornerRadius,
                                                        false, true));
    } else if (auto* tool = dynamic_cast<TStyledToolButton*>(&c)) {
        TStyledToolBar* owner = tool->Bar();
        c.AttachPeer(std::make_unique<StyledButtonPeer>(*this, *tool, owner ? owner->StyleAppearance : u"Normal",
                                                        owner ? owner->CornerRadius : 4, owner && owner->Flat,
                                                        false));
    } else if (auto* indicator = dynamic_cast<TActivityIndicator*>(&c)) {
        c.AttachPeer(std::make_unique<IndicatorPeer>(*this, *indicator));
    } else if (auto* shape = dynamic_cast<TShape*>(&c)) {
        c.AttachPeer(std::make_unique<ShapePeer>(*this, *shape));
    } else if (auto* image = dynamic_cast<TVectorImage*>(&c)) {
        c.AttachPeer(std::make_unique<VectorImagePeer>(*this, *image));
    } else if (auto* timer = dynamic_cast<TTimer*>(&c)) {
        timers_[static_cast<UINT_PTR>(timer->TimerId())] = timer;
        c.AttachPeer(std::make_unique<TimerPeer>(*this, *timer));
    } else if (auto* item = dynamic_cast<TMenuItem*>(&c)) {
        menuItems_[item->CommandId()] = item;
    } else if (auto* tray = dynamic_cast<TTrayIcon*>(&c)) {
        tray_ = tray;
        c.AttachPeer(std::make_unique<TrayIconPeer>(*this, *tray));
        tray->GetPeer()->Sync(Aspect::Visible);
    }
    // Now that the peer is whole, its own font (the title's) can apply.
    if (auto* peer = dynamic_cast<ControlPeerWin*>(c.GetPeer())) peer->ApplyFont(font_.get());
}

void FormWindow::Unrealize() {
    // Peers go with their components; here the form only stops its timers and the tray entry.
    for (auto& [id, timer] : timers_) {
        if (hwnd_) ::KillTimer(hwnd_, id);
    }
    if (tray_) tray_->AttachPeer(nullptr);
    tray_ = nullptr;
    form_.AttachPeer(nullptr);
    hwnd_ = nullptr;
}

void FormWindow::UpdateFonts() {
    LOGFONTW lf{};
    if (form_.UsesDesktopFont()) {
        ICONMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (!::SystemParametersInfoForDpi(SPI_GETICONMETRICS, sizeof(metrics), &metrics, 0, dpi_)) {
            ::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(metrics), &metrics, 0);
            metrics.lfFont.lfHeight = MulDiv(metrics.lfFont.lfHeight, static_cast<int>(dpi_), 96);
        }
        lf = metrics.lfFont;
    } else {
        lf.lfHeight = -Px(11);
        lf.lfCharSet = DEFAULT_CHARSET;
        wcscpy(lf.lfFaceName, L"Tahoma");
    }
    // The controls get the new font before the old one is deleted.
    UniqueFont previous = std::move(font_);
    font_.reset(::CreateFontIndirectW(&lf));
    for (auto& [hwnd, peer] : byHwnd_) peer->ApplyFont(font_.get());
}

void FormWindow::Relayout() {
    ArrangeAligned(form_, form_.GetBounds().width, form_.GetBounds().height);
    for (TComponent* c : form_.Components()) {
        if (auto* container = dynamic_cast<TWinControl*>(c)) {
            ArrangeAligned(*container, container->GetBounds().width, container->GetBounds().height);
        }
    }
    for (auto& [hwnd, peer] : byHwnd_) peer->Reposition();
}

void FormWindow::HandleDpiChanged(UINT dpi) {
    dpi_ = dpi;
    UpdateFonts();
    Relayout();
}

bool FormWindow::HandleCommand(WPARAM wParam, LPARAM lParam) {
    const WORD code = HIWORD(wParam);
    const WORD id = LOWORD(wParam);
    if (lParam) {
        if (ControlPeerWin* peer = PeerOf(reinterpret_cast<HWND>(lParam))) {
            peer->OnCommand(code);
            return true;
        }
        return false;
    }
    auto it = menuItems_.find(id);
    if (it == menuItems_.end()) return false;
    it->second->Click();
    return true;
}

bool FormWindow::HandleTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    it->second->Fire();
    return true;
}

HBRUSH FormWindow::HandleCtlColor(HDC dc, HWND control) {
    if (ControlPeerWin* peer = PeerOf(control)) return peer->OnCtlColor(dc);
    ::SetBkColor(dc, RGB(255, 255, 255));
    return background_.get();
}

void FormWindow::HandleTrayMessage(LPARAM lParam) {
    if (!tray_) return;
    switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            tray_->Click();
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            if (tray_->PopupMenu) ShowPopupMenu(*tray_->PopupMenu);
            break;
        default:
            break;
    }
}

void FormWindow::HandleTaskbarCreated() {
    if (!tray_) return;
    if (auto* peer = dynamic_cast<TrayIconPeer*>(tray_->GetPeer())) peer->Readd();
}

bool FormWindow::ShowBalloon(const Text& title, const Text& body) {
    if (!tray_) return false;
    auto* peer = dynamic_cast<TrayIconPeer*>(tray_->GetPeer());
    return peer && peer->Balloon(title, body);
}

void FormWindow::ShowPopupMenu(TPopupMenu& menu) {
    UniqueMenu popup(::CreatePopupMenu());
    for (TMenuItem* item : menu.Items().Items()) {
        if (item->IsSeparator()) {
            ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenuW(popup.get(), MF_STRING, static_cast<UINT_PTR>(item->CommandId()), WidePtr(item->Caption()));
        }
    }
    POINT p;
    ::GetCursorPos(&p);
    // The menu closes when the user clicks elsewhere only if our window is in front.
    ::SetForegroundWindow(hwnd_);
    ::TrackPopupMenu(popup.get(), TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, p.x, p.y, 0, hwnd_, nullptr);
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

}  // namespace tidewell::ui
