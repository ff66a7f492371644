#pragma once
// The program's text type. Windows speaks UTF-16 and the program's rules (the
// translation lookup, the answer-text helpers) are defined over UTF-16 code
// units, so the core keeps text as std::u16string on every platform. Win32
// adapters convert at the boundary with base/wide_win.h.

#include <string>
#include <string_view>

namespace tidewell {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 bytes to UTF-16. Invalid sequences become U+FFFD, one per maximal
// invalid subpart, so arbitrary bytes never fail to decode.
[[nodiscard]] Text Utf8ToText(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::string TextToUtf8(TextView text);

// ASCII-only case folding: a-z become A-Z, every other code unit stays.
[[nodiscard]] char16_t AsciiUpper(char16_t c) noexcept;
[[nodiscard]] bool EqualsIgnoringAsciiCase(TextView a, TextView b) noexcept;

// Literal ASCII/UTF-8 source text as Text; for tests and fixed program texts.
[[nodiscard]] inline Text T(std::string_view utf8) { return Utf8ToText(utf8); }

}  // namespace tidewell
