#pragma once
// The one crossing between the core's UTF-16 Text and the Win32 wide strings.
// wchar_t is 16 bits on Windows, so the conversion is a copy of code units.

#include <string>

#include "base/text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

namespace tidewell {

[[nodiscard]] inline std::wstring ToWide(TextView text) { return std::wstring(text.begin(), text.end()); }
[[nodiscard]] inline Text FromWide(const wchar_t* s) {
    return s ? Text(reinterpret_cast<const char16_t*>(s)) : Text();
}
[[nodiscard]] inline Text FromWide(const wchar_t* s, size_t n) { return Text(reinterpret_cast<const char16_t*>(s), n); }
[[nodiscard]] inline Text FromWide(const std::wstring& s) { return FromWide(s.data(), s.size()); }
[[nodiscard]] inline const wchar_t* WidePtr(const Text& t) { return reinterpret_cast<const wchar_t*>(t.c_str()); }
[[nodiscard]] inline const wchar_t* WidePtr(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
// A temporary's pointer would dangle past the statement.
const wchar_t* WidePtr(Text&&) = delete;

}  // namespace tidewell
