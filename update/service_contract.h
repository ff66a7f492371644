#pragma once
// What the program sends to the maker's web service and what it reads from the
// answer. Requests are GETs without a body; the program adds only these headers.

#include <utility>
#include <vector>

#include "base/text.h"

namespace tidewell {

// Header name and value pairs, sent in this order.
using HeaderList = std::vector<std::pair<Text, Text>>;

// The version pattern of the "User-Version" header.
inline constexpr TextView kServiceVersionFormat = u"%d.%d.%d.%d";

// The start-up check: version, language, debug flag, client identifier.
[[nodiscard]] HeaderList CheckRequestHeaders(const Text& version, const Text& language, const Text& clientId);
// The notice dialog's "hold" command.
[[nodiscard]] HeaderList HoldRequestHeaders(const Text& version);

// Tags of the answer's values. Keys match without regard to ASCII case; there
// is no blank between a key, its colon and its value.
namespace answer_tags {
inline constexpr TextView kUpdate = u"\"update\":\"";
inline constexpr TextView kInfo = u"\"info\":{";
inline constexpr TextView kStyle = u"\"style\":\"";
inline constexpr TextView kText = u"\"text\":\"";
inline constexpr TextView kFlag = u"\"flag\":\"";
inline constexpr TextView kUrl = u"\"url\":\"";
inline constexpr TextView kValueEnd = u"\"";
inline constexpr TextView kInfoEnd = u"}";
}  // namespace answer_tags

// The notice carried by the answer's info section, each field decoded.
struct NoticeFields {
    Text style;
    Text text;
    Text flag;
    Text url;
};

// Both throw ConversionError (update/answer_text.h) on a malformed \u escape.
[[nodiscard]] Text AnswerUpdateAddress(TextView answer);
[[nodiscard]] NoticeFields AnswerNotice(TextView answer);

}  // namespace tidewell
