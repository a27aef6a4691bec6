#include "support/FtpTestServer.h"

namespace tarnwick::testing {

FtpTestServer::FtpTestServer() {
    const std::string python = PythonWith("pyftpdlib");
    if (python.empty()) {
        return;
    }
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        python, TARNWICK_TEST_SUPPORT_DIR "/ftp_server.py", root_.Path().string(),
        (logFolder_.Path() / "commands.log").string()});
    const auto line = process_->ReadLine(std::chrono::seconds(20));
    if (line) {
        port_ = std::atoi(line->c_str());
    }
}

std::string FtpTestServer::Url(const std::string& path) const {
    return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}

void FtpTestServer::AddFile(const std::string& relativePath, const std::string& bytes) {
    const std::filesystem::path path = root_.Path() / relativePath;
    std::filesystem::create_directories(path.parent_path());
    WriteFileBytes(path, bytes);
}

}  // namespace tarnwick::testing

namespace tarnwick::testing {

std::vector<std::string> FtpTestServer::Log() const {
    std::vector<std::string> lines;
    const std::string text = ReadFileBytes(logFolder_.Path() / "commands.log");
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace tarnwick::testing
