#include "update/version_format.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace tidewell {
namespace {

bool IsFlag(char16_t c) { return c == u'-' || c == u'+' || c == u' ' || c == u'0'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The length of the decimal conversion that starts at pattern[at] ('%'), or 0.
size_t DecimalConversionLength(TextView pattern, size_t at) {
    size_t i = at + 1;
    while (i < pattern.size() && IsFlag(pattern[i])) ++i;
    // Widths and precisions are capped at two digits so a pattern cannot ask
    // for an unbounded amount of padding.
    size_t digits = 0;
    while (i < pattern.size() && IsDigit(pattern[i]) && digits < 2) ++i, ++digits;
    if (i < pattern.size() && pattern[i] == u'.') {
        ++i;
        digits = 0;
        while (i < pattern.size() && IsDigit(pattern[i]) && digits < 2) ++i, ++digits;
    }
    if (i < pattern.size() && (pattern[i] == u'd' || pattern[i] == u'i' || pattern[i] == u'u')) return i + 1 - at;
    return 0;
}

Text FormatOne(TextView conversion, int value) {
    // The conversion holds only ASCII flags, digits, '.' and the conversion letter;
    // a part always fits an int, so every letter is written as 'd'.
    std::string narrow(conversion.begin(), conversion.end());
    narrow.back() = 'd';
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof buffer, narrow.c_str(), value);
    if (n < 0) return Text(conversion);
    return Text(buffer, buffer + std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
}

}  // namespace

Text FormatVersion(TextView pattern, const VersionParts& parts) {
    Text out;
    size_t next = 0;
    size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] != u'%') {
            out.push_back(pattern[i++]);
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == u'%') {
            out.push_back(u'%');
            i += 2;
            continue;
        }
        const size_t length = DecimalConversionLength(pattern, i);
        if (length == 0 || next >= parts.size()) {
            out.push_back(pattern[i++]);
            continue;
        }
        out += FormatOne(pattern.substr(i, length), parts[next++]);
        i += length;
    }
    return out;
}

}  // namespace tidewell
