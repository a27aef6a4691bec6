#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/FileDownloadJob.h"
#include "engine/LocalFile.h"
#include "engine/Workers.h"
#include "engine/net/TransferResult.h"

namespace tarnwick {

// Receives a file worker's body into Files/<name> and ends the worker in order. The local
// file is created with the first byte, so a transfer that fails before any data (an error
// answer, a refused certificate) writes nothing.
class FileBodySink {
public:
    FileBodySink(SharedState& state, FileDownloadJob& job, std::filesystem::path folder,
                 std::string name, bool storeInEntry);

    // One block of the body; false stops the transfer.
    bool operator()(std::string_view data);

    // The ending for a transfer that ran, or failed to start: quiet when cancelled or when
    // the entry is gone, the entry's error text on a failure, else the completion steps.
    int Conclude(const WorkerContext& context, const TransferResult& result);

    // Leaves the entry requested with this status and ends the worker.
    int FailWith(const std::string& text);

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

}  // namespace tarnwick
