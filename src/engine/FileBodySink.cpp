#include "engine/FileBodySink.h"

#include "engine/TransferErrorText.h"

namespace tarnwick {

namespace {
constexpr int kExitDone = 0;
}

FileBodySink::FileBodySink(SharedState& state, FileDownloadJob& job, std::filesystem::path folder,
                           std::string name, bool storeInEntry)
    : state_(state),
      job_(job),
      folder_(std::move(folder)),
      name_(std::move(name)),
      storeInEntry_(storeInEntry) {}

bool FileBodySink::operator()(std::string_view data) {
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

int FileBodySink::Conclude(const WorkerContext& context, const TransferResult& result) {
    file_.Close();
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

int FileBodySink::FailWith(const std::string& text) {
    job_.Fail(text);
    return job_.End(kExitDone);
}

}  // namespace tarnwick
