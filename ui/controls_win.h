#pragma once
// The Windows side of the widget layer: a peer per component that mirrors the
// model into a real window and reports clicks, picks and timer ticks back.

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <unordered_map>

#include "base/scoped_win.h"
#include "ui/widgets.h"

namespace tidewell::ui {

class FormWindow;

// Dots per inch of a window, 96 where the system cannot tell.
[[nodiscard]] UINT WindowDpi(HWND hwnd) noexcept;
[[nodiscard]] inline int Scale(int value, UINT dpi) noexcept { return MulDiv(value, static_cast<int>(dpi), 96); }
[[nodiscard]] inline COLORREF ToColorRef(uint32_t rgb) noexcept {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Common part of every control's peer.
class ControlPeerWin : public Peer {
public:
    ControlPeerWin(FormWindow& form, TControl& control) : form_(form), control_(control) {}
    ~ControlPeerWin() override;
    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] TControl& Control() const noexcept { return control_; }
    void Sync(Aspect aspect) override;
    // WM_COMMAND notifications of this control.
    virtual void OnCommand(WORD /*code*/) {}
    // Colours of a static or button control (WM_CTLCOLOR*).
    [[nodiscard]] virtual HBRUSH OnCtlColor(HDC dc);
    virtual void ApplyFont(HFONT font);
    // Places the window from the model's 96-dpi bounds.
    void Reposition();

protected:
    void Attach(HWND hwnd);
    virtual void SyncOther(Aspect) {}
    FormWindow& form_;
    TControl& control_;
    HWND hwnd_ = nullptr;
};

// The form's window and everything that hangs on it: peers of all controls,
// the fonts, the timers, the tray icon and the popup menu.
class FormWindow {
public:
    explicit FormWindow(TForm& form);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // The form's own window must exist; creates the windows of every control
    // the form owns, in ownership order.
    void Realize(HWND formHwnd);
    // Gives a component made after Realize (the tray icon, the accent line) its peer.
    void RealizeComponent(TComponent& component);
    // Forgets the window; peers stop touching it.
    void Unrealize();

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] TForm& Form() const noexcept { return form_; }
    [[nodiscard]] UINT Dpi() const noexcept { return dpi_; }
    [[nodiscard]] HFONT Font() const noexcept { return font_.get(); }
    [[nodiscard]] HWND ParentHwndOf(const TControl& control) const;
    [[nodiscard]] int Px(int logical) const noexcept { return Scale(logical, dpi_); }

    // Message handlers the form's window procedure forwards.
    bool HandleCommand(WPARAM wParam, LPARAM lParam);
    bool HandleTimer(UINT_PTR id);
    [[nodiscard]] HBRUSH HandleCtlColor(HDC dc, HWND control);
    void HandleDpiChanged(UINT dpi);
    void HandleTrayMessage(LPARAM lParam);
    void HandleTaskbarCreated();
    // Shows a balloon from the tray icon; false when there is none.
    bool ShowBalloon(const Text& title, const Text& body);
    // Re-lays aligned controls and repositions every window (after a dpi change).
    void Relayout();
    void UpdateFonts();

    void RegisterControl(HWND hwnd, ControlPeerWin* peer) { byHwnd_[hwnd] = peer; }
    void UnregisterControl(HWND hwnd) { byHwnd_.erase(hwnd); }
    [[nodiscard]] ControlPeerWin* PeerOf(HWND hwnd) const;
    [[nodiscard]] HBRUSH BackgroundBrush() const noexcept { return background_.get(); }

    // The accessible name of a control whose window text is no name.
    void AnnotateAccessibleName(HWND hwnd, const Text& name);
    void ClearAccessibleName(HWND hwnd);

    // The popup menu of the tray icon, shown at the cursor.
    void ShowPopupMenu(TPopupMenu& menu);

private:
    void RealizeTree(TComponent& component);
    TForm& form_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    UniqueFont font_;
    UniqueBrush background_;
    std::unordered_map<HWND, ControlPeerWin*> byHwnd_;
    std::unordered_map<int, TMenuItem*> menuItems_;
    std::unordered_map<UINT_PTR, TTimer*> timers_;
    TTrayIcon* tray_ = nullptr;
    Microsoft::WRL::ComPtr<IAccPropServices> accessibility_;
};

// Registers the window classes of the program's own controls (once).
void RegisterControlClasses();

}  // namespace tidewell::ui
