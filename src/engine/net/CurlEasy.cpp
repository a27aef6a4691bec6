#include "engine/net/CurlEasy.h"

#include "model/WholeNumber.h"

#include <cctype>
#include <ctime>

namespace tarnwick {

namespace {
constexpr long kMaxRedirects = 20;  // the common value for web browsers
constexpr long kConnectTimeoutSeconds = 60;
constexpr const char* kUserAgent = "Tarnwick";
constexpr long kReceiveBufferBytes = 128 * 1024;  // fewer callbacks and writes per megabyte
constexpr long kFirstErrorStatus = 400;

// Failures that another attempt may well not meet: the network's, not the request's.
bool IsTransientCode(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_FTP_ACCEPT_TIMEOUT:
            return true;
        default:
            return false;
    }
}

// Whose failure a code tells of. The body callback's refusals (a disk that is full, a stop)
// are the caller's to name, as only it knows why it refused.
OutcomeKind KindOfFailure(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return OutcomeKind::Done;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return OutcomeKind::BadRequest;
        case CURLE_HTTP_RETURNED_ERROR:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_LOGIN_DENIED:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_TOO_MANY_REDIRECTS:
            return OutcomeKind::ServerRefused;
        case CURLE_WRITE_ERROR:
            return OutcomeKind::Disk;
        case CURLE_ABORTED_BY_CALLBACK:
            return OutcomeKind::Interrupted;
        default:
            return OutcomeKind::Network;
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool NameIs(std::string_view name, std::string_view wanted) {
    if (name.size() != wanted.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != wanted[i]) {
            return false;
        }
    }
    return true;
}

std::int64_t DecimalOrNone(std::string_view text) {
    return WholeNumber<std::int64_t>(text).value_or(-1);
}

// Retry-After holds seconds or an HTTP date; a date in the past means now.
std::int64_t RetryAfterSeconds(std::string_view value) {
    const std::int64_t seconds = DecimalOrNone(value);
    if (seconds >= 0) {
        return seconds;
    }
    const std::string date(value);
    const time_t when = curl_getdate(date.c_str(), nullptr);
    if (when == -1) {
        return -1;
    }
    const time_t now = std::time(nullptr);
    return when > now ? static_cast<std::int64_t>(when - now) : 0;
}

void ReadHeaderLine(std::string_view line, ResponseHead& head) {
    if (line.starts_with("HTTP/")) {
        // Each answer (a redirect, a 100 Continue, the final one) starts afresh.
        head = ResponseHead();
        const std::size_t space = line.find(' ');
        if (space != std::string_view::npos) {
            head.status = static_cast<long>(DecimalOrNone(line.substr(space + 1, 3)));
        }
        return;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    const std::string_view name = Trimmed(line.substr(0, colon));
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (NameIs(name, "content-length")) {
        head.contentLength = DecimalOrNone(value);
    } else if (NameIs(name, "content-range")) {
        head.contentRange = value;
    } else if (NameIs(name, "etag")) {
        head.etag = value;
    } else if (NameIs(name, "last-modified")) {
        head.lastModified = value;
    } else if (NameIs(name, "location")) {
        head.location = value;
    } else if (NameIs(name, "retry-after")) {
        head.retryAfterSeconds = RetryAfterSeconds(value);
    }
}

}  // namespace

CurlEasy::CurlEasy(std::shared_ptr<JobGate> gate, std::string caBundlePath)
    : handle_(curl_easy_init()), gate_(std::move(gate)), caBundlePath_(std::move(caBundlePath)) {}

CurlEasy::~CurlEasy() {
    if (handle_ != nullptr) {
        curl_easy_cleanup(handle_);
    }
    curl_slist_free_all(headers_);
}

void CurlEasy::Prepare(const std::string& url) {
    holdWhilePaused_ = std::chrono::milliseconds::zero();
    if (handle_ == nullptr) {
        return;
    }
    curl_easy_reset(handle_);
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle_, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(handle_, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(handle_, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &CurlEasy::OnWrite);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &CurlEasy::OnHeader);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &CurlEasy::OnProgress);
    curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
    if (!caBundlePath_.empty()) {
        curl_easy_setopt(handle_, CURLOPT_CAINFO, caBundlePath_.c_str());
    }
}

void CurlEasy::PrepareHttp(const HttpRequest& request) {
    Prepare(request.url);
    curl_slist_free_all(headers_);
    headers_ = nullptr;
    for (const std::string& line : request.headers) {
        if (curl_slist* grown = curl_slist_append(headers_, line.c_str())) {
            headers_ = grown;
        }
    }
    if (handle_ != nullptr) {
        curl_easy_setopt(handle_, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
        curl_easy_setopt(handle_, CURLOPT_FAILONERROR, request.failOnHttpError ? 1L : 0L);
        curl_easy_setopt(handle_, CURLOPT_TIMEOUT_MS, request.timeoutMs);
        if (!request.range.empty()) {
            // CURLOPT_RANGE, not RESUME_FROM: libcurl then leaves an answer that ignores the
            // range to the caller, who starts over with it instead of failing.
            curl_easy_setopt(handle_, CURLOPT_RANGE, request.range.c_str());
        }
        if (request.headOnly) {
            curl_easy_setopt(handle_, CURLOPT_NOBODY, 1L);
        }
    }
    ApplyLimits(request.limits);
}

void CurlEasy::ApplyHttpErrorRule(const HttpRequest& request, TransferResult& result) {
    if (result.ok && request.failOnHttpError && result.responseCode >= kFirstErrorStatus) {
        result.ok = false;
        result.errorText =
            "The requested URL returned error: " + std::to_string(result.responseCode);
        result.failure = OutcomeKind::ServerRefused;
    }
}

void CurlEasy::ApplyLimits(const TransferLimits& limits) {
    holdWhilePaused_ = limits.holdWhilePaused;
    if (handle_ == nullptr) {
        return;
    }
    if (limits.lowSpeedTime.count() > 0 && limits.lowSpeedBytesPerSecond > 0) {
        curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT,
                         static_cast<long>(limits.lowSpeedBytesPerSecond));
        curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME,
                         static_cast<long>(limits.lowSpeedTime.count()));
    }
    if (limits.connectTimeout.count() > 0) {
        curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT,
                         static_cast<long>(limits.connectTimeout.count()));
    }
    if (limits.maxBytesPerSecond > 0) {
        curl_easy_setopt(handle_, CURLOPT_MAX_RECV_SPEED_LARGE,
                         static_cast<curl_off_t>(limits.maxBytesPerSecond));
    }
}

TransferResult CurlEasy::Perform(const DataSink& onData, const std::function<void()>& onTick) {
    if (handle_ == nullptr) {
        TransferResult result;
        result.errorText = curl_easy_strerror(CURLE_FAILED_INIT);
        result.failure = OutcomeKind::Network;
        return result;
    }
    BeginTransfer(onData, onTick ? &onTick : nullptr);
    return EndTransfer(curl_easy_perform(handle_));
}

void CurlEasy::BeginTransfer(const DataSink& onData, const std::function<void()>* onTick) {
    errorBuffer_[0] = '\0';
    sink_ = &onData;
    tick_ = onTick;
    stoppedBySink_ = false;
    wasPaused_ = false;
    pausedTooLong_ = false;
    head_ = ResponseHead();
}

TransferResult CurlEasy::EndTransfer(CURLcode code) {
    TransferResult result;
    sink_ = nullptr;
    tick_ = nullptr;
    lastCode_ = code;

    long connects = 0;
    curl_easy_getinfo(handle_, CURLINFO_NUM_CONNECTS, &connects);
    connectionsOpened_ += connects;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &result.responseCode);
    result.cancelled = stoppedBySink_ || (gate_ != nullptr && gate_->IsCancelled());
    result.wasPaused = wasPaused_;
    result.pausedTooLong = pausedTooLong_ && !result.cancelled;
    result.ok = code == CURLE_OK && !result.cancelled && !result.pausedTooLong;
    if (result.cancelled) {
        result.failure = OutcomeKind::Interrupted;
    } else if (!result.ok) {
        result.failure = KindOfFailure(code);
    }
    if (code != CURLE_OK) {
        result.errorText = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
        // A stall below the low-speed limit ends as a timeout too, and is retried as one.
        result.transient = !result.cancelled && IsTransientCode(code);
    }
    return result;
}

std::size_t CurlEasy::OnWrite(char* data, std::size_t size, std::size_t count, void* self) {
    auto* easy = static_cast<CurlEasy*>(self);
    const std::size_t bytes = size * count;
    // Held here as well as in the progress callback, so no byte reaches the sink while paused.
    if (!easy->PassGate()) {
        return CURL_WRITEFUNC_ERROR;
    }
    if (!(*easy->sink_)(std::string_view(data, bytes))) {
        easy->stoppedBySink_ = true;
        return CURL_WRITEFUNC_ERROR;
    }
    return bytes;
}

std::size_t CurlEasy::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    const std::size_t bytes = size * count;
    ReadHeaderLine(std::string_view(data, bytes), static_cast<CurlEasy*>(self)->head_);
    return bytes;
}

int CurlEasy::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* easy = static_cast<CurlEasy*>(self);
    if (easy->tick_ != nullptr) {
        (*easy->tick_)();
    }
    return easy->PassGate() ? 0 : 1;
}

bool CurlEasy::PassGate() {
    if (gate_ == nullptr) {
        return true;
    }
    if (holdWhilePaused_.count() <= 0) {
        wasPaused_ = wasPaused_ || gate_->IsPaused();
        return gate_->WaitWhilePaused();
    }
    switch (gate_->WaitWhilePausedFor(holdWhilePaused_)) {
        case JobGate::PauseWait::Open:
            return true;
        case JobGate::PauseWait::Resumed:
            wasPaused_ = true;
            return true;
        case JobGate::PauseWait::StillPaused:
            wasPaused_ = true;
            pausedTooLong_ = true;
            return false;
        case JobGate::PauseWait::Cancelled:
            return false;
    }
    return false;
}

}  // namespace tarnwick
