// The main window's definition: every component with its kind, owner order,
// parent, place (pixels at 96 dpi), design text and settings. The texts are the
// Korean source texts; the caption walk translates them while the window is made.

#include <initializer_list>
#include <vector>

#include "app/frm_tidewell.h"
#include "app/ids.h"
#include "resources/resource_ids.h"

namespace tidewell {
namespace {

using namespace ui;

enum class Kind {
    Panel, ToolBar, ToolButton, VectorImage, CardPanel, Card, Label, ProgressBar, StyledButton, Indicator,
    GroupBox, CheckBox, ComboBox, Edit, Timer, Popup, MenuItem, ImageList
};

struct Row {
    Kind kind;
    const char16_t* name;
    const char16_t* parent;  // nullptr: the form itself
    Bounds bounds;
    int id;
    const char16_t* text = u"";
    int tabOrder = 0;
};

const std::vector<Text> kPercentItems = {u"30", u"40", u"50", u"60", u"70", u"80", u"90"};
const std::vector<Text> kMinuteItems = {u"5", u"10", u"20", u"30", u"40", u"50", u"60"};

// Ownership order is the order of this table.
const Row kDefinition[] = {
    {Kind::Panel, u"PnlHead", nullptr, {0, 0, 500, 50}, ids::PnlHead},
    {Kind::ToolBar, u"BtnHead", u"PnlHead", {10, 10, 360, 30}, ids::BtnHead},
    {Kind::ToolButton, u"BtnHome", u"BtnHead", {}, ids::BtnHome, u"처음화면"},
    {Kind::ToolButton, u"BtnConfig", u"BtnHead", {}, ids::BtnConfig, u"환경설정"},
    {Kind::ToolButton, u"BtnDonate", u"BtnHead", {}, ids::BtnDonate, u"후원하기"},
    {Kind::Panel, u"PnlLogo", u"PnlHead", {380, 0, 120, 50}, ids::PnlLogo},
    {Kind::VectorImage, u"SVGIconImage1", u"PnlLogo", {0, 0, 112, 50}, ids::SVGIconImage1},
    {Kind::CardPanel, u"PnlMain", nullptr, {0, 50, 500, 400}, ids::PnlMain},
    {Kind::Card, u"Card1", u"PnlMain", {0, 0, 500, 400}, ids::Card1},
    {Kind::Label, u"LblTitle", u"Card1", {8, 40, 484, 81}, ids::LblTitle, u"Tidewell"},
    {Kind::ProgressBar, u"ProgressBar", u"Card1", {56, 192, 393, 25}, ids::ProgressBar},
    {Kind::Label, u"LblPhys", u"Card1", {56, 223, 0, 0}, ids::LblPhys, u"실제 메모리"},
    {Kind::Label, u"LblPhysStatus", u"Card1", {134, 223, 0, 0}, ids::LblPhysStatus},
    {Kind::Label, u"LblVirtual", u"Card1", {56, 242, 0, 0}, ids::LblVirtual, u"가상 메모리"},
    {Kind::Label, u"LblVirtualStatus", u"Card1", {134, 242, 0, 0}, ids::LblVirtualStatus},
    {Kind::Label, u"LblWorking", u"Card1", {263, 242, 0, 0}, ids::LblWorking, u"워킹 셋"},
    {Kind::Label, u"LblWorkingStatus", u"Card1", {341, 242, 0, 0}, ids::LblWorkingStatus},
    {Kind::StyledButton, u"BtnClean", u"Card1", {168, 298, 164, 68}, ids::BtnClean, u"정리하기"},
    {Kind::Indicator, u"Indicator", u"Card1", {233, 316, 32, 32}, ids::Indicator},
    {Kind::Card, u"Card2", u"PnlMain", {0, 0, 500, 400}, ids::Card2},
    {Kind::GroupBox, u"GroupBox1", u"Card2", {15, 14, 474, 155}, ids::GroupBox1, u"메모리 관리", 0},
    {Kind::CheckBox, u"ChkUsagePhys", u"GroupBox1", {17, 32, 328, 17}, ids::ChkUsagePhys,
     u"실제 메모리 사용률(%) 이상일 때 정리하기", 0},
    {Kind::CheckBox, u"ChkMinute", u"GroupBox1", {17, 122, 328, 17}, ids::ChkMinute, u"다음 시간(분) 마다 정리하기", 1},
    {Kind::ComboBox, u"EditUsagePhys", u"GroupBox1", {372, 31, 81, 21}, ids::EditUsagePhys, u"%", 2},
    {Kind::ComboBox, u"EditMinute", u"GroupBox1", {372, 116, 81, 21}, ids::EditMinute, u"min", 3},
    {Kind::CheckBox, u"ChkUsagePage", u"GroupBox1", {17, 62, 328, 17}, ids::ChkUsagePage,
     u"가상 메모리 사용률(%) 이상일 때 정리하기", 4},
    {Kind::ComboBox, u"EditUsagePage", u"GroupBox1", {372, 62, 81, 21}, ids::EditUsagePage, u"%", 5},
    {Kind::CheckBox, u"ChkUsageWork", u"GroupBox1", {17, 92, 328, 17}, ids::ChkUsageWork,
     u"워킹셋 사용률(%) 이상일 때 정리하기", 6},
    {Kind::ComboBox, u"EditUsageWork", u"GroupBox1", {372, 89, 81, 21}, ids::EditUsageWork, u"%", 7},
    {Kind::GroupBox, u"GroupBox3", u"Card2", {15, 192, 474, 73}, ids::GroupBox3, u"기본 설정", 1},
    {Kind::CheckBox, u"ChkAutoStart", u"GroupBox3", {17, 32, 208, 17}, ids::ChkAutoStart, u"부팅시 실행하기", 0},
    {Kind::CheckBox, u"ChkCleanOnTray", u"GroupBox3", {245, 32, 208, 17}, ids::ChkCleanOnTray,
     u"트레이 아이콘 클릭시 정리하기", 1},
    {Kind::Edit, u"EditInfo", u"Card2", {15, 368, 170, 21}, ids::EditInfo},
    {Kind::Timer, u"TmrStatus", nullptr, {}, ids::TmrStatus},
    {Kind::Popup, u"Popup", nullptr, {}, 0},
    {Kind::MenuItem, u"BtnOpen", u"Popup", {}, ids::BtnOpen, u"Tidewell"},
    {Kind::MenuItem, u"N2", u"Popup", {}, ids::N2, u"-"},
    {Kind::MenuItem, u"BtnCopyright", u"Popup", {}, ids::BtnCopyright, u"만든이 Orlek"},
    {Kind::MenuItem, u"BtnClose", u"Popup", {}, ids::BtnClose, u"종료"},
    {Kind::ImageList, u"ListIcon", nullptr, {}, 0},
};

template <typename T>
T* Find(TForm& form, const char16_t* name) {
    return dynamic_cast<T*>(form.FindComponent(name));
}

}  // namespace

void TFrmTidewell::BuildFromDefinition() {
    for (const Row& row : kDefinition) {
        TComponent* parentComponent = row.parent ? FindComponent(row.parent) : this;
        auto* parent = dynamic_cast<TWinControl*>(parentComponent);
        const Text name = row.name;
        TControl* control = nullptr;
        switch (row.kind) {
            case Kind::Panel:
                control = new TPanel(this, name, parent, row.bounds, row.id);
                break;
            case Kind::ToolBar: {
                auto* bar = new TStyledToolBar(this, name, parent, row.bounds, row.id);
                bar->SetCaption(name);
                bar->StyleAppearance = u"Header";
                bar->CornerRadius = 4;
                control = bar;
                break;
            }
            case Kind::ToolButton:
                control = new TStyledToolButton(this, name, dynamic_cast<TStyledToolBar*>(parent), row.id, row.text);
                break;
            case Kind::VectorImage:
                control = new TVectorImage(this, name, parent, row.bounds, row.id);
                control->HandCursor = true;
                break;
            case Kind::CardPanel:
                control = new TCardPanel(this, name, parent, row.bounds, row.id);
                break;
            case Kind::Card:
                control = new TCard(this, name, parent, row.bounds, row.id);
                break;
            case Kind::Label:
                control = new TLabel(this, name, parent, row.bounds, row.id, row.text);
                break;
            case Kind::ProgressBar:
                control = new TProgressBar(this, name, parent, row.bounds, row.id);
                break;
            case Kind::StyledButton: {
                auto* button = new TStyledButton(this, name, parent, row.bounds, row.id, row.text);
                button->StyleAppearance = u"Outline";
                button->CornerRadius = 6;
                control = button;
                break;
            }
            case Kind::Indicator:
                control = new TActivityIndicator(this, name, parent, row.bounds, row.id);
                break;
            case Kind::GroupBox:
                control = new TGroupBox(this, name, parent, row.bounds, row.id, row.text);
                break;
            case Kind::CheckBox:
                control = new TCheckBox(this, name, parent, row.bounds, row.id, row.text);
                break;
            case Kind::ComboBox: {
                const bool minutes = Text(row.text) == u"min";
                control = new TComboBox(this, name, parent, row.bounds, row.id, minutes ? kMinuteItems : kPercentItems);
                break;
            }
            case Kind::Edit: {
                auto* edit = new TEdit(this, name, parent, row.bounds, row.id);
                edit->ReadOnly = true;
                edit->HasBorder = false;
                control = edit;
                break;
            }
            case Kind::Timer:
                new TTimer(this, name, row.id, 1000);
                break;
            case Kind::Popup:
                new TPopupMenu(this, name);
                break;
            case Kind::MenuItem: {
                auto* item = new TMenuItem(this, name, row.id, row.text);
                if (auto* menu = dynamic_cast<TPopupMenu*>(parentComponent)) menu->Items().Add(item);
                break;
            }
            case Kind::ImageList:
                new TImageList(this, name, 16, 16, {IDI_TRAY_IDLE, IDI_TRAY_BUSY});
                break;
        }
        if (control) control->TabOrder = row.tabOrder;
    }

    PnlHead = Find<TPanel>(*this, u"PnlHead");
    PnlHead->Alignment = Align::Top;
    BtnHead = Find<TStyledToolBar>(*this, u"BtnHead");
    BtnHome = Find<TStyledToolButton>(*this, u"BtnHome");
    BtnConfig = Find<TStyledToolButton>(*this, u"BtnConfig");
    BtnDonate = Find<TStyledToolButton>(*this, u"BtnDonate");
    PnlLogo = Find<TPanel>(*this, u"PnlLogo");
    PnlLogo->Alignment = Align::Right;
    SVGIconImage1 = Find<TVectorImage>(*this, u"SVGIconImage1");
    PnlMain = Find<TCardPanel>(*this, u"PnlMain");
    PnlMain->Alignment = Align::Client;
    Card1 = Find<TCard>(*this, u"Card1");
    Card2 = Find<TCard>(*this, u"Card2");
    LblTitle = Find<TLabel>(*this, u"LblTitle");
    LblTitle->AutoSize = false;
    LblTitle->Centered = true;
    LblTitle->FontFace = u"Tahoma";
    LblTitle->FontHeight = 59;
    ProgressBar = Find<TProgressBar>(*this, u"ProgressBar");
    LblPhys = Find<TLabel>(*this, u"LblPhys");
    LblPhysStatus = Find<TLabel>(*this, u"LblPhysStatus");
    LblVirtual = Find<TLabel>(*this, u"LblVirtual");
    LblVirtualStatus = Find<TLabel>(*this, u"LblVirtualStatus");
    LblWorking = Find<TLabel>(*this, u"LblWorking");
    LblWorkingStatus = Find<TLabel>(*this, u"LblWorkingStatus");
    BtnClean = Find<TStyledButton>(*this, u"BtnClean");
    Indicator = Find<TActivityIndicator>(*this, u"Indicator");
    GroupBox1 = Find<TGroupBox>(*this, u"GroupBox1");
    ChkUsagePhys = Find<TCheckBox>(*this, u"ChkUsagePhys");
    ChkMinute = Find<TCheckBox>(*this, u"ChkMinute");
    EditUsagePhys = Find<TComboBox>(*this, u"EditUsagePhys");
    EditMinute = Find<TComboBox>(*this, u"EditMinute");
    ChkUsagePage = Find<TCheckBox>(*this, u"ChkUsagePage");
    EditUsagePage = Find<TComboBox>(*this, u"EditUsagePage");
    ChkUsageWork = Find<TCheckBox>(*this, u"ChkUsageWork");
    EditUsageWork = Find<TComboBox>(*this, u"EditUsageWork");
    GroupBox3 = Find<TGroupBox>(*this, u"GroupBox3");
    ChkAutoStart = Find<TCheckBox>(*this, u"ChkAutoStart");
    ChkCleanOnTray = Find<TCheckBox>(*this, u"ChkCleanOnTray");
    EditInfo = Find<TEdit>(*this, u"EditInfo");
    TmrStatus = Find<TTimer>(*this, u"TmrStatus");
    Popup = Find<TPopupMenu>(*this, u"Popup");
    BtnOpen = Find<TMenuItem>(*this, u"BtnOpen");
    N2 = Find<TMenuItem>(*this, u"N2");
    BtnCopyright = Find<TMenuItem>(*this, u"BtnCopyright");
    BtnClose = Find<TMenuItem>(*this, u"BtnClose");
    ListIcon = Find<TImageList>(*this, u"ListIcon");

    // The definition's own state: the home button down, the settings card
    // active (the creation sequence switches to the home page).
    BtnHome->SetDown(true);
    PnlMain->SetActiveCardIndex(1);
}

}  // namespace tidewell
