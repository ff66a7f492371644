#include "base/command_line_win.h"

#include <windows.h>
#include <shellapi.h>

#include "base/wide_win.h"

namespace tidewell {

Text FirstCommandLineArgument() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    Text first = (argv && argc > 1) ? FromWide(argv[1]) : Text();
    ::LocalFree(argv);
    return first;
}

}  // namespace tidewell
