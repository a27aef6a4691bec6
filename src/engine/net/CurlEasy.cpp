#include "engine/net/CurlEasy.h"

namespace tarnwick {

namespace {
constexpr long kMaxRedirects = 20;  // the common value for web browsers
constexpr long kConnectTimeoutSeconds = 60;
constexpr const char* kUserAgent = "Tarnwick";
constexpr long kReceiveBufferBytes = 128 * 1024;  // fewer callbacks and writes per megabyte
}  // namespace

CurlEasy::CurlEasy(std::shared_ptr<JobGate> gate, std::string caBundlePath)
    : handle_(curl_easy_init()), gate_(std::move(gate)), caBundlePath_(std::move(caBundlePath)) {}

CurlEasy::~CurlEasy() {
    if (handle_ != nullptr) {
        curl_easy_cleanup(handle_);
    }
}

void CurlEasy::Prepare(const std::string& url) {
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
    curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &CurlEasy::OnProgress);
    curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
    if (!caBundlePath_.empty()) {
        curl_easy_setopt(handle_, CURLOPT_CAINFO, caBundlePath_.c_str());
    }
}

TransferResult CurlEasy::Perform(const DataSink& onData) {
    TransferResult result;
    if (handle_ == nullptr) {
        result.errorText = curl_easy_strerror(CURLE_FAILED_INIT);
        return result;
    }
    errorBuffer_[0] = '\0';
    sink_ = &onData;
    stoppedBySink_ = false;
    const CURLcode code = curl_easy_perform(handle_);
    sink_ = nullptr;
    lastCode_ = code;

    long connects = 0;
    curl_easy_getinfo(handle_, CURLINFO_NUM_CONNECTS, &connects);
    connectionsOpened_ += connects;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &result.responseCode);
    result.cancelled = stoppedBySink_ || (gate_ != nullptr && gate_->IsCancelled());
    result.ok = code == CURLE_OK && !result.cancelled;
    if (code != CURLE_OK) {
        result.errorText = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
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

int CurlEasy::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CurlEasy*>(self)->PassGate() ? 0 : 1;
}

bool CurlEasy::PassGate() const {
    return gate_ == nullptr || gate_->WaitWhilePaused();
}

}  // namespace tarnwick
