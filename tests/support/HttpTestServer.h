#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::testing {

// What the server answers for one path, including ways to misbehave on purpose.
struct HttpResponse {
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // e.g. {"Location", "/b"}
    std::optional<std::size_t> contentLength;                  // announced instead of body.size()
    std::optional<std::size_t> closeAfterBytes;  // drop the connection after this much body
    std::chrono::milliseconds stallBeforeAnswer{0};
    std::optional<std::size_t> stallAtByte;  // pause this long after this much body:
    std::chrono::milliseconds stallInBody{0};
    bool closeWithoutAnswer = false;
    // Honour "Range: bytes=N-" (206 with Content-Range, 416 past the end) unless an If-Range
    // names another version than the ETag or Last-Modified among the headers.
    bool ranges = false;
};

struct RecordedRequest {
    std::string requestLine;               // "GET /a/b.htm HTTP/1.1"
    std::string target;                    // "/a/b.htm"
    std::vector<std::string> headerLines;  // as received, without line ends
    int connection = 0;                    // which accepted connection carried it (from 1)
    int status = 0;                        // the status answered
    std::size_t bodyBytesSent = 0;         // how much of a body went out

    // The value of the first header of this name (either case), or empty.
    std::string Header(const std::string& name) const;
};

// An HTTP/1.1 server of the tests' own on 127.0.0.1, on a port the kernel picks, served by
// a thread of its own; keep-alive is honoured. Paths not configured answer 404.
class HttpTestServer {
public:
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool Started() const;  // false: the test should GTEST_SKIP()
    int Port() const;
    std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path

    void Serve(const std::string& target, HttpResponse response);  // exact target, query included
    void Serve(const std::string& target, std::string body);       // 200 with this body
    // One answer per request in turn; the last one stays for the requests after.
    void ServeInTurn(const std::string& target, std::vector<HttpResponse> responses);

    std::vector<RecordedRequest> Requests() const;
    int ConnectionCount() const;
    int MostConnectionsAtOnce() const;  // open at the same time, at any moment so far

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick::testing
