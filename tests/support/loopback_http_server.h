#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the Windows tests. It listens on a
// port of the system's choosing, serves one request per connection, records
// each request's raw lines in the order they arrived, and answers what the
// test's script says. Nothing leaves the loopback interface.

#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"

namespace tidewell::testing {

struct HttpRequest {
    std::string requestLine;               // "GET /api.init.php HTTP/1.1"
    std::vector<std::string> headerLines;  // "Name: value", in order

    // The header lines whose name starts with the prefix (case-sensitive), in order.
    [[nodiscard]] std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
    // The value of the first header of that name (ASCII case-insensitive).
    [[nodiscard]] std::optional<std::string> Header(const std::string& name) const;
};

struct HttpResponse {
    int status = 200;
    std::string reason = "OK";
    std::vector<std::string> headerLines;  // added after Content-Length and Connection
    std::string body;
    bool dropConnection = false;  // close without any answer
};

class LoopbackHttpServer {
public:
    // index counts the requests from 0.
    using Script = std::function<HttpResponse(const HttpRequest& request, size_t index)>;

    // listenNow false: the port is reserved but refuses connections until Listen().
    explicit LoopbackHttpServer(Script script, bool listenNow = true);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Listen();
    [[nodiscard]] uint16_t Port() const noexcept { return port_; }
    [[nodiscard]] Text Url(const std::string& path) const;
    [[nodiscard]] std::vector<HttpRequest> Requests() const;
    [[nodiscard]] size_t RequestCount() const;
    // Waits (bounded) until at least count requests have been recorded.
    [[nodiscard]] bool WaitForRequests(size_t count, unsigned timeoutMs) const;

    // A loopback port where nothing listens: connections are refused at once.
    [[nodiscard]] static uint16_t RefusedPort();

private:
    void Serve();
    void HandleConnection(SOCKET client);

    Script script_;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<HttpRequest> requests_;
};

// "http://127.0.0.1:<port><path>"
[[nodiscard]] Text LoopbackUrl(uint16_t port, const std::string& path);

}  // namespace tidewell::testing
