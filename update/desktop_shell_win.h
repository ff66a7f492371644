#pragma once
// The desktop's own shell, reached through the shell windows of Explorer.
// Asking it to open an address starts the browser as the user who runs the
// desktop, not with this program's elevated token.

#include <windows.h>
#include <shldisp.h>
#include <wrl/client.h>

#include "base/text.h"

namespace tidewell {

struct DesktopShell {
    Microsoft::WRL::ComPtr<IShellDispatch2> dispatch;
    // The step that gave no object, for diagnostics; null when dispatch is set.
    const char* failedStep = nullptr;
};

// Needs COM on the calling thread.
[[nodiscard]] DesktopShell FindDesktopShell();

// "open" on the target through the desktop's shell; false when that shell
// cannot be reached or refuses.
[[nodiscard]] bool OpenWithDesktopShell(const Text& target);

}  // namespace tidewell
