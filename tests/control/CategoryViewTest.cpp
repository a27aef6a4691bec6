#include <gtest/gtest.h>

#include "control/CategoryView.h"
#include "support/RecordingUi.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;

class CategoryViewTest : public ::testing::Test {
protected:
    void SetUp() override { ui.AttachTo(state.ui); }

    EntryId Followed() {
        std::lock_guard lock(state.mutex);
        return state.FollowedEntry;
    }

    SharedState state;
    RecordingUi ui;
};

TEST_F(CategoryViewTest, EachCategoryShownWritesItsTextsWithItsCount) {
    const std::vector<std::tuple<ListCategory, std::size_t, std::string, std::string>> cases = {
        {ListCategory::RequestedFiles, 3, "Requested Files List Selected",
         " 3 files ready for download"},
        {ListCategory::RequestedWebSites, 1, "Requested Web Sites List Selected",
         " 1 projects ready for download"},
        {ListCategory::DownloadedFiles, 0, "Downloaded Files List Selected", " 0 files downloaded"},
        {ListCategory::DownloadedSites, 0, "Downloaded Web Sites List Selected",
         " 0 projects downloaded"},
        {ListCategory::SearchProjects, 1, "Required Search Projects List Selected",
         " 1 search projects ready for download"},
        {ListCategory::SearchResults, 0, "Search Results List Selected",
         " 0 search projects completed"},
    };
    for (const auto& [category, count, action, status] : cases) {
        ui.SetCurrentProjectText("before");
        EchoCategoryShown(state, category, count);
        EXPECT_EQ(ui.CurrentProjectText(), "None");
        EXPECT_EQ(ui.LastActionText(), action);
        EXPECT_EQ(ui.StatusText(), status);
    }
}

TEST_F(CategoryViewTest, TheShownCategoryAndTheGroupItemsChooseNothing) {
    EXPECT_EQ(CategoryToShow("Web Sites", ListCategory::RequestedFiles),
              ListCategory::RequestedWebSites);
    EXPECT_EQ(CategoryToShow("Search Results", ListCategory::RequestedFiles),
              ListCategory::SearchResults);
    EXPECT_EQ(CategoryToShow("Files", ListCategory::RequestedFiles), std::nullopt);
    EXPECT_EQ(CategoryToShow("Requested Items", ListCategory::RequestedFiles), std::nullopt);
    EXPECT_EQ(CategoryToShow("Downloaded Items", ListCategory::SearchResults), std::nullopt);
    // Item texts compare exactly.
    EXPECT_EQ(CategoryToShow("web sites", ListCategory::RequestedFiles), std::nullopt);
}

TEST_F(CategoryViewTest, EchoLeavesTheLowestSelectedEntryShownAndFollowed) {
    state.RequestedFiles.Append(FileEntry{"http://h/1", "Success"});
    state.RequestedFiles.Append(FileEntry{"http://h/2", "Downloading...1.50k read"});
    state.RequestedFiles.Append(FileEntry{"http://h/3", "Ready for download"});
    ui.Show(state, ListCategory::RequestedFiles);
    ui.SelectRows({0, 2});
    ui.SetCurrentProjectText("unchanged");
    EchoSelection(state, ListCategory::RequestedFiles, ui.SelectedIds());
    EXPECT_EQ(ui.LastActionText(), "http://h/1 selected");
    EXPECT_EQ(ui.StatusText(), "Success");
    EXPECT_EQ(ui.CurrentProjectText(), "None");
    EXPECT_EQ(Followed(), ui.IdOfRow(2));

    // The downloaded files leave the project text as it was; a site names itself there.
    const EntryId done = state.DownloadedFiles.Append(FileEntry{"http://h/done", "Success"});
    ui.SetCurrentProjectText("unchanged");
    EchoSelection(state, ListCategory::DownloadedFiles, {done});
    EXPECT_EQ(ui.CurrentProjectText(), "unchanged");
    EXPECT_EQ(Followed(), done);
    WebProject site;
    site.name = "Site";
    const EntryId project = state.RequestedWebSites.Append(site);
    EchoSelection(state, ListCategory::RequestedWebSites, {project});
    EXPECT_EQ(ui.CurrentProjectText(), "Site");

    // An entry gone meanwhile, or none selected, echoes nothing.
    ui.ClearCalls();
    EchoSelection(state, ListCategory::RequestedWebSites, {done});
    EchoSelection(state, ListCategory::RequestedFiles, {});
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_EQ(Followed(), project);
}

}  // namespace
}  // namespace tarnwick
