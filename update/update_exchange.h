#pragma once
// The start-up exchange with the web service, free of any platform call: the
// worker's attempts and waits, and the hand-back on the user-interface thread.
// update/check_update_win.cpp wires it to WinHTTP, the dialog and the shell.

#include <functional>

#include "base/text.h"
#include "update/service_contract.h"

namespace tidewell {

inline constexpr int kUpdateAttempts = 60;
inline constexpr int kWaitSlices = 100;  // of 10 ms each: one second after each failed attempt

using UpdateCallback = std::function<void(bool accepted, const Text& answer)>;

struct ExchangeSteps {
    std::function<HeaderList()> buildHeaders;
    // One GET; true with the body as text, or false.
    std::function<bool(const HeaderList&, Text& answer)> httpGet;
    std::function<void(int attempt)> beforeAttempt;  // optional; attempt counts from 1
    std::function<bool()> terminationRequested;
    std::function<void()> sleepSlice;
    // Runs the step on the user-interface thread and waits for it.
    std::function<bool(std::function<void()>)> runOnUiThread;
    std::function<bool(const Text& answer)> updateDialog;
    std::function<void(const Text& address)> shellOpen;
};

// The worker's procedure. Returns without hand-back when termination is
// requested during a wait.
void RunUpdateExchange(const ExchangeSteps& steps, const UpdateCallback& proc);

// The hand-back: asks the user when the answer names an address the program
// may open, opens it on Yes, and reports to proc exactly once. A malformed
// escape in the answer ends it before the dialog, and proc is not called.
void HandBackAnswer(const Text& answer, const ExchangeSteps& steps, const UpdateCallback& proc);

}  // namespace tidewell
