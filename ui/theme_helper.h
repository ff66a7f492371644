#pragma once
// The window's look: a dark title bar and a 2-pixel accent line along the top
// of the client area, blue while the window is active and grey while it is not.

#include <cstdint>
#include <stdexcept>

#include "ui/widgets.h"

namespace tidewell::ui {

class TThemeHelper : public TComponent {
public:
    // Raises std::invalid_argument "TThemeHelper Owner must be a TForm" when the owner is no form.
    // greyTextColor is the system's colour for grey text (0xRRGGBB).
    TThemeHelper(TComponent* owner, int32_t greyTextColor);
    [[nodiscard]] Text ClassName() const override { return u"TThemeHelper"; }

    // Fields, in this order.
    TForm* FForm = nullptr;
    int32_t FActiveColor = 0x3D84DD;
    bool FIsActive = true;
    TShape* FShape = nullptr;

    // The messages it looks at before the form's own window procedure sees them.
    static constexpr unsigned kWmSize = 5;
    static constexpr unsigned kWmActivate = 6;
    void ThemeWindowProc(unsigned message, uint64_t wParam);
    void UpdateAccentLine();

private:
    int32_t greyText_;
};

// The accent line's control id.
inline constexpr int kAccentLineId = 1060;

}  // namespace tidewell::ui
