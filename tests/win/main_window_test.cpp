// The real main window under Wine: created from its definition, its controls
// placed as real child windows with their control ids.

#include <windows.h>
#include <gtest/gtest.h>

#include "app/ids.h"
#include "app/main_window_win.h"

namespace tidewell {
namespace {

HWND Child(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (::GetDlgCtrlID(hwnd) == s->id) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

TEST(MainWindow, CreatesTheWindowClassAndEveryControl) {
    MainWindow window;
    ASSERT_TRUE(window.Create()) << "GetLastError " << ::GetLastError();
    HWND hwnd = window.Hwnd();
    EXPECT_EQ(::FindWindowW(L"TFrmTidewell", nullptr), hwnd);

    RECT client;
    ::GetClientRect(hwnd, &client);
    const UINT dpi = ui::WindowDpi(hwnd);
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
    EXPECT_TRUE(::IsWindowVisible(Child(hwnd, ids::Card1)) || !::IsWindowVisible(hwnd));
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

}  // namespace
}  // namespace tidewell
