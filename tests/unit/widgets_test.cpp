#include <gtest/gtest.h>

#include "ui/button_styles.h"
#include "ui/layout.h"
#include "ui/widgets.h"

namespace tidewell::ui {
namespace {

TEST(Widgets, CheckBoxRunsItsHandlerOnEveryChangeButAListOnlyOnAUserPick) {
    TForm form(u"F", u"F", 100, 100);
    auto* box = new TCheckBox(&form, u"Chk", &form, {}, 1, u"c");
    auto* list = new TComboBox(&form, u"Edit", &form, {}, 2, {u"a", u"b"});
    int clicks = 0, changes = 0;
    box->OnClick = [&](TComponent*) { ++clicks; };
    list->OnChange = [&](TComponent*) { ++changes; };

    box->SetChecked(true);
    box->SetChecked(true);  // no change, no click
    box->Click();           // the user's click toggles
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box->Checked());

    list->SetItemIndex(1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(list->SelectedText(), u"b");
    list->SetItemIndex(7);  // out of range: no selection
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->SelectedText(), u"");
    list->UserSelect(0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->SelectedText(), u"a");
}

TEST(Widgets, OwnerDestroysWhatItOwnsAndParentsForgetDestroyedChildren) {
    auto form = std::make_unique<TForm>(u"F", u"F", 100, 100);
    auto* panel = new TPanel(form.get(), u"P", form.get(), {}, 1);
    auto* label = new TLabel(form.get(), u"L", panel, {}, 2, u"x");
    EXPECT_EQ(panel->Controls().size(), 1u);
    delete label;
    EXPECT_TRUE(panel->Controls().empty());
    EXPECT_EQ(form->Components().size(), 1u);
    EXPECT_EQ(form->FindComponent(u"p"), panel);  // names match without regard to ASCII case
    form.reset();  // with sanitizers on, a double free or a stale parent shows here
}

TEST(Widgets, OneDownButtonPerToolBarAndOneVisibleCard) {
    TForm form(u"F", u"F", 100, 100);
    auto* bar = new TStyledToolBar(&form, u"Bar", &form, {10, 10, 360, 30}, 1);
    auto* a = new TStyledToolButton(&form, u"A", bar, 2, u"a");
    auto* b = new TStyledToolButton(&form, u"B", bar, 3, u"b");
    EXPECT_EQ(b->GetBounds(), (Bounds{80, 0, 70, 30}));
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());

    auto* cards = new TCardPanel(&form, u"Cards", &form, {}, 4);
    auto* c0 = new TCard(&form, u"C0", cards, {}, 5);
    auto* c1 = new TCard(&form, u"C1", cards, {}, 6);
    cards->SetActiveCardIndex(1);
    EXPECT_FALSE(c0->Visible());
    EXPECT_TRUE(c1->Visible());
    cards->SetActiveCardIndex(5);  // no such card: unchanged
    EXPECT_EQ(cards->ActiveCardIndex(), 1);
}

TEST(Layout, AccentLineAboveHeaderAndPagesFillTheRest) {
    TForm form(u"F", u"F", 500, 450);
    auto* head = new TPanel(&form, u"Head", &form, {0, 0, 500, 50}, 1);
    head->Alignment = Align::Top;
    auto* logo = new TPanel(&form, u"Logo", head, {380, 0, 120, 50}, 2);
    logo->Alignment = Align::Right;
    auto* pages = new TPanel(&form, u"Pages", &form, {0, 50, 500, 400}, 3);
    pages->Alignment = Align::Client;
    auto* line = new TShape(&form, u"Line", &form, {0, 0, 500, 2}, 4);  // made later, at the top
    line->Alignment = Align::Top;

    ArrangeAligned(form, 500, 450);
    ArrangeAligned(*head, head->GetBounds().width, head->GetBounds().height);
    EXPECT_EQ(line->GetBounds(), (Bounds{0, 0, 500, 2}));
    EXPECT_EQ(head->GetBounds(), (Bounds{0, 2, 500, 50}));
    EXPECT_EQ(pages->GetBounds(), (Bounds{0, 52, 500, 398}));
    EXPECT_EQ(logo->GetBounds(), (Bounds{380, 0, 120, 50}));
}

TEST(ButtonStyles, DerivedColoursFollowTheRoundingRules) {
    EXPECT_EQ(LightenColor(0x3D84DD, 10), 0x5090E0u);
    EXPECT_EQ(GrayScaleColor(LightenColor(0x3D84DD, 50)), 0xBCBCBCu);
    EXPECT_EQ(GrayScaleColor(LightenColor(0x000000, 50)), 0x808080u);
    EXPECT_EQ(GrayScaleColor(LightenColor(0x3D84DD, 70)), 0xD7D7D7u);
    EXPECT_EQ(GrayScaleColor(LightenColor(0x000000, 70)), 0xB3B3B3u);
    EXPECT_EQ(MulDivRound(5, 1, 2), 3);    // half away from zero
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
}

TEST(ButtonStyles, AppearancesGiveTheirColoursInEveryState) {
    struct Row {
        const char16_t* appearance;
        ButtonState state;
        FillStyle fill;
        Rgb fillColor;
        BorderStyleKind border;
        Rgb borderColor;
        Rgb fontColor;
    } rows[] = {
        {u"Normal", ButtonState::Normal, FillStyle::Solid, 0x3D84DD, BorderStyleKind::Solid, 0x3D84DD, 0xFFFFFF},
        {u"Normal", ButtonState::Hot, FillStyle::Solid, 0x5090E0, BorderStyleKind::Solid, 0x3D84DD, 0xFFFFFF},
        {u"Normal", ButtonState::Disabled, FillStyle::Solid, 0xFFFFFF, BorderStyleKind::Solid, 0xC0C0C0, 0xC0C0C0},
        {u"Header", ButtonState::Normal, FillStyle::Clear, 0xFFFFFF, BorderStyleKind::Solid, 0x000000, 0x000000},
        {u"Header", ButtonState::Pressed, FillStyle::Solid, 0x3D84DD, BorderStyleKind::Clear, 0x3D84DD, 0xFFFFFF},
        {u"Header", ButtonState::Selected, FillStyle::Solid, 0x5090E0, BorderStyleKind::Clear, 0x3D84DD, 0xFFFFFF},
        {u"Header", ButtonState::Hot, FillStyle::Solid, 0x3D84DD, BorderStyleKind::Clear, 0x3D84DD, 0xFFFFFF},
        {u"Header", ButtonState::Disabled, FillStyle::Clear, 0xFFFFFF, BorderStyleKind::Solid, 0xBCBCBC, 0x808080},
        {u"outline", ButtonState::Normal, FillStyle::Clear, 0x3D84DD, BorderStyleKind::Solid, 0x3D84DD, 0x000000},
        {u"Outline", ButtonState::Pressed, FillStyle::Solid, 0x3D84DD, BorderStyleKind::Solid, 0x3D84DD, 0xFFFFFF},
        {u"Outline", ButtonState::Hot, FillStyle::Solid, 0x5090E0, BorderStyleKind::Solid, 0x3D84DD, 0xFFFFFF},
        {u"Outline", ButtonState::Disabled, FillStyle::Clear, 0x3D84DD, BorderStyleKind::Solid, 0xD7D7D7, 0xB3B3B3},
        {u"Primary", ButtonState::Normal, FillStyle::Solid, 0x3D84DD, BorderStyleKind::Solid, 0x3D84DD, 0xFFFFFF},
        {u"", ButtonState::Hot, FillStyle::Solid, 0x5090E0, BorderStyleKind::Solid, 0x3D84DD, 0xFFFFFF},
    };
    for (const Row& r : rows) {
        ButtonStyleSet sets;
        TVarnokButtonStyles::UpdateAttributes(u"Varnok", u"Primary", r.appearance, sets);
        const ButtonAttributes& a = sets.For(r.state);
        const std::string where = TextToUtf8(r.appearance) + " state " + std::to_string(static_cast<int>(r.state));
        EXPECT_EQ(a.fill, r.fill) << where;
        EXPECT_EQ(a.fillColor, r.fillColor) << where;
        EXPECT_EQ(a.border, r.border) << where;
        EXPECT_EQ(a.borderColor, r.borderColor) << where;
        EXPECT_EQ(a.fontColor, r.fontColor) << where;
        EXPECT_EQ(a.borderWidth, 0) << where;
        EXPECT_EQ(a.drawType, DrawType::RoundRect) << where;
    }
    Text cls, app;
    TVarnokButtonStyles::GetStyleByModalResult(2, cls, app);
    EXPECT_EQ(cls + u"/" + app, u"Primary/Normal");
}

TEST(ButtonStyles, StatePrecedenceIsDisabledPressedSelectedHot) {
    EXPECT_EQ(ChooseButtonState(false, true, true, true), ButtonState::Disabled);
    EXPECT_EQ(ChooseButtonState(true, true, true, true), ButtonState::Pressed);
    EXPECT_EQ(ChooseButtonState(true, false, true, true), ButtonState::Selected);
    EXPECT_EQ(ChooseButtonState(true, false, false, true), ButtonState::Hot);
    EXPECT_EQ(ChooseButtonState(true, false, false, false), ButtonState::Normal);
}

}  // namespace
}  // namespace tidewell::ui
