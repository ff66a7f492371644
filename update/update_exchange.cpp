#include "update/update_exchange.h"

#include "update/answer_text.h"
#include "update/web_address.h"

namespace tidewell {
namespace {

// False when termination was requested; checked before every slice and once
// more at the end, so no attempt starts after a request seen during the wait.
bool WaitBeforeNextAttempt(const ExchangeSteps& steps) {
    for (int slice = 0; slice < kWaitSlices; ++slice) {
        if (steps.terminationRequested()) return false;
        steps.sleepSlice();
    }
    return !steps.terminationRequested();
}

}  // namespace

void RunUpdateExchange(const ExchangeSteps& steps, const UpdateCallback& proc) {
    const HeaderList headers = steps.buildHeaders();
    Text answer;
    for (int attempt = 1; attempt <= kUpdateAttempts; ++attempt) {
        if (steps.beforeAttempt) steps.beforeAttempt(attempt);
        if (steps.httpGet(headers, answer)) break;
        answer.clear();
        // The last failure waits too, like every other.
        if (!WaitBeforeNextAttempt(steps)) return;
    }
    (void)steps.runOnUiThread([&] { HandBackAnswer(answer, steps, proc); });
}

void HandBackAnswer(const Text& answer, const ExchangeSteps& steps, const UpdateCallback& proc) {
    bool accepted = false;
    try {
        const Text address = AnswerUpdateAddress(answer);
        if (IsWebAddress(address) && steps.updateDialog(answer)) {
            steps.shellOpen(address);
            accepted = true;
        }
    } catch (const ConversionError&) {
        return;
    }
    proc(accepted, answer);
}

}  // namespace tidewell
