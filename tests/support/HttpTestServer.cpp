#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace tarnwick::testing {

namespace {

constexpr std::size_t kMaxRequestHead = 64 * 1024;

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 308:
            return "Permanent Redirect";
        case 400:
            return "Bad Request";
        case 206:
            return "Partial Content";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 416:
            return "Range Not Satisfiable";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

bool StartsWithIgnoreCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::string ValueOf(const std::vector<std::pair<std::string, std::string>>& headers,
                    const std::string& name) {
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && StartsWithIgnoreCase(key, name)) {
            return value;
        }
    }
    return {};
}

// Serves the range a request asks for, as a server that honours ranges would.
void ApplyRange(const RecordedRequest& request, HttpResponse& response) {
    const std::string range = request.Header("Range");
    if (!response.ranges || !range.starts_with("bytes=") || range.back() != '-') {
        return;
    }
    const std::string ifRange = request.Header("If-Range");
    if (!ifRange.empty() && ifRange != ValueOf(response.headers, "ETag") &&
        ifRange != ValueOf(response.headers, "Last-Modified")) {
        return;  // another version: the whole new one
    }
    const std::size_t size = response.body.size();
    const std::size_t first = std::stoull(range.substr(6, range.size() - 7));
    if (first >= size) {
        response.status = 416;
        response.headers.emplace_back("Content-Range", "bytes */" + std::to_string(size));
        response.body.clear();
        return;
    }
    response.status = 206;
    response.headers.emplace_back("Content-Range", "bytes " + std::to_string(first) + "-" +
                                                       std::to_string(size - 1) + "/" +
                                                       std::to_string(size));
    response.body.erase(0, first);
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    for (const std::string& line : headerLines) {
        if (StartsWithIgnoreCase(line, name + ":")) {
            std::string value = line.substr(name.size() + 1);
            value.erase(0, value.find_first_not_of(' '));
            return value;
        }
    }
    return {};
}

struct HttpTestServer::Impl {
    int listenFd = -1;
    int wakeFd = -1;  // becomes readable for good once the server stops
    int port = 0;
    std::thread acceptThread;

    mutable std::mutex mutex;
    std::condition_variable stopping;
    bool stopped = false;
    std::map<std::string, std::vector<HttpResponse>> responses;
    std::vector<RecordedRequest> requests;
    int connectionCount = 0;
    int openConnections = 0;
    int mostOpenConnections = 0;
    std::vector<std::thread> connectionThreads;

    // Waits until fd is ready for events; false once the server stops.
    bool WaitFor(int fd, short events) const {
        pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        while (true) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            return (fds[1].revents & POLLIN) == 0;
        }
    }

    // Sleeps for the stall, or less when the server stops; false once it stops.
    bool Stall(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex);
        return !stopping.wait_for(lock, duration, [this] { return stopped; });
    }

    static constexpr std::size_t kNoRequest = static_cast<std::size_t>(-1);

    // Sends everything; body bytes are counted to the request of that index as they go.
    bool SendAll(int fd, std::string_view data, std::size_t index = kNoRequest) {
        while (!data.empty()) {
            if (!WaitFor(fd, POLLOUT)) {
                return false;
            }
            const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (sent < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    continue;
                }
                return false;
            }
            data.remove_prefix(static_cast<std::size_t>(sent));
            if (index != kNoRequest) {
                std::lock_guard lock(mutex);
                requests[index].bodyBytesSent += static_cast<std::size_t>(sent);
            }
        }
        return true;
    }

    // Reads up to the end of one request head; false when the peer left or the server stops.
    bool ReadRequestHead(int fd, std::string& pending, std::string& head) const {
        std::size_t end;
        while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
            if (pending.size() > kMaxRequestHead || !WaitFor(fd, POLLIN)) {
                return false;
            }
            char buffer[4096];
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return false;
            }
            pending.append(buffer, static_cast<std::size_t>(got));
        }
        head = pending.substr(0, end);
        pending.erase(0, end + 4);
        return true;
    }

    RecordedRequest Parse(const std::string& head, int connection) const {
        RecordedRequest request;
        request.connection = connection;
        std::size_t start = 0;
        while (start <= head.size()) {
            std::size_t end = head.find("\r\n", start);
            if (end == std::string::npos) {
                end = head.size();
            }
            std::string line = head.substr(start, end - start);
            if (request.requestLine.empty()) {
                request.requestLine = line;
            } else {
                request.headerLines.push_back(line);
            }
            start = end + 2;
        }
        const std::size_t firstSpace = request.requestLine.find(' ');
        const std::size_t secondSpace = request.requestLine.find(' ', firstSpace + 1);
        if (firstSpace != std::string::npos) {
            request.target =
                request.requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
        }
        return request;
    }

    // Answers one request; false when the connection must close afterwards.
    bool Answer(int fd, const RecordedRequest& request, std::size_t index) {
        HttpResponse response;
        {
            std::lock_guard lock(mutex);
            const auto found = responses.find(request.target);
            if (found != responses.end()) {
                response = found->second.front();
                if (found->second.size() > 1) {
                    found->second.erase(found->second.begin());
                }
            } else {
                response.status = 404;
                response.body = "<html><body>Not Found</body></html>";
            }
        }
        ApplyRange(request, response);
        {
            std::lock_guard lock(mutex);
            requests[index].status = response.status;
        }
        return Send(fd, request, response, index);
    }

    bool Send(int fd, const RecordedRequest& request, const HttpResponse& response,
              std::size_t index) {
        if (response.stallBeforeAnswer.count() > 0 && !Stall(response.stallBeforeAnswer)) {
            return false;
        }
        if (response.closeWithoutAnswer) {
            return false;
        }
        bool keepAlive = request.requestLine.ends_with("HTTP/1.1");
        for (const std::string& line : request.headerLines) {
            if (StartsWithIgnoreCase(line, "connection:") &&
                line.find("close") != std::string::npos) {
                keepAlive = false;
            }
        }
        const std::size_t announced = response.contentLength.value_or(response.body.size());
        // A wrong length or a cut body leaves the stream out of step: close it afterwards.
        keepAlive = keepAlive && announced == response.body.size() && !response.closeAfterBytes;

        std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                           ReasonPhrase(response.status) + "\r\n";
        for (const auto& [name, value] : response.headers) {
            head += name + ": " + value + "\r\n";
        }
        head += "Content-Length: " + std::to_string(announced) + "\r\n";
        head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
        if (!SendAll(fd, head)) {
            return false;
        }
        if (request.requestLine.starts_with("HEAD ")) {
            return keepAlive;
        }
        std::string_view body = response.body;
        if (response.closeAfterBytes) {
            body = body.substr(0, std::min(*response.closeAfterBytes, body.size()));
        }
        if (response.stallAtByte) {
            const std::size_t split = std::min(*response.stallAtByte, body.size());
            if (!SendAll(fd, body.substr(0, split), index) || !Stall(response.stallInBody)) {
                return false;
            }
            body.remove_prefix(split);
        }
        return SendAll(fd, body, index) && keepAlive;
    }

    void ServeConnection(int fd, int connection) {
        std::string pending;
        std::string head;
        while (ReadRequestHead(fd, pending, head)) {
            RecordedRequest request = Parse(head, connection);
            std::size_t index = 0;
            {
                std::lock_guard lock(mutex);
                index = requests.size();
                requests.push_back(request);
            }
            if (!Answer(fd, request, index)) {
                break;
            }
        }
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        std::lock_guard lock(mutex);
        --openConnections;
    }

    void AcceptLoop() {
        while (WaitFor(listenFd, POLLIN)) {
            const int fd = ::accept(listenFd, nullptr, nullptr);
            if (fd < 0) {
                continue;
            }
            const int noDelay = 1;  // head and body go out at once, as real servers send them
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
            std::lock_guard lock(mutex);
            const int connection = ++connectionCount;
            mostOpenConnections = std::max(mostOpenConnections, ++openConnections);
            connectionThreads.emplace_back(
                [this, fd, connection] { ServeConnection(fd, connection); });
        }
    }
};

HttpTestServer::HttpTestServer() : impl_(std::make_unique<Impl>()) {
    impl_->wakeFd = ::eventfd(0, EFD_CLOEXEC);
    impl_->listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (impl_->wakeFd < 0 || impl_->listenFd < 0) {
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(impl_->listenFd, 64) != 0 ||
        ::getsockname(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    impl_->port = ntohs(address.sin_port);
    impl_->acceptThread = std::thread([this] { impl_->AcceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopped = true;
    }
    impl_->stopping.notify_all();
    if (impl_->wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(impl_->wakeFd, &one, sizeof one);
    }
    if (impl_->acceptThread.joinable()) {
        impl_->acceptThread.join();
    }
    // No new connection thread can appear once the accept loop has ended.
    for (std::thread& thread : impl_->connectionThreads) {
        thread.join();
    }
    for (const int fd : {impl_->listenFd, impl_->wakeFd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool HttpTestServer::Started() const {
    return impl_->port != 0;
}

int HttpTestServer::Port() const {
    return impl_->port;
}

std::string HttpTestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(impl_->port) + path;
}

void HttpTestServer::Serve(const std::string& target, HttpResponse response) {
    ServeInTurn(target, {std::move(response)});
}

void HttpTestServer::ServeInTurn(const std::string& target, std::vector<HttpResponse> responses) {
    if (responses.empty()) {
        return;
    }
    std::lock_guard lock(impl_->mutex);
    impl_->responses[target] = std::move(responses);
}

void HttpTestServer::Serve(const std::string& target, std::string body) {
    HttpResponse response;
    response.body = std::move(body);
    Serve(target, std::move(response));
}

std::vector<RecordedRequest> HttpTestServer::Requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

int HttpTestServer::ConnectionCount() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->connectionCount;
}

int HttpTestServer::MostConnectionsAtOnce() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->mostOpenConnections;
}

}  // namespace tarnwick::testing
