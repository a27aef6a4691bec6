#pragma once

#include <array>
#include <string>
#include <string_view>

#include "storage/SaveSteps.h"

namespace tarnwick::testing {

enum class SaveStep { Open, Write, Flush, Sync, Close, Rename };
inline constexpr std::array kEverySaveStep = {SaveStep::Open, SaveStep::Write, SaveStep::Flush,
                                              SaveStep::Sync, SaveStep::Close, SaveStep::Rename};

// Fails one step of every save the way a full disk or a broken device would.
class FailingSaveSteps : public SaveSteps {
public:
    explicit FailingSaveSteps(SaveStep failing) : failing_(failing) {}

    std::FILE* Open(int folderFd, const std::string& name) override;
    bool Write(std::FILE* file, std::string_view data) override;
    bool Flush(std::FILE* file) override;
    bool Sync(std::FILE* file) override;
    bool Close(std::FILE* file) override;
    bool Rename(int folderFd, const std::string& from, const std::string& to) override;

private:
    SaveStep failing_;
};

}  // namespace tarnwick::testing
