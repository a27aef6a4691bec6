#pragma once

#include <curl/curl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/net/HttpRequest.h"
#include "engine/net/ResponseHead.h"
#include "engine/net/TransferLimits.h"
#include "engine/net/TransferResult.h"
#include "model/JobGate.h"

namespace tarnwick {

// One libcurl easy handle with the options every transfer of ours shares: no signals, our
// own error buffer, only http, https and ftp (redirects only to http and https), verified
// TLS, and a progress callback that waits at the job's gate. Used only inside net/.
class CurlEasy {
public:
    using DataSink = std::function<bool(std::string_view)>;

    CurlEasy(std::shared_ptr<JobGate> gate, std::string caBundlePath);
    ~CurlEasy();
    CurlEasy(const CurlEasy&) = delete;
    CurlEasy& operator=(const CurlEasy&) = delete;

    // Clears the previous request's options (open connections stay) and sets the shared ones.
    void Prepare(const std::string& url);
    // Stall detection, connect timeout, speed limit and pause hold for the prepared request.
    void ApplyLimits(const TransferLimits& limits);
    // Prepares an HTTP GET (or HEAD) with the request's headers, redirect rule and limits.
    void PrepareHttp(const HttpRequest& request);
    CURL* Handle() { return handle_; }

    // Runs the prepared transfer, streaming the body to onData; onData returns false to stop.
    // onTick, when given, is called from the progress callback (at least once a second, also
    // while no data comes) for work that must not wait for the next block.
    TransferResult Perform(const DataSink& onData, const std::function<void()>& onTick = {});
    // Perform in two halves, for a multi handle that runs the transfer in between: the
    // callbacks must outlive it.
    void BeginTransfer(const DataSink& onData, const std::function<void()>* onTick);
    TransferResult EndTransfer(CURLcode code);
    // An answer of 400 or more fails a request that asks so; libcurl lets some through.
    static void ApplyHttpErrorRule(const HttpRequest& request, TransferResult& result);

    // The head of the HTTP answer being received, readable from inside onData.
    const ResponseHead& Head() const { return head_; }

    long ConnectionsOpened() const { return connectionsOpened_; }
    CURLcode LastCode() const { return lastCode_; }

private:
    static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    bool PassGate();

    CURL* handle_ = nullptr;
    curl_slist* headers_ = nullptr;  // of the prepared HTTP request
    char errorBuffer_[CURL_ERROR_SIZE] = {};
    std::shared_ptr<JobGate> gate_;
    std::string caBundlePath_;
    const DataSink* sink_ = nullptr;
    const std::function<void()>* tick_ = nullptr;
    bool stoppedBySink_ = false;
    bool wasPaused_ = false;
    bool pausedTooLong_ = false;
    std::chrono::milliseconds holdWhilePaused_{0};
    ResponseHead head_;
    long connectionsOpened_ = 0;
    CURLcode lastCode_ = CURLE_OK;
};

}  // namespace tarnwick
