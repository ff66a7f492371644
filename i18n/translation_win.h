#pragma once
// The locale calls behind GetUserLanguage, replaceable so that tests can play
// the answers Wine never gives (a failing GetLocaleInfoW).

#include <windows.h>

#include <functional>

#include "base/text.h"

namespace tidewell {

struct LocaleCalls {
    std::function<LCID()> getUserDefaultLcid;
    std::function<int(LCID locale, LCTYPE type, wchar_t* buffer, int size)> getLocaleInfo;
};

// The real kernel32 functions.
[[nodiscard]] LocaleCalls SystemLocaleCalls();

[[nodiscard]] Text GetUserLanguage(const LocaleCalls& calls);

}  // namespace tidewell
