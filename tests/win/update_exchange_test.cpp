// The start-up exchange end to end under Wine: CheckUpdate against an HTTP
// server on 127.0.0.1 inside this process, with the hand-back on this thread.
// The dialog and the shell are replaced through the exchange's hooks (the
// real dialog is driven once, for the hold request); nothing is ever opened.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/ui_dispatch_win.h"
#include "build_config.h"
#include "i18n/translation.h"
#include "support/loopback_http_server.h"
#include "update/check_update.h"
#include "update/update_dialog.h"
#include "update/update_dialog_win.h"
#include "update/update_exchange_hooks.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

using testing::HttpRequest;
using testing::HttpResponse;
using testing::LoopbackHttpServer;

constexpr unsigned kGenerousMs = 120'000;  // only reached when something hangs

std::string Narrow(const Text& text) { return TextToUtf8(text); }

std::string OwnVersion() {
    return std::to_string(TIDEWELL_VERSION_MAJOR) + "." + std::to_string(TIDEWELL_VERSION_MINOR) + "." +
           std::to_string(TIDEWELL_VERSION_PATCH) + "." + std::to_string(TIDEWELL_VERSION_TWEAK);
}

template <typename Predicate>
bool PumpUntil(Predicate done, unsigned timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return true;
}

// What one exchange did. The hooks of that exchange hold the probe; once the
// worker has ended, the test's reference is the last one.
struct Probe {
    std::atomic<int> attempts{0};
    std::atomic<int> slices{0};
    std::function<void(int slice)> onSlice;  // on the worker
    std::vector<Text> dialogs;               // on this thread
    std::vector<Text> opened;
    std::function<bool(const Text&)> dialog = [](const Text&) { return false; };
};

struct Outcome {
    int calls = 0;
    bool accepted = false;
    Text answer;
};

class Exchange {
public:
    std::shared_ptr<Probe> probe = std::make_shared<Probe>();
    std::shared_ptr<Outcome> outcome = std::make_shared<Outcome>();

    void Start(const Text& endpoint) {
        UpdateExchangeHooks hooks;
        hooks.sleepSlice = [p = probe] {
            const int slice = ++p->slices;
            if (p->onSlice) p->onSlice(slice);
        };
        hooks.beforeAttempt = [p = probe](int attempt) {
            EXPECT_EQ(attempt, p->attempts + 1);
            ++p->attempts;
        };
        hooks.updateDialog = [p = probe](const Text& answer) {
            p->dialogs.push_back(answer);
            return p->dialog(answer);
        };
        hooks.shellOpen = [p = probe](const Text& address) { p->opened.push_back(address); };
        SetUpdateExchangeHooks(hooks);
        CheckUpdate(
            endpoint,
            [o = outcome](bool accepted, const Text& answer) {
                ++o->calls;
                o->accepted = accepted;
                o->answer = answer;
            },
            10);
        // From here on only the exchange's own copy refers to the probe.
        SetUpdateExchangeHooks(DefaultUpdateExchangeHooks());
    }

    [[nodiscard]] bool WaitForCallback() {
        return PumpUntil([&] { return outcome->calls > 0; }, kGenerousMs);
    }
    [[nodiscard]] bool WaitForWorkerEnd() {
        return PumpUntil([&] { return probe.use_count() == 1 && outcome.use_count() == 1; }, kGenerousMs);
    }
};

// The program's own headers: the "User-" family but for WinHTTP's User-Agent.
std::vector<std::string> CustomHeaderLines(const HttpRequest& request) {
    std::vector<std::string> lines;
    for (const std::string& line : request.LinesStartingWith("User-")) {
        if (line.rfind("User-Agent:", 0) != 0) lines.push_back(line);
    }
    return lines;
}

HttpResponse Json(std::string body) {
    HttpResponse r;
    r.headerLines = {"Content-Type: application/json; charset=utf-8"};
    r.body = std::move(body);
    return r;
}

LoopbackHttpServer::Script Always(HttpResponse response) {
    return [response](const HttpRequest&, size_t) { return response; };
}

class UpdateExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(TerminationRequested()) << "the termination test must run last";
        InstallUiDispatcher();
        SetCurrentLanguage(u"en");
    }
};

TEST_F(UpdateExchangeTest, SendsTheFourHeadersInOrder) {
    LoopbackHttpServer server(Always(Json("{\"update\":\"\"}")));
    SetCurrentLanguage(u"de");
    Exchange exchange;
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());

    const std::vector<HttpRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /api.init.php HTTP/1.1");
    const std::string id = Narrow(ReadClientId());
    EXPECT_EQ(id.size(), 32u) << id;
    EXPECT_EQ(CustomHeaderLines(requests[0]),
              (std::vector<std::string>{"User-Version: " + OwnVersion(), "User-Language: de", "User-Debug: false",
                                        "User-Union: " + id}));
    EXPECT_EQ(exchange.outcome->calls, 1);
    EXPECT_FALSE(exchange.outcome->accepted);
    EXPECT_EQ(exchange.outcome->answer, u"{\"update\":\"\"}");
    EXPECT_TRUE(exchange.probe->dialogs.empty());
    EXPECT_EQ(exchange.probe->attempts, 1);
}

TEST_F(UpdateExchangeTest, UnreachableServiceIsTriedSixtyTimes) {
    Exchange exchange;
    exchange.Start(testing::LoopbackUrl(LoopbackHttpServer::RefusedPort(), "/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());
    EXPECT_EQ(exchange.probe->attempts, 60);
    EXPECT_EQ(exchange.probe->slices, 6000) << "one second in 100 slices after every failure, the last one included";
    EXPECT_EQ(exchange.outcome->calls, 1);
    EXPECT_FALSE(exchange.outcome->accepted);
    EXPECT_EQ(exchange.outcome->answer, u"");
    EXPECT_TRUE(exchange.probe->dialogs.empty());
    ASSERT_TRUE(exchange.WaitForWorkerEnd());
    EXPECT_EQ(exchange.outcome->calls, 1);
}

TEST_F(UpdateExchangeTest, ServiceReachableOnTheFifthAttempt) {
    const std::string answer = "{\"update\":\"https://dl.example.com/setup.exe\"}";
    LoopbackHttpServer server([answer](const HttpRequest&, size_t index) {
        HttpResponse r = Json(answer);
        r.dropConnection = index < 4;
        return r;
    });
    Exchange exchange;
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());
    EXPECT_EQ(server.RequestCount(), 5u);
    EXPECT_EQ(exchange.probe->attempts, 5);
    EXPECT_EQ(exchange.probe->slices, 400);
    EXPECT_EQ(exchange.probe->dialogs, std::vector<Text>{Utf8ToText(answer)});
    EXPECT_TRUE(exchange.probe->opened.empty()) << "the dialog said No";
    EXPECT_FALSE(exchange.outcome->accepted);
    EXPECT_EQ(Narrow(exchange.outcome->answer), answer);
}

TEST_F(UpdateExchangeTest, AnswersWithoutAnOpenableUpdateShowNoDialog) {
    struct Case {
        const char* name;
        int status;
        std::string body;
    } cases[] = {
        {"empty update", 200, "{\"update\":\"\",\"info\":{\"style\":\"hold\"}}"},
        {"no update key", 200, "{\"info\":{\"style\":\"note\",\"url\":\"https://x.example\"}}"},
        {"pretty-printed", 200, "{\n    \"update\": \"https://dl.example.com/setup.exe\"\n}"},
        {"error status", 503, "<html><body>Service Unavailable</body></html>"},
        {"local file", 200, "{\"update\":\"C:\\\\Windows\\\\System32\\\\cmd.exe\"}"},
        {"share", 200, "{\"update\":\"\\\\\\\\evil\\\\share\\\\setup.exe\"}"},
        {"other scheme", 200, "{\"update\":\"file:\\/\\/\\/C:\\/Windows\\/notepad.exe\"}"},
    };
    for (const auto& c : cases) {
        HttpResponse response = Json(c.body);
        response.status = c.status;
        response.reason = c.status == 200 ? "OK" : "Service Unavailable";
        LoopbackHttpServer server(Always(response));
        Exchange exchange;
        exchange.probe->dialog = [](const Text&) { return true; };
        exchange.Start(server.Url("/api.init.php"));
        ASSERT_TRUE(exchange.WaitForCallback()) << c.name;
        EXPECT_EQ(exchange.probe->attempts, 1) << c.name << ": any response is an answer";
        EXPECT_TRUE(exchange.probe->dialogs.empty()) << c.name;
        EXPECT_TRUE(exchange.probe->opened.empty()) << c.name;
        EXPECT_FALSE(exchange.outcome->accepted) << c.name;
        EXPECT_EQ(Narrow(exchange.outcome->answer), c.body) << c.name;
        ASSERT_TRUE(exchange.WaitForWorkerEnd()) << c.name;
    }
}

TEST_F(UpdateExchangeTest, AcceptedUpdateIsOpenedWithPlainSlashes) {
    struct Case {
        bool yes;
        std::vector<Text> opened;
    } cases[] = {
        {true, {u"https://dl.example.com/tidewell/setup.exe"}},
        {false, {}},
    };
    const std::string body = "{\"info\":{},\"Update\":\"https:\\/\\/dl.example.com\\/tidewell\\/setup.exe\"}";
    for (const auto& c : cases) {
        LoopbackHttpServer server(Always(Json(body)));
        Exchange exchange;
        exchange.probe->dialog = [yes = c.yes](const Text&) { return yes; };
        exchange.Start(server.Url("/api.init.php"));
        ASSERT_TRUE(exchange.WaitForCallback());
        EXPECT_EQ(exchange.probe->dialogs.size(), 1u);
        EXPECT_EQ(exchange.probe->opened, c.opened) << "yes=" << c.yes;
        EXPECT_EQ(exchange.outcome->accepted, c.yes);
        EXPECT_EQ(Narrow(exchange.outcome->answer), body);
    }
}

TEST_F(UpdateExchangeTest, FollowsRedirectsToTheAnswer) {
    LoopbackHttpServer server([](const HttpRequest& request, size_t index) {
        if (index < 3) {
            HttpResponse r;
            r.status = 302;
            r.reason = "Found";
            r.headerLines = {"Location: /hop" + std::to_string(index + 1)};
            return r;
        }
        return Json("{\"update\":\"\",\"path\":\"" + request.requestLine + "\"}");
    });
    Exchange exchange;
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());
    EXPECT_EQ(server.RequestCount(), 4u);
    EXPECT_EQ(exchange.probe->attempts, 1);
    EXPECT_EQ(Narrow(exchange.outcome->answer), "{\"update\":\"\",\"path\":\"GET /hop3 HTTP/1.1\"}");
}

// Five redirects are followed; a sixth makes the attempt a failure, so every
// attempt costs the first request and five hops.
TEST_F(UpdateExchangeTest, MoreThanFiveRedirectsFailTheAttempt) {
    LoopbackHttpServer server([](const HttpRequest&, size_t index) {
        HttpResponse r;
        r.status = 302;
        r.reason = "Found";
        r.headerLines = {"Location: /loop" + std::to_string(index + 1)};
        return r;
    });
    Exchange exchange;
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());
    EXPECT_EQ(exchange.probe->attempts, 60);
    EXPECT_EQ(server.RequestCount(), 60u * 6u);
    EXPECT_FALSE(exchange.outcome->accepted);
    EXPECT_EQ(exchange.outcome->answer, u"");
}

TEST_F(UpdateExchangeTest, HugeAndInvalidUtf8AnswersArriveWhole) {
    std::string body = "{\"update\":\"https:\\/\\/dl.example.com\\/\xFF\xC0\xAF.exe\",\"junk\":\"";
    std::mt19937 random(7);
    while (body.size() < 10 * 1024 * 1024) body.push_back(static_cast<char>(random() & 0xFF));
    body += "\"}";
    LoopbackHttpServer server(Always(Json(body)));
    Exchange exchange;
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());
    EXPECT_EQ(exchange.probe->attempts, 1);
    EXPECT_EQ(exchange.outcome->answer.size(), Utf8ToText(body).size());
    EXPECT_TRUE(exchange.outcome->answer == Utf8ToText(body)) << "the body is decoded whole, invalid bytes replaced";
    ASSERT_EQ(exchange.probe->dialogs.size(), 1u);
    EXPECT_FALSE(exchange.outcome->accepted);
}

TEST_F(UpdateExchangeTest, MalformedEscapeEndsTheExchangeWithoutCallback) {
    for (const std::string body : {"{\"update\":\"https://x.example/\\uZZZZ\"}",
                                   "{\"update\":\"https://x.example/\",\"info\":{\"text\":\"\\uXY12\"}}"}) {
        LoopbackHttpServer server(Always(Json(body)));
        Exchange exchange;
        // The real dialog decodes the notice before it shows anything.
        exchange.probe->dialog = [](const Text& answer) { return UpdateDialog(answer); };
        exchange.Start(server.Url("/api.init.php"));
        ASSERT_TRUE(exchange.WaitForWorkerEnd()) << body;
        EXPECT_EQ(server.RequestCount(), 1u);
        EXPECT_EQ(exchange.outcome->calls, 0) << body;
        EXPECT_TRUE(exchange.probe->opened.empty());
        EXPECT_EQ(::FindWindowW(update_dialog::kClassName, nullptr), nullptr);
    }
}

// Drives the real dialog from a thread timer while its modal loop runs.
std::function<bool()> g_timerStep;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_timerStep && g_timerStep()) {
        ::KillTimer(nullptr, id);
        g_timerStep = nullptr;
    }
}

TEST_F(UpdateExchangeTest, TickedHoldBoxSendsOnlyTheHoldHeaders) {
    const std::string check =
        "{\"update\":\"https://dl.example.com/setup.exe\",\"info\":{\"style\":\"hold\",\"text\":\"Do not remind me\"}}";
    LoopbackHttpServer server([check](const HttpRequest&, size_t index) { return Json(index == 0 ? check : "ok"); });
    Exchange exchange;
    exchange.probe->dialog = [](const Text& answer) {
        g_timerStep = [] {
            HWND dialog = ::FindWindowW(update_dialog::kClassName, nullptr);
            if (!dialog) return false;
            ::SendMessageW(::GetDlgItem(dialog, update_dialog::HoldBox), BM_CLICK, 0, 0);
            ::SendMessageW(::GetDlgItem(dialog, IDNO), BM_CLICK, 0, 0);
            return true;
        };
        ::SetTimer(nullptr, 0, 50, &OnTimer);
        return UpdateDialog(answer);
    };
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForCallback());
    EXPECT_FALSE(exchange.outcome->accepted);
    EXPECT_TRUE(exchange.probe->opened.empty());

    ASSERT_TRUE(server.WaitForRequests(2, kGenerousMs)) << "no hold request arrived";
    const std::vector<HttpRequest> requests = server.Requests();
    EXPECT_EQ(requests[1].requestLine, "GET /api.init.php HTTP/1.1");
    EXPECT_EQ(CustomHeaderLines(requests[1]),
              (std::vector<std::string>{"User-Version: " + OwnVersion(), "User-Command: hold"}));
    EXPECT_EQ(CustomHeaderLines(requests[0]).size(), 4u);
}

// Runs last: the termination flag cannot be taken back in this process.
TEST_F(UpdateExchangeTest, ZzTerminationDuringAWaitEndsEverything) {
    LoopbackHttpServer server([](const HttpRequest&, size_t) {
        HttpResponse r;
        r.dropConnection = true;
        return r;
    });
    Exchange exchange;
    // Halfway through the wait after the second failure.
    exchange.probe->onSlice = [](int slice) {
        if (slice == 150) RequestTermination();
    };
    exchange.Start(server.Url("/api.init.php"));
    ASSERT_TRUE(exchange.WaitForWorkerEnd());
    EXPECT_EQ(exchange.probe->attempts, 2);
    EXPECT_EQ(exchange.probe->slices, 150);
    EXPECT_EQ(server.RequestCount(), 2u) << "no request after the termination";
    EXPECT_EQ(exchange.outcome->calls, 0);
    EXPECT_TRUE(exchange.probe->dialogs.empty());
}

}  // namespace
}  // namespace tidewell
