// Loading the translation table from the executable and the user's language
// from the locale.

#include "i18n/translation_win.h"

#include <string_view>
#include <vector>

#include "base/wide_win.h"
#include "i18n/translation.h"

namespace tidewell {
namespace {

// The table as the executable carries it; empty when the resource is missing
// or cannot be read. Resource names are matched without regard to case, so the
// lower-case name finds the "TRANSLATE" entry of the resource script.
[[nodiscard]] std::string_view TranslationResourceBytes(HMODULE module) {
    HRSRC info = FindResourceW(module, L"translate", RT_RCDATA);
    if (!info) return {};
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded) return {};
    const void* data = LockResource(loaded);
    const DWORD size = SizeofResource(module, info);
    if (!data || size == 0) return {};
    return {static_cast<const char*>(data), size};
}

}  // namespace

LocaleCalls SystemLocaleCalls() {
    return {[] { return GetUserDefaultLCID(); },
            [](LCID locale, LCTYPE type, wchar_t* buffer, int size) {
                return GetLocaleInfoW(locale, type, buffer, size);
            }};
}

Text GetUserLanguage(const LocaleCalls& calls) {
    const LCID locale = calls.getUserDefaultLcid();
    const int needed = calls.getLocaleInfo(locale, LOCALE_SISO639LANGNAME, nullptr, 0);
    if (needed < 1) return u"en";
    std::vector<wchar_t> buffer(static_cast<size_t>(needed), L'\0');
    if (calls.getLocaleInfo(locale, LOCALE_SISO639LANGNAME, buffer.data(), needed) < 1) return u"en";
    // Up to the terminating null, and never past the buffer should an answer
    // come without one.
    size_t length = 0;
    while (length < buffer.size() && buffer[length] != L'\0') ++length;
    return FromWide(buffer.data(), length);
}

Text GetUserLanguage() { return GetUserLanguage(SystemLocaleCalls()); }

void LoadTranslationTable() {
    SetTranslationTable({});
    try {
        const std::string_view bytes = TranslationResourceBytes(GetModuleHandleW(nullptr));
        if (!bytes.empty()) SetTranslationTable(ParseTranslationResource(bytes));
    } catch (...) {
        // A table that cannot be read leaves the texts in Korean; nothing to tell the user.
    }
    SetCurrentLanguage(GetUserLanguage().substr(0, 2));
}

}  // namespace tidewell
