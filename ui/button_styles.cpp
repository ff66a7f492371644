#include "ui/button_styles.h"

#include <cmath>
#include <cstdlib>

namespace tidewell::ui {
namespace {

constexpr Rgb kAccent = 0x3D84DD;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kSilver = 0xC0C0C0;

int Red(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(Rgb c) { return static_cast<int>(c & 0xFF); }
Rgb MakeRgb(int r, int g, int b) { return (static_cast<Rgb>(r) << 16) | (static_cast<Rgb>(g) << 8) | static_cast<Rgb>(b); }

ButtonAttributes Attr(FillStyle fill, Rgb fillColor, BorderStyleKind border, Rgb borderColor, Rgb fontColor) {
    ButtonAttributes a;
    a.fill = fill;
    a.fillColor = fillColor;
    a.border = border;
    a.borderColor = borderColor;
    a.fontColor = fontColor;
    return a;
}

}  // namespace

int MulDivRound(int number, int numerator, int denominator) noexcept {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    long long q = product / denominator;
    const long long r = product % denominator;
    if (std::llabs(r) * 2 >= std::llabs(static_cast<long long>(denominator))) q += ((product < 0) != (denominator < 0)) ? -1 : 1;
    return static_cast<int>(q);
}

Rgb LightenColor(Rgb color, int percent) noexcept {
    auto up = [percent](int c) { return c + MulDivRound(255 - c, percent, 100); };
    return MakeRgb(up(Red(color)), up(Green(color)), up(Blue(color)));
}

Rgb GrayScaleColor(Rgb color) noexcept {
    const int g = static_cast<int>(std::lround(0.299 * Red(color) + 0.587 * Green(color) + 0.114 * Blue(color)));
    return MakeRgb(g, g, g);
}

const ButtonAttributes& ButtonStyleSet::For(ButtonState state) const noexcept {
    switch (state) {
        case ButtonState::Pressed: return pressed;
        case ButtonState::Selected: return selected;
        case ButtonState::Hot: return hot;
        case ButtonState::Disabled: return disabled;
        case ButtonState::Normal: break;
    }
    return normal;
}

const std::vector<Text>& TVarnokButtonStyles::ButtonClasses() {
    static const std::vector<Text> classes = {u"Primary"};
    return classes;
}

const std::vector<Text>& TVarnokButtonStyles::ButtonAppearances() {
    static const std::vector<Text> appearances = {u"Normal", u"Header", u"Outline"};
    return appearances;
}

void TVarnokButtonStyles::GetStyleByModalResult(int, Text& styleClass, Text& styleAppearance) {
    styleClass = u"Primary";
    styleAppearance = u"Normal";
}

void TVarnokButtonStyles::UpdateAttributes(const Text&, const Text&, const Text& appearance, ButtonStyleSet& s) {
    const Rgb hover = LightenColor(kAccent, 10);  // #5090E0
    if (EqualsIgnoringAsciiCase(appearance, u"Header")) {
        s.normal = Attr(FillStyle::Clear, kWhite, BorderStyleKind::Solid, kBlack, kBlack);
        s.pressed = s.selected = s.hot = s.disabled = s.normal;
        s.pressed = Attr(FillStyle::Solid, kAccent, BorderStyleKind::Clear, kAccent, kWhite);
        s.selected = Attr(FillStyle::Solid, hover, BorderStyleKind::Clear, kAccent, kWhite);
        s.hot = Attr(FillStyle::Solid, kAccent, BorderStyleKind::Clear, kAccent, kWhite);
        s.disabled.borderColor = GrayScaleColor(LightenColor(kAccent, 50));  // #BCBCBC
        s.disabled.fontColor = GrayScaleColor(LightenColor(kBlack, 50));     // #808080
    } else if (EqualsIgnoringAsciiCase(appearance, u"Outline")) {
        s.normal = Attr(FillStyle::Clear, kAccent, BorderStyleKind::Solid, kAccent, kBlack);
        s.pressed = s.selected = s.hot = s.disabled = s.normal;
        s.pressed.fill = FillStyle::Solid;
        s.pressed.fontColor = kWhite;
        s.selected.fill = s.hot.fill = FillStyle::Solid;
        s.selected.fillColor = s.hot.fillColor = hover;
        s.selected.fontColor = s.hot.fontColor = kWhite;
        s.disabled.borderColor = GrayScaleColor(LightenColor(kAccent, 70));  // #D7D7D7
        s.disabled.fontColor = GrayScaleColor(LightenColor(kBlack, 70));     // #B3B3B3
    } else {
        s.normal = Attr(FillStyle::Solid, kAccent, BorderStyleKind::Solid, kAccent, kWhite);
        s.pressed = s.selected = s.hot = s.disabled = s.normal;
        s.hot.fillColor = hover;
        s.disabled.fillColor = kWhite;
        s.disabled.borderColor = kSilver;
        s.disabled.fontColor = kSilver;
    }
}

ButtonState ChooseButtonState(bool enabled, bool pressedOrDown, bool focused, bool hot) noexcept {
    if (!enabled) return ButtonState::Disabled;
    if (pressedOrDown) return ButtonState::Pressed;
    if (focused) return ButtonState::Selected;
    if (hot) return ButtonState::Hot;
    return ButtonState::Normal;
}

}  // namespace tidewell::ui
