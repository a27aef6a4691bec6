#include <functional>
#include <string>

#include "engine/FileBodySink.h"
#include "engine/FileDownloadJob.h"
#include "engine/FtpLocation.h"
#include "engine/LocalFile.h"
#include "engine/Workers.h"
#include "engine/net/FtpSession.h"
#include "engine/net/HttpSession.h"

namespace tarnwick {

namespace {

constexpr int kExitUrlNotParsed = 1;
constexpr int kExitFileNotFound = 3;
constexpr const char* kFilesFolder = "Files";

// Everything after the last '/', query and all; the whole URL when it has no '/'.
std::string LocalNameOf(const std::string& url) {
    const std::size_t slash = url.rfind('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

}  // namespace

int RunFileDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, url);
    HttpSession session(context.gate, context.caBundlePath);
    const std::string name = LocalNameOf(url);
    FileBodySink sink(context.state, job, context.workingDirectory / kFilesFolder, name, true);
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
    FileBodySink sink(context.state, job, context.workingDirectory / kFilesFolder,
                      location.fileName, false);
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
