// The table lookup. The table is a plain list of "code=text" lines in groups
// separated by empty lines; every call scans it from the top, which is cheap at
// its size and keeps the lookup exactly as the table is written.

#include "i18n/translation.h"

#include <initializer_list>
#include <string_view>

namespace tidewell {
namespace {

std::vector<Text> g_table;
Text g_language = u"en";

constexpr char16_t kCarriageReturn = u'\r';

// A line without "=" has an empty code and an empty text.
[[nodiscard]] TextView CodeOf(TextView line) noexcept {
    const size_t eq = line.find(u'=');
    return eq == TextView::npos ? TextView() : line.substr(0, eq);
}

[[nodiscard]] TextView TextOf(TextView line) noexcept {
    const size_t eq = line.find(u'=');
    return eq == TextView::npos ? TextView() : line.substr(eq + 1);
}

// The table writes a line break inside a text as backslash-n; the controls want
// a lone CR there.
[[nodiscard]] Text ExpandEscapes(TextView text) {
    Text out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            out.push_back(kCarriageReturn);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// A resource with invalid UTF-8 counts as broken. Decoding never fails, but the
// decoder marks each bad sequence with U+FFFD, which re-encodes differently from
// the bytes it replaced; valid input survives the round trip unchanged.
[[nodiscard]] bool IsValidUtf8(std::string_view bytes, const Text& decoded) {
    return TextToUtf8(decoded) == bytes;
}

}  // namespace

Text Translate(TextView text, TextView language) {
    Text fallback = ExpandEscapes(text);
    if (text.empty()) return fallback;
    if (language.empty()) language = g_language;

    const std::vector<Text>& table = g_table;
    size_t match = 0;
    while (match < table.size() && !EqualsIgnoringAsciiCase(TextOf(table[match]), text)) ++match;
    if (match == table.size()) return fallback;

    size_t first = match;
    while (first > 0 && !table[first - 1].empty()) --first;

    for (const TextView code : {language, TextView(u"en")}) {
        for (size_t i = first; i < table.size() && !table[i].empty(); ++i) {
            if (CodeOf(table[i]) == code) return ExpandEscapes(TextOf(table[i]));
        }
    }
    return fallback;
}

const Text& CurrentLanguage() noexcept { return g_language; }
void SetCurrentLanguage(Text language) { g_language = std::move(language); }
const std::vector<Text>& TranslationTable() noexcept { return g_table; }
void SetTranslationTable(std::vector<Text> lines) { g_table = std::move(lines); }

std::vector<Text> ParseTranslationResource(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());

    const Text text = Utf8ToText(bytes);
    if (!IsValidUtf8(bytes, text)) return {};

    // CR LF, a lone LF and a lone CR each end a line. A break ends the line
    // before it and does not open a new one, so the shipped file, whose last
    // line (the empty one) ends with CR LF like every other, has no phantom
    // empty line after it; text after the last break is a line of its own.
    std::vector<Text> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text, start, i - start);
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
    return lines;
}

}  // namespace tidewell
