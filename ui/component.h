#pragma once
// The program's own small widget layer, platform-free part. Components have a
// name, an owner and an ordered list of the components they own, a class name,
// and a caption where their kind has one. The state of every control lives here;
// on Windows a peer (ui/*_win.cpp) mirrors it into a real window and reports the
// user's actions back, so the program's rules run the same with or without a
// window behind them.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/text.h"

namespace tidewell::ui {

class TComponent;
using TNotifyEvent = std::function<void(TComponent* sender)>;

// Left, top, width, height in pixels at 96 dpi, relative to the parent.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds&) const = default;
};

enum class Align { None, Top, Right, Client };

// What changed in a control, so that its peer updates only that.
enum class Aspect {
    Caption, Visible, Enabled, Bounds, Checked, Items, Selection, Position,
    Animating, Down, Colors, Font, Image, Hint, Card
};

class Peer {
public:
    virtual ~Peer() = default;
    virtual void Sync(Aspect aspect) = 0;
};

class TComponent {
public:
    TComponent(TComponent* owner, Text name);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    [[nodiscard]] const Text& Name() const noexcept { return name_; }
    [[nodiscard]] TComponent* Owner() const noexcept { return owner_; }
    [[nodiscard]] const std::vector<TComponent*>& Components() const noexcept { return components_; }
    [[nodiscard]] TComponent* FindComponent(TextView name) const noexcept;

    // The toolkit's class name ("TCheckBox", "TTrayIcon", ...).
    [[nodiscard]] virtual Text ClassName() const { return u"TComponent"; }

    // Kinds with a caption (forms, labels, buttons, check boxes, group boxes,
    // panels, cards, menu items) say so; the caption walk reads and writes it.
    [[nodiscard]] virtual bool HasCaption() const noexcept { return false; }
    [[nodiscard]] const Text& Caption() const noexcept { return caption_; }
    void SetCaption(const Text& caption);

    int Tag = 0;

    // The window-side mirror, if any. Owned by the component.
    void AttachPeer(std::unique_ptr<Peer> peer) noexcept { peer_ = std::move(peer); }
    [[nodiscard]] Peer* GetPeer() const noexcept { return peer_.get(); }

protected:
    // Destroys the owned components, the last created first. Derived classes
    // whose members the owned components may still reach call it first in their
    // destructors; the base destructor calls it again (then it does nothing).
    void DestroyComponents() noexcept;

    void Changed(Aspect aspect) {
        if (peer_) peer_->Sync(aspect);
    }

private:
    Text name_;
    Text caption_;
    TComponent* owner_;
    std::vector<TComponent*> components_;
    std::unique_ptr<Peer> peer_;
};

class TWinControl;

// A component with a place on screen.
class TControl : public TComponent {
public:
    TControl(TComponent* owner, Text name, TWinControl* parent, Bounds bounds, int controlId);
    ~TControl() override;

    [[nodiscard]] TWinControl* Parent() const noexcept { return parent_; }
    [[nodiscard]] const Bounds& GetBounds() const noexcept { return bounds_; }
    void SetBounds(const Bounds& b);
    [[nodiscard]] int ControlId() const noexcept { return controlId_; }

    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    void SetVisible(bool v);
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool v);

    Align Alignment = Align::None;
    int TabOrder = 0;
    bool HandCursor = false;

    // The name that assistive technology and UI automation read.
    [[nodiscard]] virtual Text AccessibleName() const { return accessibleName_.empty() ? Name() : accessibleName_; }
    void SetAccessibleName(Text name) { accessibleName_ = std::move(name); }

    // Font colour as 0xRRGGBB; -1 is the window text colour.
    [[nodiscard]] int32_t FontColor() const noexcept { return fontColor_; }
    void SetFontColor(int32_t rgb);

    TNotifyEvent OnClick;
    // Runs OnClick as a user click would.
    virtual void Click();

private:
    TWinControl* parent_;
    Bounds bounds_;
    int controlId_;
    bool visible_ = true;
    bool enabled_ = true;
    int32_t fontColor_ = -1;
    Text accessibleName_;
};

// A control that can hold other controls.
class TWinControl : public TControl {
public:
    using TControl::TControl;
    ~TWinControl() override { DestroyComponents(); }
    [[nodiscard]] const std::vector<TControl*>& Controls() const noexcept { return controls_; }

private:
    friend class TControl;
    std::vector<TControl*> controls_;
};

}  // namespace tidewell::ui
