#include "engine/net/HttpSession.h"

#include "engine/net/CurlEasy.h"

namespace tarnwick {

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
    easy.PrepareHttp(request);
    TransferResult result = easy.Perform(onData, onTick);
    CurlEasy::ApplyHttpErrorRule(request, result);
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
