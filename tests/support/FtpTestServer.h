#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {

// pyftpdlib serving a scratch folder read-only to anonymous users on 127.0.0.1, on a port the
// kernel picks, in passive mode only. Stopped when the object goes.
class FtpTestServer {
public:
    FtpTestServer();

    bool Started() const { return port_ != 0; }  // false: the test should GTEST_SKIP()
    int Port() const { return port_; }
    std::string Url(const std::string& path) const;  // "ftp://127.0.0.1:<port>" + path

    // Puts a file below the served folder ("pub/tools/unzip.exe"), making its folders.
    void AddFile(const std::string& relativePath, const std::string& bytes);

    // The commands received and the bytes of files sent so far, one line each:
    // "REST 1000", "RETR medium.bin", "SENT 5000 medium.bin".
    std::vector<std::string> Log() const;

private:
    TempFolder root_;
    TempFolder logFolder_;
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

}  // namespace tarnwick::testing
