#include <gtest/gtest.h>

#include "control/CategoryView.h"
#include "support/RecordingUi.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;

class CategoryViewTest : public ::testing::Test {
protected:
    void SetUp() override { ui.AttachTo(state.ui); }

    std::vector<std::string> ProjectColumn() {
        std::vector<std::string> texts;
        for (const auto& row : ui.Rows()) {
            texts.push_back(row.project);
        }
        return texts;
    }

    SharedState state;
    RecordingUi ui;
};

TEST_F(CategoryViewTest, ChoosingACategoryRefillsNewestFirstAndWritesItsTexts) {
    for (const char* url : {"http://h/1", "http://h/2", "http://h/3"}) {
        state.RequestedFiles.AppendUrl(url);
    }
    WebProject web;
    web.name = "Site";
    web.status = "Ready for download";
    state.RequestedWebSites.Append(web);

    EXPECT_TRUE(ShowCategory(state, "Web Sites"));
    EXPECT_EQ(ProjectColumn(), std::vector<std::string>{"Site"});
    EXPECT_TRUE(ShowCategory(state, "Files"));
    EXPECT_EQ(ProjectColumn(),
              (std::vector<std::string>{"http://h/3", "http://h/2", "http://h/1"}));
    EXPECT_EQ(ui.CurrentProjectText(), "None");
    EXPECT_EQ(ui.LastActionText(), "Requested Files List Selected");
    EXPECT_EQ(ui.StatusText(), " 3 files ready for download");

    EXPECT_TRUE(ShowCategory(state, "Downloaded Sites"));
    EXPECT_TRUE(ui.Rows().empty());
    EXPECT_EQ(ui.LastActionText(), "Downloaded Web Sites List Selected");
    EXPECT_EQ(ui.StatusText(), " 0 projects downloaded");

    state.SearchProjects.Append(SearchProject{});
    EXPECT_TRUE(ShowCategory(state, "Search Projects"));
    EXPECT_EQ(ui.LastActionText(), "Required Search Projects List Selected");
    EXPECT_EQ(ui.StatusText(), " 1 search projects ready for download");
    EXPECT_TRUE(ShowCategory(state, "Search Results"));
    EXPECT_EQ(ui.StatusText(), " 0 search projects completed");
    EXPECT_EQ(state.CurrentCategory, ListCategory::SearchResults);
}

TEST_F(CategoryViewTest, TheShownCategoryAndTheGroupItemsChangeNothing) {
    EXPECT_FALSE(ShowCategory(state, "Files"));  // right after start
    EXPECT_EQ(ui.StatusText(), "Ready");
    EXPECT_EQ(ui.LastActionText(), "Waiting for command");
    EXPECT_EQ(ui.CurrentProjectText(), "None");

    state.RequestedWebSites.Append(WebProject{});
    ASSERT_TRUE(ShowCategory(state, "Web Sites"));
    ui.ClearCalls();
    EXPECT_FALSE(ShowCategory(state, "Requested Items"));
    EXPECT_FALSE(ShowCategory(state, "Downloaded Items"));
    EXPECT_FALSE(ShowCategory(state, "Web Sites"));
    EXPECT_FALSE(ShowCategory(state, "web sites"));  // item texts compare exactly
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_EQ(state.CurrentCategory, ListCategory::RequestedWebSites);
    EXPECT_EQ(ui.Rows().size(), 1u);
}

TEST_F(CategoryViewTest, ARefusedRowStopsTheFillWithAMessage) {
    state.DownloadedFiles.Append(FileEntry{"http://h/a", "Success"});
    state.DownloadedFiles.Append(FileEntry{"http://h/b", "Success"});
    ui.RefuseRowInserts(true);
    EXPECT_TRUE(ShowCategory(state, "Downloaded Files"));
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Error updating list"});
    EXPECT_EQ(ui.CallsStartingWith("InsertRow").size(), 1u);
    EXPECT_EQ(state.CurrentCategory, ListCategory::DownloadedFiles);
    EXPECT_EQ(ui.StatusText(), " 2 files downloaded");
}

TEST_F(CategoryViewTest, EchoLeavesTheLowestSelectedRowShown) {
    ui.SetRows({{"http://h/3", "Ready for download"},
                {"http://h/2", "Downloading...1.50k read"},
                {"http://h/1", "Success"}});
    ui.SelectRows({0, 2});
    ui.SetCurrentProjectText("unchanged");
    EchoSelection(state);
    EXPECT_EQ(ui.LastActionText(), "http://h/1 selected");
    EXPECT_EQ(ui.StatusText(), "Success");
    EXPECT_EQ(ui.CurrentProjectText(), "None");
    EXPECT_EQ(state.SelectedRow, 2);

    state.CurrentCategory = ListCategory::DownloadedFiles;
    ui.SetCurrentProjectText("unchanged");
    ui.SelectRows({1});
    EchoSelection(state);
    EXPECT_EQ(ui.CurrentProjectText(), "unchanged");
    EXPECT_EQ(state.SelectedRow, 1);

    state.CurrentCategory = ListCategory::RequestedWebSites;
    EchoSelection(state);
    EXPECT_EQ(ui.CurrentProjectText(), "http://h/2");

    ui.SelectRows({});
    ui.ClearCalls();
    EchoSelection(state);
    EXPECT_TRUE(ui.Calls().empty());
}

}  // namespace
}  // namespace tarnwick
