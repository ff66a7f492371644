#pragma once
// The control kinds of the widget layer. Each keeps its state; its peer, when
// there is one, shows it.

#include <string>
#include <vector>

#include "ui/component.h"

namespace tidewell::ui {

enum class BorderStyle { None, Single };

class TForm : public TWinControl {
public:
    TForm(Text name, Text caption, int clientWidth, int clientHeight);
    [[nodiscard]] Text ClassName() const override { return u"TForm"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }

    BorderStyle Border = BorderStyle::Single;
    int32_t Color = 0xFFFFFF;

    // Whether the form's window is the active window; the peer keeps it current.
    [[nodiscard]] bool Active() const noexcept { return active_; }
    void SetActive(bool active) noexcept { active_ = active; }
    [[nodiscard]] bool Showing() const noexcept { return Visible(); }

    // The control with the keyboard focus; nullptr clears it.
    [[nodiscard]] TControl* ActiveControl() const noexcept { return activeControl_; }
    void SetActiveControl(TControl* control);

    // The desktop's font (the system icon font) instead of the design font.
    [[nodiscard]] bool UsesDesktopFont() const noexcept { return desktopFont_; }
    void UseDesktopFont();

private:
    bool active_ = false;
    bool desktopFont_ = false;
    TControl* activeControl_ = nullptr;
};

class TPanel : public TWinControl {
public:
    TPanel(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id);
    [[nodiscard]] Text ClassName() const override { return u"TPanel"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    int32_t Color = 0xFFFFFF;
};

class TCard : public TPanel {
public:
    using TPanel::TPanel;
    [[nodiscard]] Text ClassName() const override { return u"TCard"; }
};

class TCardPanel : public TPanel {
public:
    using TPanel::TPanel;
    [[nodiscard]] Text ClassName() const override { return u"TCardPanel"; }
    [[nodiscard]] int ActiveCardIndex() const noexcept { return activeCard_; }
    // Shows the card at that index among the panel's cards and hides the others.
    void SetActiveCardIndex(int index);
    [[nodiscard]] std::vector<TCard*> Cards() const;

private:
    int activeCard_ = 0;
};

class TLabel : public TControl {
public:
    TLabel(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption);
    [[nodiscard]] Text ClassName() const override { return u"TLabel"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    bool AutoSize = true;
    bool Centered = false;
    // A font of its own; empty face means the parent's font.
    Text FontFace;
    int FontHeight = 0;  // character height in pixels at 96 dpi
};

class TCheckBox : public TControl {
public:
    TCheckBox(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption);
    [[nodiscard]] Text ClassName() const override { return u"TCheckBox"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    [[nodiscard]] bool Checked() const noexcept { return checked_; }
    // Every change of the checked state runs OnClick, whoever makes it.
    void SetChecked(bool checked);
    // A user's click toggles the state.
    void Click() override { SetChecked(!checked_); }

private:
    bool checked_ = false;
};

class TComboBox : public TControl {
public:
    TComboBox(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, std::vector<Text> items);
    [[nodiscard]] Text ClassName() const override { return u"TComboBox"; }
    [[nodiscard]] const std::vector<Text>& Items() const noexcept { return items_; }
    void SetItem(size_t index, const Text& text);
    [[nodiscard]] int ItemIndex() const noexcept { return itemIndex_; }
    // Selection by program: runs no handler. An index outside the items leaves
    // the list without selection.
    void SetItemIndex(int index);
    // The selected item's text, empty without selection.
    [[nodiscard]] Text SelectedText() const;
    // The user picked an item: the selection changes and OnChange runs.
    void UserSelect(int index);
    TNotifyEvent OnChange;

private:
    std::vector<Text> items_;
    int itemIndex_ = -1;
};

class TGroupBox : public TWinControl {
public:
    TGroupBox(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption);
    [[nodiscard]] Text ClassName() const override { return u"TGroupBox"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
};

class TEdit : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] Text ClassName() const override { return u"TEdit"; }
    [[nodiscard]] const Text& GetText() const noexcept { return text_; }
    void SetText(const Text& text);
    bool ReadOnly = false;
    bool HasBorder = true;

private:
    Text text_;
};

class TProgressBar : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] Text ClassName() const override { return u"TProgressBar"; }
    int Min = 0;
    int Max = 100;
    [[nodiscard]] int Position() const noexcept { return position_; }
    void SetPosition(int position);

private:
    int position_ = 0;
};

class TActivityIndicator : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] Text ClassName() const override { return u"TActivityIndicator"; }
    [[nodiscard]] bool Animate() const noexcept { return animate_; }
    void SetAnimate(bool animate);

private:
    bool animate_ = false;
};

class TShape : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] Text ClassName() const override { return u"TShape"; }
    // 0xRRGGBB.
    [[nodiscard]] int32_t BrushColor() const noexcept { return brush_; }
    [[nodiscard]] int32_t PenColor() const noexcept { return pen_; }
    void SetColors(int32_t brush, int32_t pen);

private:
    int32_t brush_ = 0xFFFFFF;
    int32_t pen_ = 0;
};

// The logo: a picture drawn from vector shapes.
class TVectorImage : public TControl {
public:
    using TControl::TControl;
    [[nodiscard]] Text ClassName() const override { return u"TSVGIconImage"; }
};

// Buttons drawn from a named style family (see ui/button_styles.h).
class TStyledButton : public TControl {
public:
    TStyledButton(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption);
    [[nodiscard]] Text ClassName() const override { return u"TStyledButton"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    Text StyleFamily = u"Varnok";
    Text StyleClass = u"Primary";
    Text StyleAppearance = u"Normal";
    int CornerRadius = 6;
    bool Transparent = false;
};

class TStyledToolBar;

class TStyledToolButton : public TControl {
public:
    TStyledToolButton(TComponent* owner, Text name, TStyledToolBar* bar, int id, Text caption);
    [[nodiscard]] Text ClassName() const override { return u"TStyledToolButton"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    [[nodiscard]] bool Down() const noexcept { return down_; }
    // Making a button down releases the other down button of its bar.
    void SetDown(bool down);
    [[nodiscard]] TStyledToolBar* Bar() const noexcept { return bar_; }

private:
    TStyledToolBar* bar_;
    bool down_ = false;
};

class TStyledToolBar : public TWinControl {
public:
    using TWinControl::TWinControl;
    [[nodiscard]] Text ClassName() const override { return u"TStyledToolBar"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    Text StyleFamily = u"Varnok";
    Text StyleClass = u"Primary";
    Text StyleAppearance = u"Normal";
    int CornerRadius = 4;
    int ButtonWidth = 70;
    int ButtonHeight = 30;
    int Indent = 10;
    bool Flat = true;
    [[nodiscard]] std::vector<TStyledToolButton*> Buttons() const;
    // Left edge of a button within the bar, at 96 dpi.
    [[nodiscard]] int ButtonLeft(const TStyledToolButton* button) const;
};

class TTimer : public TComponent {
public:
    TTimer(TComponent* owner, Text name, int id, unsigned interval);
    [[nodiscard]] Text ClassName() const override { return u"TTimer"; }
    [[nodiscard]] int TimerId() const noexcept { return id_; }
    [[nodiscard]] unsigned Interval() const noexcept { return interval_; }
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    TNotifyEvent OnTimer;
    void Fire() {
        if (OnTimer) OnTimer(this);
    }

private:
    int id_;
    unsigned interval_;
    bool enabled_ = true;
};

class TMenuItem : public TComponent {
public:
    TMenuItem(TComponent* owner, Text name, int id, Text caption);
    [[nodiscard]] Text ClassName() const override { return u"TMenuItem"; }
    [[nodiscard]] bool HasCaption() const noexcept override { return true; }
    [[nodiscard]] int CommandId() const noexcept { return id_; }
    [[nodiscard]] bool IsSeparator() const noexcept { return Caption() == u"-"; }
    // Sub-items in menu order; the items themselves belong to their owner.
    [[nodiscard]] const std::vector<TMenuItem*>& Items() const noexcept { return items_; }
    void Add(TMenuItem* item) { items_.push_back(item); }
    TNotifyEvent OnClick;
    void Click() {
        if (OnClick) OnClick(this);
    }

private:
    int id_;
    std::vector<TMenuItem*> items_;
};

class TPopupMenu : public TComponent {
public:
    TPopupMenu(TComponent* owner, Text name);
    [[nodiscard]] Text ClassName() const override { return u"TPopupMenu"; }
    // The root item, whose sub-items are the menu's items.
    [[nodiscard]] TMenuItem& Items() noexcept { return root_; }
    [[nodiscard]] const TMenuItem& Items() const noexcept { return root_; }

private:
    TMenuItem root_;
};

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, Text name, int width, int height, std::vector<int> iconResources);
    [[nodiscard]] Text ClassName() const override { return u"TImageList"; }
    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    [[nodiscard]] const std::vector<int>& IconResources() const noexcept { return icons_; }

private:
    int width_, height_;
    std::vector<int> icons_;
};

class TTrayIcon : public TComponent {
public:
    TTrayIcon(TComponent* owner, Text name);
    [[nodiscard]] Text ClassName() const override { return u"TTrayIcon"; }
    TImageList* Images = nullptr;
    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    [[nodiscard]] int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    [[nodiscard]] const Text& Hint() const noexcept { return hint_; }
    void SetHint(const Text& hint);
    void Click() {
        if (OnClick) OnClick(this);
    }

private:
    bool visible_ = false;
    int imageIndex_ = 0;
    Text hint_;
};

}  // namespace tidewell::ui
