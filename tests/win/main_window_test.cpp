// The real main window under Wine: created from its definition, its controls
// placed as real child windows with their control ids.

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/ids.h"
#include "app/main_window_win.h"
#include "base/wide_win.h"
#include "i18n/component_translation.h"
#include "i18n/translation.h"
#include "memory/kernel.h"
#include "support/window_lookup.h"

namespace tidewell {
namespace {

HWND Child(HWND parent, int id) { return testing::ChildById(parent, id); }
std::wstring TextOf(HWND hwnd) { return testing::WindowText(hwnd); }

TEST(MainWindow, CreatesTheWindowClassAndEveryControl) {
    MainWindow window;
    ASSERT_TRUE(window.Create()) << "GetLastError " << ::GetLastError();
    HWND hwnd = window.Hwnd();
    EXPECT_EQ(::FindWindowW(L"TFrmTidewell", nullptr), hwnd);

    RECT client;
    ::GetClientRect(hwnd, &client);
    const UINT dpi = ui::WindowDpi(hwnd);
    // The run on a scaled screen says which resolution it set up.
    if (const char* expected = std::getenv("TIDEWELL_EXPECTED_DPI")) {
        EXPECT_EQ(dpi, static_cast<UINT>(std::atoi(expected)));
    }
    EXPECT_EQ(client.right, MulDiv(500, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(450, dpi, 96));
    const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);

    for (int id : {ids::PnlHead, ids::BtnHome, ids::BtnConfig, ids::BtnDonate, ids::SVGIconImage1, ids::PnlMain,
                   ids::Card1, ids::Card2, ids::LblTitle, ids::ProgressBar, ids::LblPhys, ids::LblPhysStatus,
                   ids::BtnClean, ids::Indicator, ids::GroupBox1, ids::ChkUsagePhys, ids::EditUsagePhys,
                   ids::EditMinute, ids::GroupBox3, ids::ChkAutoStart, ids::ChkCleanOnTray, ids::EditInfo,
                   ids::AccentLine}) {
        EXPECT_NE(Child(hwnd, id), nullptr) << "control id " << id;
    }
    // The home page is shown and the settings page hidden.
    EXPECT_FALSE(::GetWindowLongW(Child(hwnd, ids::Card2), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(::GetWindowLongW(Child(hwnd, ids::Card1), GWL_STYLE) & WS_VISIBLE);

    // The pages sit below the 2-pixel accent line and the 50-pixel header.
    RECT pages;
    ::GetWindowRect(Child(hwnd, ids::PnlMain), &pages);
    POINT topLeft{pages.left, pages.top};
    ::ScreenToClient(hwnd, &topLeft);
    EXPECT_EQ(topLeft.y, MulDiv(52, dpi, 96));

    HWND clean = Child(hwnd, ids::BtnClean);
    RECT cleanRect;
    ::GetWindowRect(clean, &cleanRect);
    EXPECT_EQ(cleanRect.right - cleanRect.left, MulDiv(164, dpi, 96));
    EXPECT_EQ(TextOf(Child(hwnd, ids::LblTitle)), L"Tidewell");
}

// The header's buttons, pressed as the user presses them, switch the pages.
TEST(MainWindow, HeaderButtonsSwitchTheVisiblePage) {
    MainWindow window;
    ASSERT_TRUE(window.Create());
    HWND hwnd = window.Hwnd();
    auto visible = [&](int id) { return (::GetWindowLongW(Child(hwnd, id), GWL_STYLE) & WS_VISIBLE) != 0; };
    ::SendMessageW(Child(hwnd, ids::BtnConfig), BM_CLICK, 0, 0);
    EXPECT_TRUE(visible(ids::Card2));
    EXPECT_FALSE(visible(ids::Card1));
    EXPECT_TRUE(window.Form().BtnConfig->Down());
    ::SendMessageW(Child(hwnd, ids::BtnHome), BM_CLICK, 0, 0);
    EXPECT_TRUE(visible(ids::Card1));
    EXPECT_FALSE(visible(ids::Card2));
    EXPECT_FALSE(window.Form().BtnConfig->Down());

    // A check box clicked in its window changes the model and runs its handler.
    HWND box = Child(hwnd, ids::ChkCleanOnTray);
    const bool before = window.Form().ChkCleanOnTray->Checked();
    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_NE(window.Form().ChkCleanOnTray->Checked(), before);
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, !before);
    ::SendMessageW(box, BM_CLICK, 0, 0);  // and back, for the user's registry

    // The theme helper's line follows activation: blue while active, grey while not.
    TFrmTidewell& form = window.Form();
    ui::TShape* line = nullptr;
    for (ui::TComponent* c : form.Components()) {
        if (auto* shape = dynamic_cast<ui::TShape*>(c)) line = shape;
    }
    ASSERT_NE(line, nullptr);
    ::SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_NE(line->BrushColor(), 0x3D84DD);
    ::SendMessageW(hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(line->BrushColor(), 0x3D84DD);
    EXPECT_EQ(::SendMessageW(hwnd, WM_HELP, 0, 0), 0);

    // The tray menu's first item brings a hidden window back.
    ::ShowWindow(hwnd, SW_HIDE);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ids::BtnOpen, 0), 0);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    // Closing the window hides it; it is still there.
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    EXPECT_TRUE(::IsWindow(hwnd));
}

// A kernel that records the classes and lengths of the clean's calls.
struct RecordingKernel {
    static inline std::vector<std::pair<uint32_t, uint32_t>> calls;
    static inline DWORD thread = 0;
    static constexpr KernelApi kApi{
        [](uint32_t, void*, uint32_t, uint32_t*) -> NtStatus { return static_cast<NtStatus>(0xC0000001); },
        [](uint32_t infoClass, void*, uint32_t length) -> NtStatus {
            calls.emplace_back(infoClass, length);
            thread = ::GetCurrentThreadId();
            ::Sleep(50);
            return 0;
        },
        [](MemoryStatusEx*) { return false; },
    };
};

// The clean button of the real window: the six calls run on a worker, the
// button is busy meanwhile, and the completion comes back to this thread.
TEST(MainWindow, CleanButtonCleansOnAWorkerAndComesBack) {
    MainWindow window;
    ASSERT_TRUE(window.Create());
    TFrmTidewell& form = window.Form();
    HWND clean = Child(window.Hwnd(), ids::BtnClean);
    RecordingKernel::calls.clear();
    KernelOverride kernel(RecordingKernel::kApi);
    const DateTime before = form.NextTime;

    ::SendMessageW(clean, BM_CLICK, 0, 0);
    EXPECT_TRUE(form.IsRunning());
    EXPECT_FALSE(::IsWindowEnabled(clean));
    EXPECT_EQ(TextOf(clean), L"");
    EXPECT_EQ(form.TrayIcon->ImageIndex(), 1);
    ::SendMessageW(clean, BM_CLICK, 0, 0);  // disabled and busy: nothing more

    const DWORD start = ::GetTickCount();
    MSG msg;
    while (form.IsRunning() && ::GetTickCount() - start < 20000) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
    ASSERT_FALSE(form.IsRunning()) << "the clean never completed";
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {21, 64}, {80, 4}, {80, 4}, {80, 4}, {80, 4}, {130, 24}};
    EXPECT_EQ(RecordingKernel::calls, expected);
    EXPECT_NE(RecordingKernel::thread, ::GetCurrentThreadId());
    EXPECT_TRUE(::IsWindowEnabled(clean));
    EXPECT_EQ(TextOf(clean), ToWide(Translate(u"정리하기")));
    EXPECT_EQ(form.TrayIcon->ImageIndex(), 0);
    EXPECT_GT(form.NextTime, before);
}

// The real window whose notifications are counted on their way to the tray icon.
class CountingWindow : public MainWindow {
public:
    void ShowNotification(const Text& name, const Text& title, const Text& body) override {
        bodies.push_back(body);
        MainWindow::ShowNotification(name, title, body);
    }
    std::vector<Text> bodies;
};

void PumpUntilIdle(TFrmTidewell& form) {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (form.IsRunning() && ::GetTickCount() - start < 20000) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(5);
    }
}

// A click on the tray icon with clean-on-click on cleans and tells the user
// once; the clean button never does.
TEST(MainWindow, OnlyATrayStartedCleanEndsWithANotification) {
    CountingWindow window;
    ASSERT_TRUE(window.Create());
    TFrmTidewell& form = window.Form();
    KernelOverride kernel(RecordingKernel::kApi);
    form.ChkCleanOnTray->SetChecked(true);

    // The icon's callback message, as the shell sends it for a left click.
    ::SendMessageW(window.Hwnd(), ids::WmTrayIcon, 1, WM_LBUTTONUP);
    EXPECT_TRUE(form.IsRunning());
    ::SendMessageW(window.Hwnd(), ids::WmTrayIcon, 1, WM_LBUTTONUP);  // during the clean: nothing more
    PumpUntilIdle(form);
    ASSERT_EQ(window.bodies.size(), 1u);
    EXPECT_EQ(window.bodies[0], Translate(u"메모리를 정리하였습니다."));

    ::SendMessageW(Child(window.Hwnd(), ids::BtnClean), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.IsRunning());
    PumpUntilIdle(form);
    EXPECT_FALSE(form.IsRunning());
    EXPECT_EQ(window.bodies.size(), 1u);
    form.ChkCleanOnTray->SetChecked(false);
}

std::wstring ComboItem(HWND combo, int index) {
    wchar_t buffer[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// The real window, translated again into other languages: every captioned
// child window shows the table's text, the lists keep their items and choice.
TEST(MainWindow, TranslatesEveryCaptionedControlIntoTheChosenLanguage) {
    LoadTranslationTable();
    ASSERT_FALSE(TranslationTable().empty());
    MainWindow window;
    ASSERT_TRUE(window.Create());
    HWND hwnd = window.Hwnd();
    TFrmTidewell& form = window.Form();
    form.EditUsagePhys->SetItemIndex(3);  // "60"

    struct Expectation {
        int id;
        const char16_t* source;  // the Korean source text of the control
    } controls[] = {
        {ids::BtnHome, u"처음화면"}, {ids::BtnConfig, u"환경설정"}, {ids::BtnDonate, u"후원하기"},
        {ids::LblPhys, u"실제 메모리"}, {ids::LblVirtual, u"가상 메모리"}, {ids::LblWorking, u"워킹 셋"},
        {ids::GroupBox1, u"메모리 관리"}, {ids::GroupBox3, u"기본 설정"},
        {ids::ChkUsagePhys, u"실제 메모리 사용률(%) 이상일 때 정리하기"},
        {ids::ChkUsagePage, u"가상 메모리 사용률(%) 이상일 때 정리하기"},
        {ids::ChkUsageWork, u"워킹셋 사용률(%) 이상일 때 정리하기"},
        {ids::ChkMinute, u"다음 시간(분) 마다 정리하기"}, {ids::ChkAutoStart, u"부팅시 실행하기"},
        {ids::ChkCleanOnTray, u"트레이 아이콘 클릭시 정리하기"}, {ids::LblTitle, u"Tidewell"},
    };
    for (const char16_t* language : {u"en", u"ja", u"ar", u"ko"}) {
        TranslateComponent(&form, language);
        const std::string lang = TextToUtf8(language);
        for (const auto& c : controls) {
            EXPECT_EQ(TextOf(Child(hwnd, c.id)), ToWide(Translate(c.source, language)))
                << lang << " control " << c.id;
        }
        EXPECT_EQ(form.BtnClose->Caption(), Translate(u"종료", language)) << lang;
        EXPECT_EQ(form.BtnCopyright->Caption(), Translate(u"만든이 Orlek", language)) << lang;
        EXPECT_EQ(form.N2->Caption(), u"-");
        EXPECT_EQ(TextOf(hwnd), L"Tidewell") << lang;
        HWND list = Child(hwnd, ids::EditUsagePhys);
        EXPECT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 7) << lang;
        EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), 3) << lang;
        EXPECT_EQ(ComboItem(list, 3), L"60") << lang;
    }
    // Spot checks against the table itself, so a lookup that returns its input cannot pass.
    TranslateComponent(&form, u"ja");
    EXPECT_EQ(TextOf(Child(hwnd, ids::BtnHome)), L"\u30DB\u30FC\u30E0");  // ホーム
    TranslateComponent(&form, u"ar");
    EXPECT_EQ(TextOf(Child(hwnd, ids::GroupBox3)), L"\u0639\u0627\u0645");  // عام
    TranslateComponent(&form, u"en");
    EXPECT_EQ(TextOf(Child(hwnd, ids::ChkAutoStart)), L"Run on system start");
    // The working-set caption has no English line: from Arabic it stays Arabic.
    EXPECT_EQ(TextOf(Child(hwnd, ids::LblWorking)), L"\u0639\u0645\u0644");
}

}  // namespace
}  // namespace tidewell
