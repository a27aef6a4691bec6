#include "support/FailingSaveSteps.h"

namespace tarnwick::testing {

std::FILE* FailingSaveSteps::Open(int folderFd, const std::string& name) {
    return failing_ == SaveStep::Open ? nullptr : SaveSteps::Open(folderFd, name);
}

bool FailingSaveSteps::Write(std::FILE* file, std::string_view data) {
    // A short write, as when the disk fills up halfway.
    if (failing_ == SaveStep::Write) {
        SaveSteps::Write(file, data.substr(0, 3));
        return false;
    }
    return SaveSteps::Write(file, data);
}

bool FailingSaveSteps::Flush(std::FILE* file) {
    return SaveSteps::Flush(file) && failing_ != SaveStep::Flush;
}

bool FailingSaveSteps::Sync(std::FILE* file) {
    return SaveSteps::Sync(file) && failing_ != SaveStep::Sync;
}

bool FailingSaveSteps::Close(std::FILE* file) {
    return SaveSteps::Close(file) && failing_ != SaveStep::Close;
}

bool FailingSaveSteps::Rename(int folderFd, const std::string& from, const std::string& to) {
    return failing_ != SaveStep::Rename && SaveSteps::Rename(folderFd, from, to);
}

}  // namespace tarnwick::testing
