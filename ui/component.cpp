#include "ui/component.h"

#include <algorithm>

namespace tidewell::ui {

TComponent::TComponent(TComponent* owner, Text name) : name_(std::move(name)), owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) {
        auto& siblings = owner_->components_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::DestroyComponents() noexcept {
    // The last created goes first: later components (a control inside a panel,
    // a menu item inside a menu) refer to earlier ones.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
}

TComponent* TComponent::FindComponent(TextView name) const noexcept {
    for (TComponent* c : components_) {
        if (EqualsIgnoringAsciiCase(c->Name(), name)) return c;
    }
    return nullptr;
}

void TComponent::SetCaption(const Text& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed(Aspect::Caption);
}

TControl::TControl(TComponent* owner, Text name, TWinControl* parent, Bounds bounds, int controlId)
    : TComponent(owner, std::move(name)), parent_(parent), bounds_(bounds), controlId_(controlId) {
    if (parent_) parent_->controls_.push_back(this);
}

TControl::~TControl() {
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TControl::SetBounds(const Bounds& b) {
    if (b == bounds_) return;
    bounds_ = b;
    Changed(Aspect::Bounds);
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed(Aspect::Visible);
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Changed(Aspect::Enabled);
}

void TControl::SetFontColor(int32_t rgb) {
    if (rgb == fontColor_) return;
    fontColor_ = rgb;
    Changed(Aspect::Colors);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

}  // namespace tidewell::ui
