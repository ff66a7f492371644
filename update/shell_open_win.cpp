// Handing addresses and paths to the shell.

#include <windows.h>
#include <shellapi.h>

#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "update/desktop_shell_win.h"
#include "update/web_address.h"
#include "update/web_helpers.h"

namespace tidewell {

void ShellOpen(const Text& target) {
    // Either apartment will do for the shell; a thread that already has the
    // other one keeps it.
    const ComApartment com;
    if (IsWebAddress(target) && OpenWithDesktopShell(target)) return;
    // Without a reachable desktop shell (no Explorer, or a refusal) the address
    // is still opened, the way the program always did.
    (void)::ShellExecuteW(nullptr, L"open", WidePtr(target), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace tidewell
