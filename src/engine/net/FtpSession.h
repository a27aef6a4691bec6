#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/net/TransferLimits.h"
#include "engine/net/TransferResult.h"
#include "model/JobGate.h"

namespace tarnwick {

// An anonymous FTP conversation with one host over one libcurl easy handle, so the control
// connection is logged in once and reused. Data connections are passive (EPSV, then PASV),
// which works behind NAT routers and firewalls; transfers are binary.
// What the server says of one file: SIZE and MDTM. Unknown values are -1.
struct FtpFileFacts {
    std::int64_t size = -1;
    std::int64_t modified = -1;  // seconds since 1970, UTC
};

class FtpSession {
public:
    // host: the URL's host part as written (a port or user name in it stays part of it).
    explicit FtpSession(std::string host, std::shared_ptr<JobGate> gate = nullptr);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Makes directory (relative to the login directory) the current one. A directory the
    // server refuses leaves the current one and is not a failure; a lost connection is.
    TransferResult ChangeDirectory(const std::string& directory);

    // Asks the server (never a cache) for the names in the current directory; found tells
    // whether name is among them.
    TransferResult FindFile(const std::string& name, bool& found);

    // Asks the server for the size and modification time of a file of the current directory.
    TransferResult Facts(const std::string& name, FtpFileFacts& facts);

    // Streams the file of the current directory to onData from resumeFrom on (sent as REST);
    // onData returns false to stop; onTick as for HttpSession::Get.
    TransferResult Retrieve(const std::string& name,
                            const std::function<bool(std::string_view)>& onData,
                            std::uint64_t resumeFrom = 0, const TransferLimits& limits = {},
                            const std::function<void()>& onTick = {});

private:
    std::string UrlOf(const std::string& name) const;

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick
