#pragma once
// The translation table and the current language. Every text the user sees is
// a Korean source text passed through Translate.

#include <string_view>
#include <vector>

#include "base/text.h"

namespace tidewell {

// The text of Text in Language (CurrentLanguage when empty), else its "en"
// text, else Text itself; "\n" in a table text becomes U+000D.
[[nodiscard]] Text Translate(TextView text, TextView language = {});

[[nodiscard]] const Text& CurrentLanguage() noexcept;
void SetCurrentLanguage(Text language);

// The table's lines in file order, separator lines included.
[[nodiscard]] const std::vector<Text>& TranslationTable() noexcept;
void SetTranslationTable(std::vector<Text> lines);

// The resource's bytes as lines: a leading UTF-8 byte-order mark skipped, the
// rest decoded as UTF-8 and split at line breaks.
// CR LF, LF and CR each end a line. Bytes that are not valid UTF-8 give no
// lines at all: a broken table behaves as an empty one.
[[nodiscard]] std::vector<Text> ParseTranslationResource(std::string_view bytes);

// Windows side (i18n/translation_win.cpp): fills the table from the RCDATA
// resource "TRANSLATE" of the executable and sets CurrentLanguage.
void LoadTranslationTable();
// The ISO 639 name of the user's default locale, "en" when there is none.
[[nodiscard]] Text GetUserLanguage();

}  // namespace tidewell
