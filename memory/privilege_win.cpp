#include "memory/privilege_win.h"

#include <windows.h>

#include "base/scoped_win.h"
#include "base/wide_win.h"

namespace tidewell {

bool EnablePrivilege(const Text& name, bool enable) noexcept {
    UniqueKernelHandle token;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
        LUID luid{};
        if (::LookupPrivilegeValueW(nullptr, WidePtr(name), &luid)) {
            TOKEN_PRIVILEGES state{};
            state.PrivilegeCount = 1;
            state.Privileges[0].Luid = luid;
            state.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
            // Room for exactly one previous entry, which is all this change can report.
            TOKEN_PRIVILEGES previous{};
            static_assert(sizeof(previous) == 16);
            DWORD returned = 0;
            (void)::AdjustTokenPrivileges(token.get(), FALSE, &state, sizeof(previous), &previous, &returned);
        }
        token.reset();
    }
    return ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace tidewell
