#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/net/HttpRequest.h"
#include "engine/net/ResponseHead.h"
#include "engine/net/TransferResult.h"
#include "model/JobGate.h"

namespace tarnwick {

// One libcurl easy handle, owned by one worker thread. Reusing it for several requests
// keeps the connection alive where the server allows. Only http, https and ftp are spoken.
class HttpSession {
public:
    // gate: waited on while paused (the transfer stops at once and keeps its connection),
    // and the transfer ends as cancelled once it is cancelled. caBundlePath: empty for the
    // system's trust store.
    explicit HttpSession(std::shared_ptr<JobGate> gate = nullptr, std::string caBundlePath = {});
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // Streams the body to onData as it arrives; onData returns false to stop the transfer.
    // onTick is called at least once a second meanwhile, also while no data comes.
    TransferResult Get(const HttpRequest& request,
                       const std::function<bool(std::string_view)>& onData,
                       const std::function<void()>& onTick = {});

    // The status of the answer being received, readable from inside onData: a caller that
    // treats answers differently decides before the first byte of the body.
    long ResponseCode() const;

    // The head of the answer being received (the last one, once Get has returned).
    const ResponseHead& Head() const;

    // The address the last answer came from, redirects followed; empty before any request.
    std::string EffectiveUrl() const;
    // Connections opened so far by this session (to check keep-alive).
    long ConnectionsOpened() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick
