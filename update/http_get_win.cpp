// One GET of the service endpoint over WinHTTP.

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "base/scoped_win.h"
#include "base/wide_win.h"
#include "update/service_values.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

// The client's time-outs for connecting, sending and receiving; name
// resolution keeps WinHTTP's own (none).
constexpr int kTimeoutMs = 60'000;
constexpr DWORD kMaxRedirects = 5;

// A header value carrying a line break would add headers of its own; the
// identifier comes from the registry as it was stored, so breaks are dropped.
std::wstring HeaderLine(const std::pair<Text, Text>& header) {
    std::wstring line;
    line.reserve(header.first.size() + header.second.size() + 2);
    const auto append = [&line](TextView text) {
        for (char16_t c : text) {
            if (c != u'\r' && c != u'\n') line.push_back(static_cast<wchar_t>(c));
        }
    };
    append(header.first);
    line += L": ";
    append(header.second);
    return line;
}

bool Get(const Text& endpoint, const HeaderList& headers, std::string& body) {
    const std::wstring url = ToWide(endpoint);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    const UniqueInternet session(::WinHttpOpen(L"Tidewell", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return false;
    if (!::WinHttpSetTimeouts(session.get(), 0, kTimeoutMs, kTimeoutMs, kTimeoutMs)) return false;
    const UniqueInternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return false;
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const UniqueInternet request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) return false;
    DWORD redirects = kMaxRedirects;
    // Best effort: where the option is unknown the client's own limit applies.
    (void)::WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);

    for (const auto& header : headers) {
        const std::wstring line = HeaderLine(header);
        if (!::WinHttpAddRequestHeaders(request.get(), line.c_str(), static_cast<DWORD>(line.size()),
                                        WINHTTP_ADDREQ_FLAG_ADD)) {
            return false;
        }
    }
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        return false;
    }
    if (!::WinHttpReceiveResponse(request.get(), nullptr)) return false;

    // Whatever the status: an error page is an answer too.
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) return false;
        if (available == 0) return true;
        const size_t at = body.size();
        body.resize(at + available);
        DWORD read = 0;
        if (!::WinHttpReadData(request.get(), body.data() + at, available, &read)) return false;
        body.resize(at + read);
        if (read == 0) return true;
    }
}

}  // namespace

bool HttpGetText(const HeaderList& headers, Text& answer) {
    answer.clear();
    try {
        std::string body;
        if (!Get(ServiceEndpoint(), headers, body)) return false;
        answer = Utf8ToText(body);  // UTF-8 whatever the response declares
        return true;
    } catch (...) {
        // Out of memory for a huge body counts as a failed request.
        answer.clear();
        return false;
    }
}

}  // namespace tidewell
