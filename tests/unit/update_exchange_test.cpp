// The exchange's attempts, waits and hand-back, driven through recording steps.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "update/answer_text.h"
#include "update/update_exchange.h"

namespace tidewell {
namespace {

struct Recorder {
    int attempts = 0;
    int slices = 0;
    int uiSteps = 0;
    std::vector<HeaderList> sentHeaders;
    std::vector<Text> dialogs;
    std::vector<Text> opened;
    std::vector<std::pair<bool, Text>> calls;

    // Attempt number (from 1) that gets an answer; 0 for none.
    int answeredAt = 0;
    Text answer = u"{\"update\":\"\"}";
    bool dialogSaysYes = false;
    std::optional<int> terminateAtSlice;    // counted over the whole exchange, from 1
    std::optional<int> terminateInAttempt;  // raised while that attempt runs
    bool terminated = false;

    ExchangeSteps Steps() {
        ExchangeSteps s;
        s.buildHeaders = [] { return CheckRequestHeaders(u"1.0.0.0", u"en", u"ID"); };
        s.httpGet = [this](const HeaderList& headers, Text& out) {
            sentHeaders.push_back(headers);
            if (terminateInAttempt && *terminateInAttempt == attempts) terminated = true;
            if (attempts == answeredAt) {
                out = answer;
                return true;
            }
            out = u"left over from a failed attempt";
            return false;
        };
        s.beforeAttempt = [this](int attempt) {
            ++attempts;
            EXPECT_EQ(attempt, attempts);
        };
        s.terminationRequested = [this] { return terminated; };
        s.sleepSlice = [this] {
            ++slices;
            if (terminateAtSlice && slices == *terminateAtSlice) terminated = true;
        };
        s.runOnUiThread = [this](std::function<void()> step) {
            ++uiSteps;
            step();
            return true;
        };
        s.updateDialog = [this](const Text& data) {
            dialogs.push_back(data);
            return dialogSaysYes;
        };
        s.shellOpen = [this](const Text& address) { opened.push_back(address); };
        return s;
    }

    void Run() {
        RunUpdateExchange(Steps(), [this](bool accepted, const Text& data) { calls.emplace_back(accepted, data); });
    }
};

TEST(UpdateExchange, UnreachableServiceGivesUpAfterSixtyAttemptsAndOneSecondEach) {
    Recorder r;
    r.Run();
    EXPECT_EQ(r.attempts, 60);
    EXPECT_EQ(r.slices, 60 * 100) << "the wait after the 60th failure is kept as well";
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_FALSE(r.calls[0].first);
    EXPECT_EQ(r.calls[0].second, u"") << "a failed attempt's text is not handed back";
    EXPECT_TRUE(r.dialogs.empty());
    // The headers are computed once and sent unchanged with every attempt.
    for (const HeaderList& h : r.sentHeaders) EXPECT_EQ(h, r.sentHeaders.front());
}

TEST(UpdateExchange, StopsAttemptingAtTheFirstAnswer) {
    Recorder r;
    r.answeredAt = 5;
    r.answer = u"{\"update\":\"https://dl.example/t.exe\"}";
    r.dialogSaysYes = true;
    r.Run();
    EXPECT_EQ(r.attempts, 5);
    EXPECT_EQ(r.slices, 4 * 100);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0], (std::pair<bool, Text>{true, r.answer}));
    EXPECT_EQ(r.dialogs, std::vector<Text>{r.answer});
    EXPECT_EQ(r.opened, std::vector<Text>{u"https://dl.example/t.exe"});
}

TEST(UpdateExchange, TerminationEndsTheWorkerWithoutHandBack) {
    struct Case {
        const char* name;
        std::optional<int> atSlice, inAttempt;
        int attempts, slices;
    } cases[] = {
        {"during the second wait", 150, std::nullopt, 2, 150},
        {"at the first slice", 1, std::nullopt, 1, 1},
        {"at the last slice of a wait", 100, std::nullopt, 1, 100},
        {"during the third attempt, seen at the next wait", std::nullopt, 3, 3, 200},
        {"during the last attempt", std::nullopt, 60, 60, 5900},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.terminateAtSlice = c.atSlice;
        r.terminateInAttempt = c.inAttempt;
        r.Run();
        EXPECT_EQ(r.attempts, c.attempts) << c.name;
        EXPECT_EQ(r.slices, c.slices) << c.name;
        EXPECT_EQ(r.uiSteps, 0) << c.name;
        EXPECT_TRUE(r.calls.empty()) << c.name;
    }
}

TEST(UpdateExchange, DroppedHandBackCallsNothing) {
    Recorder r;
    r.answeredAt = 1;
    r.answer = u"{\"update\":\"https://dl.example/t.exe\"}";
    ExchangeSteps steps = r.Steps();
    steps.runOnUiThread = [](std::function<void()>) { return false; };  // the window is gone
    bool called = false;
    RunUpdateExchange(steps, [&](bool, const Text&) { called = true; });
    EXPECT_FALSE(called);
    EXPECT_TRUE(r.dialogs.empty());
}

TEST(HandBackAnswer, AsksOnlyForAnAddressTheProgramMayOpen) {
    struct Case {
        const char* name;
        Text answer;
        bool yes;
        bool asked;
        Text opened;  // empty: nothing opened
    } cases[] = {
        {"no update key", u"{\"info\":{}}", true, false, u""},
        {"empty update", u"{\"update\":\"\"}", true, false, u""},
        {"pretty-printed", u"{\n  \"update\": \"https://dl.example/t.exe\"\n}", true, false, u""},
        {"error page", u"<html>502 Bad Gateway</html>", true, false, u""},
        {"accepted, escaped slashes", u"{\"update\":\"https:\\/\\/dl.example\\/t.exe\"}", true, true,
         u"https://dl.example/t.exe"},
        {"key in other case", u"{\"UPDATE\":\"http://dl.example/T.exe\"}", true, true, u"http://dl.example/T.exe"},
        {"declined", u"{\"update\":\"https://dl.example/t.exe\"}", false, true, u""},
        {"local program", u"{\"update\":\"C:\\\\Windows\\\\System32\\\\cmd.exe\"}", true, false, u""},
        {"share", u"{\"update\":\"\\\\\\\\server\\\\share\\\\setup.exe\"}", true, false, u""},
        {"file scheme", u"{\"update\":\"file:\\/\\/\\/C:\\/x.exe\"}", true, false, u""},
        {"other scheme", u"{\"update\":\"ms-settings:\"}", true, false, u""},
        {"relative", u"{\"update\":\"setup.exe\"}", true, false, u""},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.dialogSaysYes = c.yes;
        std::vector<std::pair<bool, Text>> calls;
        HandBackAnswer(c.answer, r.Steps(),
                       [&](bool accepted, const Text& data) { calls.emplace_back(accepted, data); });
        EXPECT_EQ(r.dialogs.size(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(r.dialogs[0], c.answer) << c.name << ": the dialog reads the whole answer";
        }
        EXPECT_EQ(r.opened, c.opened.empty() ? std::vector<Text>{} : std::vector<Text>{c.opened}) << c.name;
        ASSERT_EQ(calls.size(), 1u) << c.name;
        EXPECT_EQ(calls[0].first, !c.opened.empty()) << c.name;
        EXPECT_EQ(calls[0].second, c.answer) << c.name;
    }
}

TEST(HandBackAnswer, MalformedEscapeEndsItSilently) {
    {
        Recorder r;
        bool called = false;
        HandBackAnswer(u"{\"update\":\"https://x/\\u00G0\"}", r.Steps(), [&](bool, const Text&) { called = true; });
        EXPECT_FALSE(called);
        EXPECT_TRUE(r.dialogs.empty());
    }
    {
        // A notice field is decoded by the dialog, before it shows anything.
        Recorder r;
        ExchangeSteps steps = r.Steps();
        steps.updateDialog = [](const Text&) -> bool { throw ConversionError("notice"); };
        bool called = false;
        HandBackAnswer(u"{\"update\":\"https://x/\"}", steps, [&](bool, const Text&) { called = true; });
        EXPECT_FALSE(called);
        EXPECT_TRUE(r.opened.empty());
    }
}

}  // namespace
}  // namespace tidewell
