// Arbitrary bytes through the answer-text readers: no crash, no read outside
// the input, and the results keep their documented shape.

#include "fuzz_driver.h"

#include "base/text.h"
#include "update/answer_text.h"
#include "update/service_contract.h"
#include "update/web_address.h"

using namespace tidewell;

namespace {

// Splits the input into source, start tag and end tag using its first bytes as lengths.
void ExtractFrom(const Text& units) {
    if (units.size() < 2) return;
    const size_t startLength = 1 + units[0] % 12;
    const size_t endLength = 1 + units[1] % 3;
    if (units.size() < 2 + startLength + endLength) return;
    const TextView all(units);
    const TextView start = all.substr(2, startLength);
    const TextView end = all.substr(2 + startLength, endLength);
    const TextView source = all.substr(2 + startLength + endLength);
    const Text value = ExtractBetween(source, start, end);
    FUZZ_CHECK(value.size() <= source.size());
    FUZZ_CHECK(value.empty() || source.find(value) != TextView::npos);
}

void Unescape(TextView text) {
    try {
        const Text out = JsonUnescape(text);
        // Every character of the result consumes at least one of the input.
        FUZZ_CHECK(out.size() <= text.size());
    } catch (const ConversionError&) {
        FUZZ_CHECK(text.find(u"\\u") != TextView::npos);
    }
}

void ReadAnswer(const Text& answer) {
    try {
        const Text address = AnswerUpdateAddress(answer);
        (void)IsWebAddress(address);
        const NoticeFields notice = AnswerNotice(answer);
        FUZZ_CHECK(notice.style.size() + notice.text.size() <= 2 * answer.size());
    } catch (const ConversionError&) {
    }
}

}  // namespace

std::vector<std::string> FuzzDictionary() {
    return {"\\",   "\\\\", "\\\"", "\\u", "\\u00e9", "\\ud83d\\ude00", "\"", "'",     "{",      "}",
            ":",    " ",    "\"update\":\"", "\"UPDATE\":\"", "\"info\":{", "\"style\":\"hold\"", "\"text\":\"",
            "\"flag\":\"stayontop\"", "\"url\":\"", "https:\\/\\/", "http://", "0", "F", "g", "\xC3\xA9",
            "\xF0\x9F\x98\x80", "\xED\xA0\x80", "\xFF"};
}

void FuzzOneInput(std::string_view bytes) {
    // As UTF-8, the way answers arrive...
    const Text decoded = Utf8ToText(bytes);
    ExtractFrom(decoded);
    Unescape(decoded);
    ReadAnswer(decoded);
    // ...and as raw UTF-16 code units, which reach lone surrogates and every unit value.
    Text units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    ExtractFrom(units);
    Unescape(units);
    ReadAnswer(units);
}
