#include "ui/theme_helper.h"

namespace tidewell::ui {
namespace {

TForm* RequireForm(TComponent* owner) {
    auto* form = dynamic_cast<TForm*>(owner);
    if (!form) throw std::invalid_argument("TThemeHelper Owner must be a TForm");
    return form;
}

}  // namespace

TThemeHelper::TThemeHelper(TComponent* owner, int32_t greyTextColor)
    : TComponent((RequireForm(owner), owner), u""), greyText_(greyTextColor) {
    FForm = static_cast<TForm*>(owner);
    FShape = new TShape(FForm, u"", FForm, Bounds{0, 0, FForm->GetBounds().width, 2}, kAccentLineId);
    FShape->SetColors(FActiveColor, FActiveColor);
    FShape->Alignment = Align::Top;
    FShape->SetAccessibleName(u"AccentLine");
    UpdateAccentLine();
}

void TThemeHelper::ThemeWindowProc(unsigned message, uint64_t wParam) {
    if (message == kWmSize) {
        UpdateAccentLine();
    } else if (message == kWmActivate) {
        FIsActive = (wParam & 0xFFFF) != 0;
        UpdateAccentLine();
    }
}

void TThemeHelper::UpdateAccentLine() {
    const int32_t color = FIsActive ? FActiveColor : greyText_;
    FShape->SetColors(color, color);
    FShape->SetVisible(FForm->Border != BorderStyle::None);
}

}  // namespace tidewell::ui
