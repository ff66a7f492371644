#include "ui/widgets.h"

namespace tidewell::ui {

TForm::TForm(Text name, Text caption, int clientWidth, int clientHeight)
    : TWinControl(nullptr, std::move(name), nullptr, Bounds{0, 0, clientWidth, clientHeight}, 0) {
    SetCaption(caption);
    SetVisible(false);  // a form is shown when the message loop starts
}

void TForm::SetActiveControl(TControl* control) {
    if (control == activeControl_) return;
    activeControl_ = control;
    Changed(Aspect::Selection);
}

void TForm::UseDesktopFont() {
    desktopFont_ = true;
    Changed(Aspect::Font);
}

TPanel::TPanel(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id)
    : TWinControl(owner, std::move(name), parent, b, id) {
    SetCaption(Name());  // a panel's design caption is its name
}

std::vector<TCard*> TCardPanel::Cards() const {
    std::vector<TCard*> cards;
    for (TControl* c : Controls()) {
        if (auto* card = dynamic_cast<TCard*>(c)) cards.push_back(card);
    }
    return cards;
}

void TCardPanel::SetActiveCardIndex(int index) {
    const auto cards = Cards();
    if (index < 0 || index >= static_cast<int>(cards.size())) return;
    activeCard_ = index;
    for (int i = 0; i < static_cast<int>(cards.size()); ++i) cards[i]->SetVisible(i == index);
    Changed(Aspect::Card);
}

TLabel::TLabel(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption)
    : TControl(owner, std::move(name), parent, b, id) {
    SetCaption(caption);
}

TCheckBox::TCheckBox(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption)
    : TControl(owner, std::move(name), parent, b, id) {
    SetCaption(caption);
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Changed(Aspect::Checked);
    TControl::Click();
}

TComboBox::TComboBox(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, std::vector<Text> items)
    : TControl(owner, std::move(name), parent, b, id), items_(std::move(items)) {}

void TComboBox::SetItem(size_t index, const Text& text) {
    if (index >= items_.size() || items_[index] == text) return;
    items_[index] = text;
    Changed(Aspect::Items);
}

void TComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Changed(Aspect::Selection);
}

Text TComboBox::SelectedText() const {
    return itemIndex_ >= 0 ? items_[static_cast<size_t>(itemIndex_)] : Text();
}

void TComboBox::UserSelect(int index) {
    SetItemIndex(index);
    if (OnChange) OnChange(this);
}

TGroupBox::TGroupBox(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption)
    : TWinControl(owner, std::move(name), parent, b, id) {
    SetCaption(caption);
}

void TEdit::SetText(const Text& text) {
    if (text == text_) return;
    text_ = text;
    Changed(Aspect::Caption);
}

void TProgressBar::SetPosition(int position) {
    if (position < Min) position = Min;
    if (position > Max) position = Max;
    if (position == position_) return;
    position_ = position;
    Changed(Aspect::Position);
}

void TActivityIndicator::SetAnimate(bool animate) {
    if (animate == animate_) return;
    animate_ = animate;
    Changed(Aspect::Animating);
}

void TShape::SetColors(int32_t brush, int32_t pen) {
    if (brush == brush_ && pen == pen_) return;
    brush_ = brush;
    pen_ = pen;
    Changed(Aspect::Colors);
}

TStyledButton::TStyledButton(TComponent* owner, Text name, TWinControl* parent, Bounds b, int id, Text caption)
    : TControl(owner, std::move(name), parent, b, id) {
    SetCaption(caption);
}

TStyledToolButton::TStyledToolButton(TComponent* owner, Text name, TStyledToolBar* bar, int id, Text caption)
    : TControl(owner, std::move(name), bar, Bounds{}, id), bar_(bar) {
    SetCaption(caption);
    if (bar_) {
        SetBounds(Bounds{bar_->ButtonLeft(this), 0, bar_->ButtonWidth, bar_->ButtonHeight});
    }
}

void TStyledToolButton::SetDown(bool down) {
    if (down == down_) return;
    if (down && bar_) {
        for (TStyledToolButton* other : bar_->Buttons()) {
            if (other != this) other->SetDown(false);
        }
    }
    down_ = down;
    Changed(Aspect::Down);
}

std::vector<TStyledToolButton*> TStyledToolBar::Buttons() const {
    std::vector<TStyledToolButton*> buttons;
    for (TControl* c : Controls()) {
        if (auto* b = dynamic_cast<TStyledToolButton*>(c)) buttons.push_back(b);
    }
    return buttons;
}

int TStyledToolBar::ButtonLeft(const TStyledToolButton* button) const {
    int left = Indent;
    for (TStyledToolButton* b : Buttons()) {
        if (b == button) return left;
        left += ButtonWidth;
    }
    return left;  // a button not yet in the bar goes after the others
}

TTimer::TTimer(TComponent* owner, Text name, int id, unsigned interval)
    : TComponent(owner, std::move(name)), id_(id), interval_(interval) {}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed(Aspect::Enabled);
}

TMenuItem::TMenuItem(TComponent* owner, Text name, int id, Text caption) : TComponent(owner, std::move(name)), id_(id) {
    SetCaption(caption);
}

TPopupMenu::TPopupMenu(TComponent* owner, Text name) : TComponent(owner, std::move(name)), root_(nullptr, u"", 0, u"") {}

TImageList::TImageList(TComponent* owner, Text name, int width, int height, std::vector<int> iconResources)
    : TComponent(owner, std::move(name)), width_(width), height_(height), icons_(std::move(iconResources)) {}

TTrayIcon::TTrayIcon(TComponent* owner, Text name) : TComponent(owner, std::move(name)) {}

void TTrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed(Aspect::Visible);
}

void TTrayIcon::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Changed(Aspect::Image);
}

void TTrayIcon::SetHint(const Text& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    Changed(Aspect::Hint);
}

}  // namespace tidewell::ui
