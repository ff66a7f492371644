#pragma once
// Reading values out of the service's answer. The answer is not parsed as
// JSON: a value is cut out by plain text search between a start tag and an end
// tag, and its backslash escapes are then turned back into characters.

#include <stdexcept>

#include "base/text.h"

namespace tidewell {

// Raised by JsonUnescape when the characters after "\u" are not a hexadecimal
// number. Callers let it end the step that is reading the answer.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text between the first occurrence of startTag and the next occurrence of
// endTag after it, with its own letter case; empty when either is missing.
// ASCII letters match without regard to case. When endTag is a quote, a
// backslash before a quote hides that quote, so an escaped quote stays inside
// the value (with its backslash).
[[nodiscard]] Text ExtractBetween(TextView source, TextView startTag, TextView endTag);

// Replaces the backslash escapes of a value: \" \' \/ \\ \b \f \n \r \t and
// \uXXXX (one UTF-16 code unit; a surrogate pair arrives as two escapes). An
// unknown escape and a lone trailing backslash vanish. Throws ConversionError
// when the digits of a \u escape are not hexadecimal.
[[nodiscard]] Text JsonUnescape(TextView text);

}  // namespace tidewell
