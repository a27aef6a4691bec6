#include "support/TlsTestServer.h"

namespace tarnwick::testing {

namespace {
const std::vector<std::string> kEcKey = {"-newkey", "ec", "-pkeyopt",
                                         "ec_paramgen_curve:prime256v1", "-nodes"};

std::vector<std::string> Joined(std::vector<std::string> head,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}
}  // namespace

TlsTestServer::TlsTestServer(bool forOtherHost) {
    const std::string python = PythonWith("ssl");
    if (python.empty() || !MakeCertificates(forOtherHost)) {
        return;
    }
    const std::string keys = keys_.Path().string();
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        python, TARNWICK_TEST_SUPPORT_DIR "/https_server.py", root_.Path().string(),
        keys + "/server.pem", keys + "/server.key"});
    const auto line = process_->ReadLine(std::chrono::seconds(20));
    if (line) {
        port_ = std::atoi(line->c_str());
    }
}

bool TlsTestServer::MakeCertificates(bool forOtherHost) {
    const std::string keys = keys_.Path().string();
    WriteFileBytes(keys_.Path() / "server.ext",
                   std::string("basicConstraints=CA:FALSE\n"
                               "keyUsage=critical,digitalSignature\n"
                               "extendedKeyUsage=serverAuth\n") +
                       (forOtherHost ? "subjectAltName=DNS:other.invalid\n"
                                     : "subjectAltName=IP:127.0.0.1,DNS:localhost\n"));
    return ChildProcess::Run(
               Joined(Joined({"openssl", "req", "-x509"}, kEcKey),
                      {"-keyout", keys + "/ca.key", "-out", keys + "/ca.pem", "-days", "2", "-subj",
                       "/CN=Tarnwick Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
                       "-addext", "keyUsage=critical,keyCertSign,cRLSign"})) &&
           ChildProcess::Run(Joined(Joined({"openssl", "req"}, kEcKey),
                                    {"-keyout", keys + "/server.key", "-out", keys + "/server.csr",
                                     "-subj", "/CN=test server"})) &&
           ChildProcess::Run({"openssl", "x509", "-req", "-in", keys + "/server.csr", "-CA",
                              keys + "/ca.pem", "-CAkey", keys + "/ca.key", "-CAcreateserial",
                              "-out", keys + "/server.pem", "-days", "2", "-extfile",
                              keys + "/server.ext"});
}

std::string TlsTestServer::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

std::string TlsTestServer::CaBundlePath() const {
    return (keys_.Path() / "ca.pem").string();
}

void TlsTestServer::AddFile(const std::string& name, const std::string& bytes) {
    WriteFileBytes(root_.Path() / name, bytes);
}

}  // namespace tarnwick::testing
