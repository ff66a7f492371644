#include "update/answer_text.h"

#include <optional>

namespace tidewell {
namespace {

Text FoldAscii(TextView text) {
    Text folded(text);
    for (char16_t& c : folded) c = AsciiUpper(c);
    return folded;
}

bool EndTagIsQuote(TextView endTag) { return TextView(u"\"'").find(endTag) != TextView::npos; }

std::optional<char16_t> HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return static_cast<char16_t>(c - u'0');
    if (c >= u'a' && c <= u'f') return static_cast<char16_t>(c - u'a' + 10);
    if (c >= u'A' && c <= u'F') return static_cast<char16_t>(c - u'A' + 10);
    return std::nullopt;
}

char16_t ParseCodeUnit(TextView digits) {
    if (digits.empty()) throw ConversionError("\\u escape without digits");
    char16_t value = 0;
    for (char16_t c : digits) {
        const auto digit = HexDigit(c);
        if (!digit) throw ConversionError("\\u escape with a character that is not a hexadecimal digit");
        value = static_cast<char16_t>(value * 16 + *digit);
    }
    return value;
}

}  // namespace

Text ExtractBetween(TextView source, TextView startTag, TextView endTag) {
    if (startTag.empty() || endTag.empty()) return {};
    Text folded = FoldAscii(source);
    const Text start = FoldAscii(startTag);
    const Text end = FoldAscii(endTag);

    if (EndTagIsQuote(end)) {
        // Overwrite "\" + quote with backslashes of the same length: the quote
        // no longer ends a value, and positions in the folded copy stay those
        // of the source.
        const Text escaped = u"\\" + end;
        for (size_t at = folded.find(escaped); at != Text::npos; at = folded.find(escaped, at + escaped.size())) {
            folded.replace(at, escaped.size(), escaped.size(), u'\\');
        }
    }

    const size_t startAt = folded.find(start);
    if (startAt == Text::npos) return {};
    const size_t valueAt = startAt + start.size();
    const size_t endAt = folded.find(end, valueAt);
    if (endAt == Text::npos) return {};
    return Text(source.substr(valueAt, endAt - valueAt));
}

Text JsonUnescape(TextView text) {
    Text out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'\\') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) break;  // a lone trailing backslash stands for nothing
        const char16_t kind = text[i + 1];
        i += 2;
        switch (kind) {
            case u'"':
            case u'\'':
            case u'/':
            case u'\\': out.push_back(kind); break;
            case u'b': out.push_back(u'\b'); break;
            case u'f': out.push_back(u'\f'); break;
            case u'n': out.push_back(u'\n'); break;
            case u'r': out.push_back(u'\r'); break;
            case u't': out.push_back(u'\t'); break;
            case u'u': {
                // Fewer than four characters left: what remains is the number.
                const TextView digits = text.substr(i, 4);
                out.push_back(ParseCodeUnit(digits));
                i += digits.size();
                break;
            }
            default: break;  // an unknown escape is dropped whole
        }
    }
    return out;
}

}  // namespace tidewell
