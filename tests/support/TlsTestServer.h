#pragma once

#include <memory>
#include <string>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {

// A static HTTPS server on 127.0.0.1 (Python's, on a port the kernel picks) whose
// certificate is signed by a test CA made at start with openssl. Only a client given
// CaBundlePath() trusts it. With forOtherHost the certificate names another host.
class TlsTestServer {
public:
    explicit TlsTestServer(bool forOtherHost = false);

    bool Started() const { return port_ != 0; }      // false: the test should GTEST_SKIP()
    std::string Url(const std::string& path) const;  // "https://127.0.0.1:<port>" + path
    std::string CaBundlePath() const;

    void AddFile(const std::string& name, const std::string& bytes);

private:
    bool MakeCertificates(bool forOtherHost);

    TempFolder keys_;
    TempFolder root_;
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

}  // namespace tarnwick::testing
