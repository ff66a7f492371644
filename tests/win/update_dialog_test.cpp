// The update dialog under Wine on a virtual display: its geometry, how it
// ends, the notice strip, the stay-on-top flag and its texts. The dialog is
// driven from a thread timer while its own modal loop runs; the shell is
// replaced through the hooks, so a link click opens nothing.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/ui_dispatch_win.h"
#include "base/wide_win.h"
#include "build_config.h"
#include "i18n/translation.h"
#include "support/loopback_http_server.h"
#include "update/answer_text.h"
#include "update/service_values.h"
#include "update/update_dialog.h"
#include "update/update_dialog_win.h"
#include "update/update_exchange_hooks.h"
#include "update/update_prompt.h"

namespace tidewell {
namespace {

using namespace update_dialog;

// ---- Screenshots: a window's image as a PNG file (stored deflate blocks, so no codec is needed).

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static uint32_t table[256] = {};
    if (table[1] == 0) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    PutBigEndian(png, Crc32(typed.data(), typed.size()));
}

// rgb: width * height * 3 bytes, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        raw.insert(raw.end(), rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

// The whole window as the window manager would show it, rows top to bottom.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    [[nodiscard]] COLORREF At(int x, int y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    }
};

Image Capture(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    ::GetWindowRect(window, &r);
    Image image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    // Children draw into their top-level window's surface, so the window's own
    // DC holds the finished picture, frame included.
    HDC source = ::GetWindowDC(window);
    ::BitBlt(memory, 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
    ::ReleaseDC(window, source);
    ::GdiFlush();
    const auto* bgra = static_cast<const uint8_t*>(bits);
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    for (size_t i = 0; i < static_cast<size_t>(image.width) * image.height; ++i) {
        image.rgb[i * 3] = bgra[i * 4 + 2];
        image.rgb[i * 3 + 1] = bgra[i * 4 + 1];
        image.rgb[i * 3 + 2] = bgra[i * 4];
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return image;
}

// ---- Driving the dialog.

std::function<void(HWND)> g_inspect;
bool g_inspected = false;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = ::FindWindowW(kClassName, nullptr);
    if (!dialog || !::IsWindowVisible(dialog) || g_inspected) return;
    ::KillTimer(nullptr, id);
    g_inspected = true;
    g_inspect(dialog);
    // Whatever the inspection did or failed to do, the dialog must end.
    if (::IsWindow(dialog)) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

// Shows the dialog for the answer, runs inspect on it once it is up, and
// returns UpdateDialog's result.
bool RunDialog(const std::string& answer, std::function<void(HWND)> inspect) {
    g_inspect = std::move(inspect);
    g_inspected = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTimer);
    const bool result = UpdateDialog(Utf8ToText(answer));
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_inspected) << "the dialog never appeared";
    EXPECT_EQ(::FindWindowW(kClassName, nullptr), nullptr) << "the dialog outlived UpdateDialog";
    return result;
}

std::string Answer(const std::string& style, const std::string& text = "Notice", const std::string& flag = "",
                   const std::string& url = "") {
    return "{\"update\":\"https://dl.example.com/setup.exe\",\"info\":{\"style\":\"" + style + "\",\"text\":\"" + text +
           "\",\"flag\":\"" + flag + "\",\"url\":\"" + url + "\"}}";
}

RECT OuterRect(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return r;
}

// A child's rectangle in its parent's client coordinates.
RECT ClientRectOf(HWND dialog, int id) {
    RECT r{};
    HWND child = ::GetDlgItem(dialog, id);
    if (!child) return r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

Text WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(window, buffer, 1024);
    return FromWide(buffer);
}

std::string OwnVersion() {
    return std::to_string(TIDEWELL_VERSION_MAJOR) + "." + std::to_string(TIDEWELL_VERSION_MINOR) + "." +
           std::to_string(TIDEWELL_VERSION_PATCH) + "." + std::to_string(TIDEWELL_VERSION_TWEAK);
}

void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

class UpdateDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallUiDispatcher();
        SetCurrentLanguage(u"en");
        SetServiceValues(testing::LoopbackUrl(testing::LoopbackHttpServer::RefusedPort(), "/api.init.php"), 10);
        SetUpdateDialogApplication(u"Tidewell", nullptr);
        UpdateExchangeHooks hooks = DefaultUpdateExchangeHooks();
        hooks.shellOpen = [this](const Text& address) { opened_.push_back(address); };
        SetUpdateExchangeHooks(hooks);
    }
    void TearDown() override {
        SetUpdateExchangeHooks(DefaultUpdateExchangeHooks());
        SetUpdateDialogApplication(u"Tidewell", nullptr);
    }
    std::vector<Text> opened_;
};

TEST_F(UpdateDialogTest, HoldStripAddsItsHeightWithLineAndBoxAtFixedDistances) {
    int plainHeight = 0, plainWidth = 0;
    (void)RunDialog(Answer(""), [&](HWND dialog) {
        const RECT outer = OuterRect(dialog);
        plainHeight = outer.bottom - outer.top;
        plainWidth = outer.right - outer.left;
        EXPECT_EQ(::GetDlgItem(dialog, Separator), nullptr);
        EXPECT_EQ(::GetDlgItem(dialog, HoldBox), nullptr);
        EXPECT_EQ(::GetDlgItem(dialog, NoteLink), nullptr);

        // Centred on the screen's work area.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1);
        EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1);
    });
    ASSERT_GT(plainHeight, 0);

    (void)RunDialog(Answer("hold", "Do not show this again"), [&](HWND dialog) {
        if (::GetDpiForWindow(dialog) != 96) {
            ADD_FAILURE() << "the display runs at " << ::GetDpiForWindow(dialog) << " dpi; the distances are for 96";
            return;
        }
        const RECT outer = OuterRect(dialog);
        const int height = outer.bottom - outer.top;
        EXPECT_EQ(height, plainHeight + 30);
        EXPECT_EQ(outer.right - outer.left, plainWidth);

        const RECT line = ClientRectOf(dialog, Separator);
        EXPECT_EQ(line.top, height - 66);
        EXPECT_EQ(line.left, 0);
        EXPECT_EQ(line.bottom - line.top, 1);
        EXPECT_EQ(line.right - line.left, plainWidth);

        const RECT box = ClientRectOf(dialog, HoldBox);
        EXPECT_EQ(box.top, height - 56);
        EXPECT_EQ(box.left, 10);
        EXPECT_EQ(WindowText(::GetDlgItem(dialog, HoldBox)), u"Do not show this again");
        EXPECT_EQ(::GetDlgItem(dialog, NoteLink), nullptr);

        // The line is drawn light grey on the white dialog.
        const Image image = Capture(dialog);
        POINT origin{0, 0};
        ::ClientToScreen(dialog, &origin);
        const int x = origin.x - outer.left + 3;
        const int y = origin.y - outer.top + line.top;
        EXPECT_EQ(image.At(x, y), RGB(204, 204, 204));
        EXPECT_EQ(image.At(x, y - 2), RGB(255, 255, 255));
    });
}

TEST_F(UpdateDialogTest, OnlyYesGivesTrue) {
    struct Case {
        const char* name;
        std::function<void(HWND)> end;
        bool expected;
    } cases[] = {
        {"Yes", [](HWND d) { Click(d, IDYES); }, true},
        {"No", [](HWND d) { Click(d, IDNO); }, false},
        {"close button", [](HWND d) { ::SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
        {"WM_CLOSE", [](HWND d) { ::SendMessageW(d, WM_CLOSE, 0, 0); }, false},
        {"Escape", [](HWND) {
             ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
             ::PostMessageW(::GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
         }, false},
        {"Enter on the default button", [](HWND d) {
             EXPECT_EQ(::GetFocus(), ::GetDlgItem(d, IDYES));
             ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
             ::PostMessageW(::GetFocus(), WM_KEYUP, VK_RETURN, 0xC0000001);
         }, true},
    };
    for (const auto& c : cases) {
        // Posted keys are read before the close that RunDialog posts after them.
        EXPECT_EQ(RunDialog(Answer(""), c.end), c.expected) << c.name;
    }
}

TEST_F(UpdateDialogTest, TickedHoldBoxSendsTheHoldCommandWhateverTheButton) {
    for (const int button : {IDYES, IDNO}) {
        testing::LoopbackHttpServer server([](const testing::HttpRequest&, size_t) { return testing::HttpResponse{}; });
        SetServiceValues(server.Url("/api.init.php"), 10);
        const bool result = RunDialog(Answer("hold"), [&](HWND dialog) {
            Click(dialog, HoldBox);
            EXPECT_EQ(::SendMessageW(::GetDlgItem(dialog, HoldBox), BM_GETCHECK, 0, 0), BST_CHECKED);
            Click(dialog, button);
        });
        EXPECT_EQ(result, button == IDYES);
        ASSERT_TRUE(server.WaitForRequests(1, 60'000)) << "button " << button;
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].Header("User-Command"), "hold");
        EXPECT_EQ(requests[0].Header("User-Version"), OwnVersion());
        EXPECT_EQ(requests[0].Header("User-Language"), std::nullopt);
        EXPECT_EQ(requests[0].Header("User-Debug"), std::nullopt);
        EXPECT_EQ(requests[0].Header("User-Union"), std::nullopt);
    }
    // An unticked box sends nothing.
    testing::LoopbackHttpServer quiet([](const testing::HttpRequest&, size_t) { return testing::HttpResponse{}; });
    SetServiceValues(quiet.Url("/api.init.php"), 10);
    EXPECT_FALSE(RunDialog(Answer("hold"), [](HWND dialog) { Click(dialog, IDNO); }));
    EXPECT_FALSE(quiet.WaitForRequests(1, 1000));
}

TEST_F(UpdateDialogTest, NoteLinkIsABlueUnderlinedHandThatOpensItsAddress) {
    const std::string url = "https://news.example.com/notice?id=7";
    const bool result = RunDialog(Answer("note", "Read the notice", "", "https:\\/\\/news.example.com\\/notice?id=7"),
                                  [&](HWND dialog) {
        HWND link = ::GetDlgItem(dialog, NoteLink);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(WindowText(link), u"Read the notice");
        const RECT outer = OuterRect(dialog);
        const RECT r = ClientRectOf(dialog, NoteLink);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, (outer.bottom - outer.top) - 56);
        EXPECT_EQ(::GetDlgItem(dialog, HoldBox), nullptr);

        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_TRUE(font.lfUnderline);
        HDC dc = ::GetDC(link);
        ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
        ::ReleaseDC(link, dc);
        EXPECT_TRUE(::SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));

        for (int i = 0; i < 2; ++i) {
            ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        }
        EXPECT_TRUE(::IsWindowVisible(dialog)) << "the dialog stays open after a click";
        Click(dialog, IDNO);
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(opened_, (std::vector<Text>{Utf8ToText(url), Utf8ToText(url)}));
}

TEST_F(UpdateDialogTest, NoteLinkOpensOnlyWebAddresses) {
    for (const std::string url : {"file:\\/\\/\\/C:\\/Windows\\/notepad.exe", "C:\\\\Windows\\\\notepad.exe", ""}) {
        opened_.clear();
        (void)RunDialog(Answer("note", "Read", "", url), [](HWND dialog) {
            HWND link = ::GetDlgItem(dialog, NoteLink);
            ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            Click(dialog, IDNO);
        });
        EXPECT_TRUE(opened_.empty()) << url;
    }
}

TEST_F(UpdateDialogTest, StylesInOtherCaseGetOnlyTheStrip) {
    int plainHeight = 0;
    (void)RunDialog(Answer(""), [&](HWND d) {
        const RECT r = OuterRect(d);
        plainHeight = r.bottom - r.top;
    });
    for (const std::string style : {"HOLD", "Note", "other"}) {
        (void)RunDialog(Answer(style), [&](HWND dialog) {
            const RECT r = OuterRect(dialog);
            EXPECT_EQ(r.bottom - r.top, plainHeight + 30) << style;
            EXPECT_NE(::GetDlgItem(dialog, Separator), nullptr) << style;
            EXPECT_EQ(::GetDlgItem(dialog, HoldBox), nullptr) << style;
            EXPECT_EQ(::GetDlgItem(dialog, NoteLink), nullptr) << style;
        });
    }
}

TEST_F(UpdateDialogTest, StayOnTopFlag) {
    HWND main = ::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(main, nullptr);
    struct Case {
        const char* flag;
        bool mainShown;
        bool topmost;
        bool ownedByMain;
        bool smallIcon;
    } cases[] = {
        {"stayontop", true, true, true, false},
        {"silent stayontop nosound", false, true, false, true},
        {"StayOnTop", false, false, true, false},
        {"", false, false, true, false},
    };
    for (const auto& c : cases) {
        ::ShowWindow(main, c.mainShown ? SW_SHOWNOACTIVATE : SW_HIDE);
        SetUpdateDialogApplication(u"Tidewell", main);
        (void)RunDialog(Answer("", "", c.flag), [&](HWND dialog) {
            const bool topmost = (::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            EXPECT_EQ(topmost, c.topmost) << c.flag;
            EXPECT_EQ(::GetWindow(dialog, GW_OWNER) == main, c.ownedByMain) << c.flag;
            EXPECT_EQ(::SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0) != 0, c.smallIcon) << c.flag;
            EXPECT_FALSE(::IsWindowEnabled(main)) << "the dialog is modal";
        });
        EXPECT_TRUE(::IsWindowEnabled(main)) << c.flag;
    }
    ::DestroyWindow(main);
}

TEST_F(UpdateDialogTest, TextsFollowTheLanguageWithEnglishForOthers) {
    struct Case {
        Text language, yes, no;
    } cases[] = {{u"ar", u"Yes", u"No"}, {u"de", u"Ja", u"Nein"}, {u"ko", T("예"), T("아니오")}};
    for (const auto& c : cases) {
        SetCurrentLanguage(c.language);
        (void)RunDialog(Answer(""), [&](HWND dialog) {
            EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDYES)), c.yes);
            EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDNO)), c.no);
            EXPECT_EQ(WindowText(::GetDlgItem(dialog, Question)), UpdatePromptText(PromptKind::Question, c.language));
            EXPECT_EQ(WindowText(dialog), Translate(u"Tidewell"));
        });
    }
    SetCurrentLanguage(u"ar");
    (void)RunDialog(Answer(""), [](HWND dialog) {
        EXPECT_EQ(WindowText(::GetDlgItem(dialog, Question)).substr(0, 30), u"This program has been updated.");
    });
}

TEST_F(UpdateDialogTest, MalformedNoticeShowsNothing) {
    // Should the dialog appear after all, the timer closes it and the throw is missed.
    g_inspect = [](HWND) {};
    g_inspected = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnTimer);
    EXPECT_THROW((void)UpdateDialog(Utf8ToText(Answer("hold", "\\uXYZW"))), ConversionError);
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(g_inspected);
}

// Pictures of each strip for people to look at, saved beside the test.
TEST_F(UpdateDialogTest, SavesScreenshots) {
    struct Shot {
        const char* file;
        std::string answer;
    } shots[] = {
        {"update_dialog_plain.png", Answer("")},
        {"update_dialog_hold.png", Answer("hold", "Do not show this notice again")},
        {"update_dialog_note.png", Answer("note", "Read what is new in this version", "", "https://news.example.com/")},
        {"update_dialog_other.png", Answer("other")},
    };
    for (const auto& shot : shots) {
        (void)RunDialog(shot.answer, [&](HWND dialog) {
            const Image image = Capture(dialog);
            size_t white = 0;
            for (int y = 0; y < image.height; ++y) {
                for (int x = 0; x < image.width; ++x) white += image.At(x, y) == RGB(255, 255, 255);
            }
            // Something was drawn: the white face and more than it.
            EXPECT_GT(white, 0u) << shot.file;
            EXPECT_LT(white, static_cast<size_t>(image.width) * image.height) << shot.file;
            EXPECT_TRUE(WritePng(shot.file, image.width, image.height, image.rgb)) << shot.file;
            Click(dialog, IDNO);
        });
    }
}

}  // namespace
}  // namespace tidewell
