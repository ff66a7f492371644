#include <gtest/gtest.h>

#include "ui/theme_helper.h"

namespace tidewell::ui {
namespace {

constexpr int32_t kGrey = 0x6D6D6D;

TEST(ThemeHelper, AccentLineFollowsActivation) {
    TForm form(u"F", u"F", 500, 450);
    auto* helper = new TThemeHelper(&form, kGrey);
    ASSERT_NE(helper->FShape, nullptr);
    EXPECT_EQ(helper->FShape->GetBounds(), (Bounds{0, 0, 500, 2}));
    EXPECT_EQ(helper->FShape->BrushColor(), 0x3D84DD);

    struct Step {
        unsigned message;
        uint64_t wParam;
        int32_t color;
    } steps[] = {
        {TThemeHelper::kWmActivate, 0 /*WA_INACTIVE*/, kGrey},
        {TThemeHelper::kWmSize, 1 /*minimised*/, kGrey},  // a size change keeps the state
        {TThemeHelper::kWmActivate, 2 /*WA_CLICKACTIVE*/, 0x3D84DD},
        {TThemeHelper::kWmActivate, 0x00010000 /*inactive, minimised flag in the high word*/, kGrey},
        {TThemeHelper::kWmActivate, 1 /*WA_ACTIVE*/, 0x3D84DD},
    };
    for (const Step& s : steps) {
        helper->ThemeWindowProc(s.message, s.wParam);
        EXPECT_EQ(helper->FShape->BrushColor(), s.color) << "message " << s.message << " wParam " << s.wParam;
        EXPECT_EQ(helper->FShape->PenColor(), s.color);
    }
}

TEST(ThemeHelper, NoLineWithoutBorderAndOnlyFormsAsOwner) {
    TForm form(u"F", u"F", 300, 200);
    form.Border = BorderStyle::None;
    auto* helper = new TThemeHelper(&form, kGrey);
    EXPECT_FALSE(helper->FShape->Visible());

    TPanel* panel = new TPanel(&form, u"P", &form, {}, 1);
    const size_t before = form.Components().size();
    try {
        new TThemeHelper(panel, kGrey);
        FAIL() << "a panel was accepted as owner";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "TThemeHelper Owner must be a TForm");
    }
    EXPECT_EQ(form.Components().size(), before);  // nothing was made
}

}  // namespace
}  // namespace tidewell::ui
