#include "engine/net/FtpSession.h"

#include "engine/net/CurlEasy.h"

namespace tarnwick {

namespace {
// A listing line longer than this cannot name a file of any file system; it is skipped.
constexpr std::size_t kMaxListingLine = 64 * 1024;

// The name a listing line stands for; some servers answer NLST with paths.
std::string_view NameOfListingLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    const std::size_t slash = line.rfind('/');
    return slash == std::string_view::npos ? line : line.substr(slash + 1);
}
// FTP's 4xx replies are the server's "not now" (421 too many users, 450 file busy).
void MarkTransientReply(TransferResult& result) {
    if (!result.ok && !result.cancelled && result.responseCode >= 400 &&
        result.responseCode < 500) {
        result.transient = true;
    }
}

}  // namespace

struct FtpSession::Impl {
    Impl(std::string host, std::shared_ptr<JobGate> gate)
        : host(std::move(host)), easy(std::move(gate), std::string()) {}

    void Prepare(const std::string& url) {
        easy.Prepare(url);
        if (CURL* handle = easy.Handle()) {
            curl_easy_setopt(handle, CURLOPT_FTP_USE_EPSV, 1L);
            curl_easy_setopt(handle, CURLOPT_FTP_FILEMETHOD,
                             static_cast<long>(CURLFTPMETHOD_SINGLECWD));
        }
    }

    std::string host;
    std::string directory;
    CurlEasy easy;
};

FtpSession::FtpSession(std::string host, std::shared_ptr<JobGate> gate)
    : impl_(std::make_unique<Impl>(std::move(host), std::move(gate))) {}

FtpSession::~FtpSession() = default;

std::string FtpSession::UrlOf(const std::string& name) const {
    std::string url = "ftp://" + impl_->host + "/";
    if (!impl_->directory.empty()) {
        url += impl_->directory + "/";
    }
    return url + name;
}

TransferResult FtpSession::ChangeDirectory(const std::string& directory) {
    const std::string previous = impl_->directory;
    impl_->directory = directory;
    impl_->Prepare(UrlOf(""));
    if (CURL* handle = impl_->easy.Handle()) {
        // Only the CWD is wanted: no listing, no data connection.
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    }
    TransferResult result = impl_->easy.Perform([](std::string_view) { return true; });
    if (impl_->easy.LastCode() == CURLE_REMOTE_ACCESS_DENIED) {
        impl_->directory = previous;
        result.ok = true;
    }
    return result;
}

TransferResult FtpSession::FindFile(const std::string& name, bool& found) {
    found = false;
    impl_->Prepare(UrlOf(""));
    if (CURL* handle = impl_->easy.Handle()) {
        curl_easy_setopt(handle, CURLOPT_DIRLISTONLY, 1L);
    }
    std::string line;
    bool lineTooLong = false;
    const auto matchLine = [&] {
        if (!lineTooLong && NameOfListingLine(line) == name) {
            found = true;
        }
        line.clear();
        lineTooLong = false;
    };
    TransferResult result = impl_->easy.Perform([&](std::string_view data) {
        for (const char c : data) {
            if (c == '\n') {
                matchLine();
            } else if (line.size() < kMaxListingLine) {
                line.push_back(c);
            } else {
                lineTooLong = true;
            }
        }
        return true;
    });
    if (!line.empty()) {
        matchLine();
    }
    if (!result.ok) {
        found = false;
    }
    return result;
}

TransferResult FtpSession::Facts(const std::string& name, FtpFileFacts& facts) {
    facts = FtpFileFacts();
    impl_->Prepare(UrlOf(name));
    CURL* handle = impl_->easy.Handle();
    if (handle != nullptr) {
        // SIZE and MDTM only: no data connection.
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(handle, CURLOPT_FILETIME, 1L);
    }
    TransferResult result = impl_->easy.Perform([](std::string_view) { return true; });
    if (result.ok && handle != nullptr) {
        curl_off_t size = -1;
        curl_off_t modified = -1;
        curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
        curl_easy_getinfo(handle, CURLINFO_FILETIME_T, &modified);
        facts.size = size;
        facts.modified = modified;
    }
    MarkTransientReply(result);
    return result;
}

TransferResult FtpSession::Retrieve(const std::string& name,
                                    const std::function<bool(std::string_view)>& onData,
                                    std::uint64_t resumeFrom, const TransferLimits& limits,
                                    const std::function<void()>& onTick) {
    impl_->Prepare(UrlOf(name));
    if (CURL* handle = impl_->easy.Handle()) {
        curl_easy_setopt(handle, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(handle, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeFrom));
    }
    impl_->easy.ApplyLimits(limits);
    TransferResult result = impl_->easy.Perform(onData, onTick);
    MarkTransientReply(result);
    return result;
}

}  // namespace tarnwick
