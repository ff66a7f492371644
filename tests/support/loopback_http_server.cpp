#include "support/loopback_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

namespace tidewell::testing {
namespace {

constexpr size_t kMaxRequestBytes = 64 * 1024;
constexpr DWORD kSocketTimeoutMs = 5000;

class WinsockUser {
public:
    WinsockUser() {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
    }
    ~WinsockUser() { ::WSACleanup(); }
};

void EnsureWinsock() { static WinsockUser user; }

SOCKET BoundLoopbackSocket(uint16_t& port) {
    EnsureWinsock();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::closesocket(s);
        throw std::runtime_error("bind to 127.0.0.1 failed");
    }
    int length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return s;
}

bool SendAll(SOCKET s, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const int chunk = static_cast<int>(std::min<size_t>(data.size() - sent, 1 << 20));
        const int n = ::send(s, data.data() + sent, chunk, 0);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool EqualsAsciiNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> HttpRequest::LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : headerLines) {
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> HttpRequest::Header(const std::string& name) const {
    for (const std::string& line : headerLines) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos || !EqualsAsciiNoCase(line.substr(0, colon), name)) continue;
        size_t value = colon + 1;
        while (value < line.size() && line[value] == ' ') ++value;
        return line.substr(value);
    }
    return std::nullopt;
}

Text LoopbackUrl(uint16_t port, const std::string& path) {
    return Utf8ToText("http://127.0.0.1:" + std::to_string(port) + path);
}

LoopbackHttpServer::LoopbackHttpServer(Script script, bool listenNow) : script_(std::move(script)) {
    listener_ = BoundLoopbackSocket(port_);
    if (listenNow) Listen();
}

void LoopbackHttpServer::Listen() {
    if (thread_.joinable()) return;
    if (::listen(listener_, SOMAXCONN) != 0) throw std::runtime_error("listen failed");
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    ::closesocket(listener_);
}

Text LoopbackHttpServer::Url(const std::string& path) const { return LoopbackUrl(port_, path); }

std::vector<HttpRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t LoopbackHttpServer::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

bool LoopbackHttpServer::WaitForRequests(size_t count, unsigned timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return requests_.size() >= count; });
}

uint16_t LoopbackHttpServer::RefusedPort() {
    uint16_t port = 0;
    ::closesocket(BoundLoopbackSocket(port));
    return port;
}

void LoopbackHttpServer::Serve() {
    while (!stop_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval wait{0, 50 * 1000};
        if (::select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        HandleConnection(client);
        ::closesocket(client);
    }
}

void LoopbackHttpServer::HandleConnection(SOCKET client) {
    const DWORD timeout = kSocketTimeoutMs;
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);

    std::string raw;
    char buffer[4096];
    while (raw.find("\r\n\r\n") == std::string::npos && raw.size() < kMaxRequestBytes) {
        const int n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        raw.append(buffer, static_cast<size_t>(n));
    }
    const size_t headEnd = raw.find("\r\n\r\n");
    if (headEnd == std::string::npos) return;

    HttpRequest request;
    size_t at = 0;
    bool first = true;
    while (at < headEnd) {
        size_t lineEnd = raw.find("\r\n", at);
        if (lineEnd == std::string::npos || lineEnd > headEnd) lineEnd = headEnd;
        std::string line = raw.substr(at, lineEnd - at);
        if (first) {
            request.requestLine = std::move(line);
            first = false;
        } else {
            request.headerLines.push_back(std::move(line));
        }
        at = lineEnd + 2;
    }

    size_t index;
    {
        std::lock_guard lock(mutex_);
        index = requests_.size();
        requests_.push_back(request);
    }
    changed_.notify_all();

    const HttpResponse response = script_ ? script_(request, index) : HttpResponse{};
    if (response.dropConnection) {
        // An abortive close: the client sees a reset, not an empty answer.
        linger abort{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
        return;
    }
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    head += "Connection: close\r\n";
    for (const std::string& line : response.headerLines) head += line + "\r\n";
    head += "\r\n";
    if (SendAll(client, head)) (void)SendAll(client, response.body);
    ::shutdown(client, SD_SEND);
    // Let the client read everything before the socket goes away.
    while (::recv(client, buffer, sizeof buffer, 0) > 0) {
    }
}

}  // namespace tidewell::testing
