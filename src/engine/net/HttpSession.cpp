#include "engine/net/HttpSession.h"

#include "engine/net/CurlEasy.h"

namespace tarnwick {

namespace {
constexpr long kFirstErrorStatus = 400;

// Owns a libcurl header list for the length of one request.
class HeaderList {
public:
    explicit HeaderList(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            if (curl_slist* grown = curl_slist_append(list_, line.c_str())) {
                list_ = grown;
            }
        }
    }
    ~HeaderList() { curl_slist_free_all(list_); }
    HeaderList(const HeaderList&) = delete;
    HeaderList& operator=(const HeaderList&) = delete;
    curl_slist* Get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};
}  // namespace

struct HttpSession::Impl {
    Impl(std::shared_ptr<JobGate> gate, std::string caBundlePath)
        : easy(std::move(gate), std::move(caBundlePath)) {}
    CurlEasy easy;
};

HttpSession::HttpSession(std::shared_ptr<JobGate> gate, std::string caBundlePath)
    : impl_(std::make_unique<Impl>(std::move(gate), std::move(caBundlePath))) {}

HttpSession::~HttpSession() = default;

TransferResult HttpSession::Get(const HttpRequest& request,
                                const std::function<bool(std::string_view)>& onData,
                                const std::function<void()>& onTick) {
    CurlEasy& easy = impl_->easy;
    easy.Prepare(request.url);
    const HeaderList headers(request.headers);
    if (CURL* handle = easy.Handle()) {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.Get());
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
        curl_easy_setopt(handle, CURLOPT_FAILONERROR, request.failOnHttpError ? 1L : 0L);
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, request.timeoutMs);
        if (!request.range.empty()) {
            // CURLOPT_RANGE, not RESUME_FROM: libcurl then leaves an answer that ignores the
            // range to the caller, who starts over with it instead of failing.
            curl_easy_setopt(handle, CURLOPT_RANGE, request.range.c_str());
        }
        if (request.headOnly) {
            curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
        }
    }
    easy.ApplyLimits(request.limits);
    TransferResult result = easy.Perform(onData, onTick);
    // libcurl lets some error answers through (an authentication challenge); the status decides.
    if (result.ok && request.failOnHttpError && result.responseCode >= kFirstErrorStatus) {
        result.ok = false;
        result.errorText =
            "The requested URL returned error: " + std::to_string(result.responseCode);
    }
    return result;
}

long HttpSession::ResponseCode() const {
    long code = 0;
    if (CURL* handle = impl_->easy.Handle()) {
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &code);
    }
    return code;
}

const ResponseHead& HttpSession::Head() const {
    return impl_->easy.Head();
}

std::string HttpSession::EffectiveUrl() const {
    char* url = nullptr;
    if (CURL* handle = impl_->easy.Handle()) {
        curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &url);
    }
    return url != nullptr ? url : "";
}

long HttpSession::ConnectionsOpened() const {
    return impl_->easy.ConnectionsOpened();
}

}  // namespace tarnwick
