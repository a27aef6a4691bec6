#include <gtest/gtest.h>

#include <string>

#include "model/ListFiles.h"
#include "support/FailingSaveSteps.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::FailingSaveSteps;
using testing::kEverySaveStep;
using testing::ReadFileBytes;
using testing::RecordingUi;
using testing::SaveStep;
using testing::TempFolder;

template <typename Project>
Project Named(const char* name) {
    Project project;
    project.name = name;
    return project;
}

TEST(AtomicSave, AFailingStepShowsTheListMessageAndKeepsTheOldFile) {
    for (const SaveStep step : kEverySaveStep) {
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
        FailingSaveSteps failing(step);
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
    FailingSaveSteps failing(SaveStep::Rename);
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

// The working folder is the user's choice and may be a link; a link planted under a list's
// name or its temporary name is replaced as a name, never written through.
TEST(AtomicSave, ALinkAsTheWorkingFolderIsUsedAndLinksInItAreReplacedNotFollowed) {
    TempFolder real;
    TempFolder elsewhere;
    TempFolder links;
    const auto folder = links.Path() / "work";
    std::filesystem::create_directory_symlink(real.Path(), folder);
    const auto target = elsewhere.Path() / "victim";
    testing::WriteFileBytes(target, "precious");
    std::filesystem::create_symlink(target, real.Path() / "reqfiles.data.tmp");
    std::filesystem::create_symlink(target, real.Path() / "dnldfiles.data");

    SharedState state;
    RecordingUi ui;
    ui.AttachTo(state.ui);
    state.RequestedFiles.AppendUrl("http://x/");
    state.DownloadedFiles.AppendUrl("http://y/");
    SaveAllLists(state, folder);

    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(ReadFileBytes(target), "precious");
    EXPECT_EQ(real.Tree(), (std::vector<std::string>{"dnldfiles.data", "reqfiles.data"}));
    EXPECT_FALSE(std::filesystem::is_symlink(real.Path() / "dnldfiles.data"));
    EXPECT_EQ(ReadFileBytes(real.Path() / "dnldfiles.data"), "http://y/\r\n");
}

}  // namespace
}  // namespace tarnwick
