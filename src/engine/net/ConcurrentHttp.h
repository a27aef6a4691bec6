#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/net/HttpRequest.h"
#include "engine/net/ResponseHead.h"
#include "engine/net/TransferResult.h"
#include "model/JobGate.h"

namespace tarnwick {

// Several HTTP requests at once over a few connections per host, each kept alive for the
// requests after it. Owned and driven by one worker thread: every callback runs on it, from
// inside Pump(). Only http and https are spoken, TLS verified.
class ConcurrentHttp {
public:
    // The answer's head comes with each block, so a caller can decide before the first byte.
    using DataSink = std::function<bool(const ResponseHead& head, std::string_view data)>;
    using EndSink = std::function<void(const TransferResult& result, const ResponseHead& head)>;

    // gate: while it is paused every transfer waits (keeping its connection); once it is
    // cancelled every transfer ends as cancelled. maxConnections: per host, at least 1.
    ConcurrentHttp(std::shared_ptr<JobGate> gate, std::string caBundlePath, int maxConnections);
    ~ConcurrentHttp();
    ConcurrentHttp(const ConcurrentHttp&) = delete;
    ConcurrentHttp& operator=(const ConcurrentHttp&) = delete;

    // onData gets the body as it arrives and returns false to stop it; onEnd is called once,
    // when it has ended either way. Requests beyond the connections wait for one to be free.
    void Start(const HttpRequest& request, DataSink onData, EndSink onEnd);
    int Running() const;

    // Moves the transfers on until at least one has ended or wait has passed.
    void Pump(std::chrono::milliseconds wait);
    // Ends what still runs without calling it back, as a crawl that stops does.
    void DropAll();

    // Connections opened so far (to check keep-alive and the cap).
    long ConnectionsOpened() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick
