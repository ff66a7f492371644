#pragma once
// The "Varnok" button style family: the colours of the styled buttons in their
// five states, for the appearances "Normal", "Header" and "Outline".

#include <cstdint>
#include <vector>

#include "base/text.h"

namespace tidewell::ui {

using Rgb = uint32_t;  // 0xRRGGBB

[[nodiscard]] Rgb LightenColor(Rgb color, int percent) noexcept;
[[nodiscard]] Rgb GrayScaleColor(Rgb color) noexcept;
// MulDiv's rule: rounds to nearest, halves away from zero.
[[nodiscard]] int MulDivRound(int number, int numerator, int denominator) noexcept;

enum class DrawType { RoundRect };
enum class FillStyle { Solid, Clear };
enum class BorderStyleKind { Solid, Clear };

struct ButtonAttributes {
    DrawType drawType = DrawType::RoundRect;
    FillStyle fill = FillStyle::Solid;
    BorderStyleKind border = BorderStyleKind::Solid;
    Rgb fillColor = 0;
    Rgb borderColor = 0;
    Rgb fontColor = 0;
    int borderWidth = 0;
    bool boldOrOtherFontStyle = false;
    bool operator==(const ButtonAttributes&) const = default;
};

enum class ButtonState { Normal, Pressed, Selected, Hot, Disabled };

struct ButtonStyleSet {
    ButtonAttributes normal, pressed, selected, hot, disabled;
    [[nodiscard]] const ButtonAttributes& For(ButtonState state) const noexcept;
};

// The family as the styled-button drawing asks it.
class TVarnokButtonStyles {
public:
    [[nodiscard]] static Text FamilyName() { return u"Varnok"; }
    [[nodiscard]] static const std::vector<Text>& ButtonClasses();
    [[nodiscard]] static const std::vector<Text>& ButtonAppearances();
    // Class and appearance for a dialog button of any modal result.
    static void GetStyleByModalResult(int modalResult, Text& styleClass, Text& styleAppearance);
    static void UpdateAttributes(const Text& family, const Text& styleClass, const Text& appearance,
                                 ButtonStyleSet& sets);
};

// The state whose attributes a button shows, in the drawing's order of precedence.
[[nodiscard]] ButtonState ChooseButtonState(bool enabled, bool pressedOrDown, bool focused, bool hot) noexcept;

}  // namespace tidewell::ui
