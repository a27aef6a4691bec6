#include "engine/net/ConcurrentHttp.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/net/CurlEasy.h"

namespace tarnwick {

namespace {

struct Transfer {
    std::unique_ptr<CurlEasy> easy;
    HttpRequest request;
    ConcurrentHttp::DataSink onData;
    ConcurrentHttp::EndSink onEnd;
    CurlEasy::DataSink sink;  // onData with this transfer's head; lives as long as the transfer
};

}  // namespace

struct ConcurrentHttp::Impl {
    CURLM* multi = nullptr;
    std::shared_ptr<JobGate> gate;
    std::string caBundlePath;
    std::vector<std::unique_ptr<CurlEasy>> idle;  // kept for the next request, with their counts
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> running;

    // Takes a transfer out of the multi handle; its easy handle goes back to the idle ones.
    TransferResult Remove(Transfer& transfer, CURLcode code) {
        curl_multi_remove_handle(multi, transfer.easy->Handle());
        TransferResult result = transfer.easy->EndTransfer(code);
        CurlEasy::ApplyHttpErrorRule(transfer.request, result);
        return result;
    }

    void End(CURL* handle, CURLcode code) {
        const auto found = running.find(handle);
        if (found == running.end()) {
            return;
        }
        std::unique_ptr<Transfer> transfer = std::move(found->second);
        running.erase(found);
        const TransferResult result = Remove(*transfer, code);
        transfer->onEnd(result, transfer->easy->Head());
        idle.push_back(std::move(transfer->easy));
    }

    // Calls back every transfer that has ended; false when none had.
    bool CollectEnded() {
        bool any = false;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE) {
                End(message->easy_handle, message->data.result);
                any = true;
            }
        }
        return any;
    }
};

ConcurrentHttp::ConcurrentHttp(std::shared_ptr<JobGate> gate, std::string caBundlePath,
                               int maxConnections)
    : impl_(std::make_unique<Impl>()) {
    impl_->multi = curl_multi_init();
    impl_->gate = std::move(gate);
    impl_->caBundlePath = std::move(caBundlePath);
    const long connections = std::max(1, maxConnections);
    if (impl_->multi != nullptr) {
        curl_multi_setopt(impl_->multi, CURLMOPT_MAX_HOST_CONNECTIONS, connections);
        curl_multi_setopt(impl_->multi, CURLMOPT_MAXCONNECTS, connections);
    }
}

ConcurrentHttp::~ConcurrentHttp() {
    DropAll();
    impl_->idle.clear();  // libcurl wants the multi handle cleaned up after its easy ones
    if (impl_->multi != nullptr) {
        curl_multi_cleanup(impl_->multi);
    }
}

void ConcurrentHttp::Start(const HttpRequest& request, DataSink onData, EndSink onEnd) {
    auto transfer = std::make_unique<Transfer>();
    if (impl_->idle.empty()) {
        transfer->easy = std::make_unique<CurlEasy>(impl_->gate, impl_->caBundlePath);
    } else {
        transfer->easy = std::move(impl_->idle.back());
        impl_->idle.pop_back();
    }
    transfer->request = request;
    transfer->onData = std::move(onData);
    transfer->onEnd = std::move(onEnd);
    Transfer* started = transfer.get();
    transfer->sink = [started](std::string_view data) {
        return started->onData(started->easy->Head(), data);
    };
    CurlEasy& easy = *transfer->easy;
    easy.PrepareHttp(request);
    easy.BeginTransfer(transfer->sink, nullptr);
    CURL* handle = easy.Handle();
    if (handle == nullptr || impl_->multi == nullptr ||
        curl_multi_add_handle(impl_->multi, handle) != CURLM_OK) {
        const TransferResult failed = easy.EndTransfer(CURLE_FAILED_INIT);
        transfer->onEnd(failed, easy.Head());
        impl_->idle.push_back(std::move(transfer->easy));
        return;
    }
    impl_->running.emplace(handle, std::move(transfer));
}

int ConcurrentHttp::Running() const {
    return static_cast<int>(impl_->running.size());
}

void ConcurrentHttp::Pump(std::chrono::milliseconds wait) {
    if (impl_->running.empty()) {
        return;
    }
    // The progress callbacks wait at the gate too, but only of transfers libcurl is moving.
    if (impl_->gate != nullptr && !impl_->gate->WaitWhilePaused()) {
        while (!impl_->running.empty()) {
            impl_->End(impl_->running.begin()->first, CURLE_ABORTED_BY_CALLBACK);
        }
        return;
    }
    int active = 0;
    curl_multi_perform(impl_->multi, &active);
    if (impl_->CollectEnded()) {
        return;
    }
    curl_multi_poll(impl_->multi, nullptr, 0, static_cast<int>(wait.count()), nullptr);
    curl_multi_perform(impl_->multi, &active);
    impl_->CollectEnded();
}

void ConcurrentHttp::DropAll() {
    for (auto& [handle, transfer] : impl_->running) {
        impl_->Remove(*transfer, CURLE_ABORTED_BY_CALLBACK);
        impl_->idle.push_back(std::move(transfer->easy));
    }
    impl_->running.clear();
}

long ConcurrentHttp::ConnectionsOpened() const {
    long opened = 0;
    for (const std::unique_ptr<CurlEasy>& easy : impl_->idle) {
        opened += easy->ConnectionsOpened();
    }
    for (const auto& [handle, transfer] : impl_->running) {
        opened += transfer->easy->ConnectionsOpened();
    }
    return opened;
}

}  // namespace tarnwick
