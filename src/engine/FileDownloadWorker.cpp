#include <string>

#include "engine/FileDownloadJob.h"
#include "engine/LocalFile.h"
#include "engine/TransferErrorText.h"
#include "engine/Workers.h"
#include "engine/net/FtpSession.h"
#include "engine/net/HttpSession.h"

namespace tarnwick {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUrlNotParsed = 1;
constexpr int kExitFileNotFound = 3;
constexpr const char* kFilesFolder = "Files";

// Everything after the last '/', query and all; the whole URL when it has no '/'.
std::string LocalNameOf(const std::string& url) {
    const std::size_t slash = url.rfind('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

struct FtpLocation {
    std::string host;       // as written, a port or user name included
    std::string directory;  // empty: the file lies directly below the host
    std::string fileName;
};

// Splits ftp://host/dir/sub/name; false when there is no "//" or no '/' after the host.
bool ParseFtpUrl(const std::string& url, FtpLocation& location) {
    const std::size_t schemeEnd = url.find("//");
    if (schemeEnd == std::string::npos) {
        return false;
    }
    std::string blanked = url;  // the two slashes of "ftp://" must not count as the path's
    for (const std::size_t position : {std::size_t{4}, std::size_t{5}}) {
        if (position < blanked.size()) {
            blanked[position] = ' ';
        }
    }
    const std::size_t pathStart = blanked.find('/');
    if (pathStart == std::string::npos || pathStart < schemeEnd + 2) {
        return false;
    }
    const std::size_t lastSlash = blanked.rfind('/');
    location.host = url.substr(schemeEnd + 2, pathStart - schemeEnd - 2);
    location.directory =
        lastSlash == pathStart ? "" : url.substr(pathStart + 1, lastSlash - pathStart - 1);
    location.fileName = url.substr(lastSlash + 1);
    return true;
}

// The body sink: the local file is created with the first byte, so a transfer that fails
// before any data (an error answer, a refused certificate) writes nothing.
class BodySink {
public:
    BodySink(SharedState& state, FileDownloadJob& job, std::filesystem::path folder,
             std::string name, bool storeInEntry)
        : state_(state),
          job_(job),
          folder_(std::move(folder)),
          name_(std::move(name)),
          storeInEntry_(storeInEntry) {}

    bool operator()(std::string_view data) {
        if (!created_) {
            created_ = file_.Create(folder_, name_);
            creationFailed_ = !created_;
        }
        writeFailed_ = created_ && !file_.Write(data);
        if (!created_ || writeFailed_) {
            return false;
        }
        StartBusyAnimation(state_);
        entryGone_ = !job_.AddBytes(data.size(), storeInEntry_);
        return !entryGone_;
    }

    // The ending shared by both protocols, for a transfer that ran (or failed to start).
    int Conclude(const WorkerContext& context, const TransferResult& result) {
        file_.Close();
        // A cancelled job or a vanished entry ends quietly.
        if (entryGone_ || (context.gate != nullptr && context.gate->IsCancelled())) {
            return job_.End(kExitDone);
        }
        if (creationFailed_) {
            return FailWith("Error creating " + name_);
        }
        if (writeFailed_) {
            return FailWith("Error writing " + name_);
        }
        if (!result.ok) {
            return FailWith(TransferErrorText(result.errorText));
        }
        // An empty body still makes its (empty) file.
        if (!created_ && !file_.Create(folder_, name_)) {
            return FailWith("Error creating " + name_);
        }
        file_.Close();
        job_.FlushProgress(storeInEntry_);
        job_.Complete();
        return job_.End(kExitDone);
    }

    int FailWith(const std::string& text) {
        job_.Fail(text);
        return job_.End(kExitDone);
    }

private:
    SharedState& state_;
    FileDownloadJob& job_;
    std::filesystem::path folder_;
    std::string name_;
    bool storeInEntry_;
    LocalFile file_;
    bool created_ = false;
    bool creationFailed_ = false;
    bool writeFailed_ = false;
    bool entryGone_ = false;
};

}  // namespace

int RunFileDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, url);
    HttpSession session(context.gate, context.caBundlePath);
    const std::string name = LocalNameOf(url);
    BodySink sink(context.state, job, context.workingDirectory / kFilesFolder, name, true);
    StartBusyAnimation(context.state);
    if (!LocalFile::IsPlainName(name)) {
        return sink.FailWith("Error creating " + name);
    }
    HttpRequest request{url, {}};
    request.followRedirects = true;
    request.failOnHttpError = true;
    const TransferResult result = session.Get(request, std::ref(sink));
    return sink.Conclude(context, result);
}

int RunFtpDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, url);
    FtpLocation location;
    if (!ParseFtpUrl(url, location)) {
        job.ShowMessage("Error parsing url");
        return job.End(kExitUrlNotParsed);
    }
    BodySink sink(context.state, job, context.workingDirectory / kFilesFolder, location.fileName,
                  false);
    StartBusyAnimation(context.state);
    FtpSession session(location.host, context.gate);
    if (!location.directory.empty()) {
        const TransferResult changed = session.ChangeDirectory(location.directory);
        if (!changed.ok) {
            return sink.Conclude(context, changed);
        }
    }
    bool found = false;
    const TransferResult listed = session.FindFile(location.fileName, found);
    if (!listed.ok) {
        return sink.Conclude(context, listed);
    }
    if (!found) {
        job.ShowMessage("Error finding file");
        return job.End(kExitFileNotFound);
    }
    job.ShowInProgress();
    if (!LocalFile::IsPlainName(location.fileName)) {
        return sink.FailWith("Error creating " + location.fileName);
    }
    const TransferResult result = session.Retrieve(location.fileName, std::ref(sink));
    return sink.Conclude(context, result);
}

}  // namespace tarnwick
