#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "model/ListFileFormat.h"
#include "model/ListFiles.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::ReadFileBytes;
using testing::RecordingUi;
using testing::TempFolder;

template <typename Project>
Project Named(const char* name) {
    Project project;
    project.name = name;
    return project;
}

enum class Step { Open, Write, Flush, Sync, Close, Rename };

// Fails one step of the save the way a full disk or a broken device would.
class FailingSteps : public SaveSteps {
public:
    explicit FailingSteps(Step failing) : failing_(failing) {}

    std::FILE* Open(const std::filesystem::path& path) override {
        return failing_ == Step::Open ? nullptr : SaveSteps::Open(path);
    }
    bool Write(std::FILE* file, std::string_view data) override {
        // A short write, as when the disk fills up halfway.
        return failing_ == Step::Write ? (SaveSteps::Write(file, data.substr(0, 3)), false)
                                       : SaveSteps::Write(file, data);
    }
    bool Flush(std::FILE* file) override {
        return SaveSteps::Flush(file) && failing_ != Step::Flush;
    }
    bool Sync(std::FILE* file) override { return SaveSteps::Sync(file) && failing_ != Step::Sync; }
    bool Close(std::FILE* file) override {
        return SaveSteps::Close(file) && failing_ != Step::Close;
    }
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return failing_ != Step::Rename && SaveSteps::Rename(from, to);
    }

private:
    Step failing_;
};

TEST(AtomicSave, AFailingStepShowsTheListMessageAndKeepsTheOldFile) {
    for (Step step :
         {Step::Open, Step::Write, Step::Flush, Step::Sync, Step::Close, Step::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        TempFolder folder;
        SharedState state;
        RecordingUi ui;
        ui.AttachTo(state.ui);
        state.RequestedFiles.AppendUrl("http://old/");
        state.SearchProjects.Append(Named<SearchProject>("old"));
        SaveAllLists(state, folder.Path());
        const std::string oldFiles = ReadFileBytes(folder.Path() / "reqfiles.data");
        const std::string oldSearch = ReadFileBytes(folder.Path() / "reqsearch.data");

        state.RequestedFiles.AppendUrl("http://new/");
        state.SearchProjects.Append(Named<SearchProject>("new"));
        state.DownloadedSites.Append(Named<WebProject>("site"));
        FailingSteps failing(step);
        SaveAllLists(state, folder.Path(), failing);

        EXPECT_EQ(ui.Messages(),
                  (std::vector<std::string>{"Error saving the 'Requested Files' list!",
                                            "Error saving the 'Requested Search Projects' list!",
                                            "Error saving the 'Requested Web Sites' list!"}));
        EXPECT_EQ(ReadFileBytes(folder.Path() / "reqfiles.data"), oldFiles);
        EXPECT_EQ(ReadFileBytes(folder.Path() / "reqsearch.data"), oldSearch);
        EXPECT_EQ(folder.Tree(), (std::vector<std::string>{"reqfiles.data", "reqsearch.data"}));
        // The changes are still pending, so the next save writes them.
        EXPECT_EQ(state.RequestedFiles.IsModified(), 1);
        SaveAllLists(state, folder.Path());
        EXPECT_EQ(ReadFileBytes(folder.Path() / "reqfiles.data"), "http://old/\r\nhttp://new/\r\n");
        EXPECT_EQ(ui.Messages().size(), 3u);
    }
}

// The minute's saves would otherwise show the same box every minute while the disk is full.
TEST(AtomicSave, AFailureIsShownOnceUntilASaveOfThatFileSucceeds) {
    TempFolder folder;
    SharedState state;
    RecordingUi ui;
    ui.AttachTo(state.ui);
    FailingSteps failing(Step::Rename);
    const std::string filesMessage = "Error saving the 'Requested Files' list!";

    state.RequestedFiles.AppendUrl("http://a/");
    SaveAllLists(state, folder.Path(), failing);
    SaveAllLists(state, folder.Path(), failing);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{filesMessage});

    // Another file with the same message is told apart: its first failure still shows.
    state.DownloadedFiles.AppendUrl("http://done/");
    SaveAllLists(state, folder.Path(), failing);
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{filesMessage, filesMessage}));

    SaveAllLists(state, folder.Path());
    EXPECT_EQ(ui.Messages().size(), 2u);
    state.RequestedFiles.AppendUrl("http://b/");
    SaveAllLists(state, folder.Path(), failing);
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{filesMessage, filesMessage, filesMessage}));
    EXPECT_EQ(ReadFileBytes(folder.Path() / "reqfiles.data"), "http://a/\r\n");
}

TEST(AtomicSave, ASymbolicLinkIsReplacedNotFollowed) {
    TempFolder folder;
    TempFolder elsewhere;
    const auto target = elsewhere.Path() / "victim";
    testing::WriteFileBytes(target, "precious");
    std::filesystem::create_symlink(target, folder.Path() / "reqfiles.data.tmp");
    SharedState state;
    state.RequestedFiles.AppendUrl("http://x/");
    SaveAllLists(state, folder.Path());
    EXPECT_EQ(ReadFileBytes(target), "precious");
}

std::string ManyFileRecords(char letter) {
    std::string data;
    for (int i = 0; i < 20000; ++i) {
        RenderFileRecord(
            FileEntry{"http://host/" + std::string(40, letter) + std::to_string(i), ""}, data);
    }
    return data;
}

// A child saves two large versions of a list in turn until it is killed; whenever it dies,
// the file on disk must be one version or the other, whole.
TEST(AtomicSave, KillingTheSaverAtAnyMomentLeavesOldOrNewContent) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "forking under ThreadSanitizer is slow; the address-sanitized build runs it";
#endif
    TempFolder folder;
    const std::string versionA = ManyFileRecords('a');
    const std::string versionB = ManyFileRecords('b');
    const auto path = folder.Path() / "reqfiles.data";
    testing::WriteFileBytes(path, versionA);
    std::mt19937 random(12345);
    for (int round = 0; round < 100; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveSteps steps;
            for (int i = 0;; ++i) {
                WriteFileAtomically(path, i % 2 == 0 ? versionB : versionA, steps);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string onDisk = ReadFileBytes(path);
        ASSERT_TRUE(onDisk == versionA || onDisk == versionB)
            << "round " << round << ": " << onDisk.size() << " bytes";
    }
}

}  // namespace
}  // namespace tarnwick
