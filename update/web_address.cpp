#include "update/web_address.h"

namespace tidewell {
namespace {

bool StartsWithIgnoringAsciiCase(TextView text, TextView prefix) noexcept {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool IsForbidden(char16_t c) noexcept {
    return c <= 0x20 || c == 0x7F || c == u'\\' || c == u'"' || c == u'<' || c == u'>';
}

}  // namespace

bool IsWebAddress(TextView address) noexcept {
    TextView rest;
    if (StartsWithIgnoringAsciiCase(address, u"https://")) {
        rest = address.substr(8);
    } else if (StartsWithIgnoringAsciiCase(address, u"http://")) {
        rest = address.substr(7);
    } else {
        return false;
    }
    // The authority runs to the first '/', '?' or '#'; without its user part
    // and port, a host name must remain ("http:///x", "http://:80" have none).
    TextView host = rest.substr(0, rest.find_first_of(u"/?#"));
    if (const size_t at = host.rfind(u'@'); at != TextView::npos) host.remove_prefix(at + 1);
    if (!host.starts_with(u'[')) host = host.substr(0, host.find(u':'));
    if (host.empty()) return false;
    for (char16_t c : address) {
        if (IsForbidden(c)) return false;
    }
    return true;
}

}  // namespace tidewell
