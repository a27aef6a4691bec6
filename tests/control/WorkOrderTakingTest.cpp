#include <gtest/gtest.h>

#include "control/WorkOrderTaking.h"
#include "support/RecordingUi.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;

class WorkOrderTakingTest : public ::testing::Test {
protected:
    void SetUp() override { ui.AttachTo(state.ui); }

    static WebProject Project(const std::string& name, const std::string& startUrl) {
        WebProject project = BlankWebProject();
        project.name = name;
        project.startUrl = startUrl;
        return project;
    }

    std::vector<std::string> Keys(ListCategory category, const std::vector<EntryId>& ids) {
        return RequestedKeys(state, category, ids);
    }

    SharedState state;
    RecordingUi ui;
};

TEST_F(WorkOrderTakingTest, FilesAreAddedOnceAndShownAtOnceWhileTheirListIsShown) {
    state.RequestedFiles.AppendUrl("http://h/old.zip");
    WorkOrder order;
    order.fileUrls = {"h/new.zip", "http://h/OLD.zip", "h/new.zip"};
    const TakenOrder taken = TakeWorkOrder(state, order);
    EXPECT_EQ(
        Keys(ListCategory::RequestedFiles, taken.targets.files),
        (std::vector<std::string>{"http://h/new.zip", "http://h/old.zip", "http://h/new.zip"}));
    EXPECT_EQ(taken.targets.files[0], taken.targets.files[2]);
    ASSERT_EQ(state.RequestedFiles.GetCount(), 2);
    EXPECT_EQ(state.RequestedFiles.GetAt(1)->status, "Ready for download");
    EXPECT_EQ(ui.CallsStartingWith("InsertRow:"),
              (std::vector<std::string>{"InsertRow:http://h/new.zip|Ready for download"}));

    ui.Show(state, ListCategory::RequestedWebSites);
    ui.ClearCalls();
    order.fileUrls = {"http://h/third.zip"};
    TakeWorkOrder(state, order);
    EXPECT_EQ(state.RequestedFiles.GetCount(), 3);
    EXPECT_TRUE(ui.CallsStartingWith("InsertRow:").empty());  // another list is shown
}

TEST_F(WorkOrderTakingTest, AWebProjectIsReusedByNameRequestedOrMirrored) {
    WebProject mirrored = Project("docs", "http://h/old/");
    mirrored.getPdf = 1;
    mirrored.status = "Success";
    state.DownloadedSites.Append(mirrored);
    state.RequestedWebSites.Append(Project("blog", "http://h/blog/"));

    WorkOrder order;
    order.webProjects = {Project("DOCS", "http://h/new/"), Project("blog", "http://h/blog2/"),
                         Project("fresh", "http://h/f/")};
    const TakenOrder taken = TakeWorkOrder(state, order);
    EXPECT_EQ(Keys(ListCategory::RequestedWebSites, taken.targets.webProjects),
              (std::vector<std::string>{"docs", "blog", "fresh"}));
    EXPECT_EQ(taken.newWebProjects, std::vector<EntryId>{taken.targets.webProjects[2]});
    ASSERT_EQ(state.RequestedWebSites.GetCount(), 3);
    const WebProject& blog = *state.RequestedWebSites.GetAt(0);
    EXPECT_EQ(blog.startUrl, "http://h/blog2/");
    const WebProject& again = *state.RequestedWebSites.GetAt(1);
    EXPECT_EQ(again.name, "docs");  // the mirrored project's settings, the order's address
    EXPECT_EQ(again.getPdf, 1);
    EXPECT_EQ(again.startUrl, "http://h/new/");
    EXPECT_EQ(again.status, "Ready for download");
    EXPECT_EQ(state.RequestedWebSites.GetAt(2)->name, "fresh");
}

TEST_F(WorkOrderTakingTest, AReusedSearchProjectTakesTheEnginesNamedAndKeepsItsOwnOtherwise) {
    SearchProject news;
    news.name = "news";
    news.searchString = "old";
    news.useYahoo = 1;
    news.otherEngines = {"Mojeek"};
    state.SearchProjects.Append(news);

    WorkOrder order;
    SearchProject asked;
    asked.name = "NEWS";
    asked.searchString = "new";
    order.searchProjects = {asked};
    TakeWorkOrder(state, order);
    EXPECT_EQ(state.SearchProjects.GetAt(0)->searchString, "new");
    EXPECT_EQ(state.SearchProjects.GetAt(0)->useYahoo, 1);
    EXPECT_EQ(state.SearchProjects.GetAt(0)->otherEngines, news.otherEngines);

    order.searchProjects[0].useAltavista = 1;
    order.searchProjects[0].otherEngines = {"Marginalia"};
    TakeWorkOrder(state, order);
    ASSERT_EQ(state.SearchProjects.GetCount(), 1);
    const SearchProject& taken = *state.SearchProjects.GetAt(0);
    EXPECT_EQ(taken.name, "news");
    EXPECT_EQ(taken.useYahoo, 0);
    EXPECT_EQ(taken.useAltavista, 1);
    EXPECT_EQ(taken.otherEngines, std::vector<std::string>{"Marginalia"});
}

TEST_F(WorkOrderTakingTest, RunFindsEntriesOfEveryKindByNameAndReportsTheUnknown) {
    state.RequestedFiles.AppendUrl("http://h/a.zip");
    state.RequestedWebSites.Append(Project("site", "http://h/"));
    SearchProject search;
    search.name = "news";
    state.SearchProjects.Append(search);

    WorkOrder order;
    order.start = true;
    order.runNames = {"news", "HTTP://H/A.ZIP", "nothing", "site"};
    TakenOrder taken = TakeWorkOrder(state, order);
    EXPECT_EQ(Keys(ListCategory::RequestedFiles, taken.targets.files),
              (std::vector<std::string>{"http://h/a.zip"}));
    EXPECT_EQ(Keys(ListCategory::RequestedWebSites, taken.targets.webProjects),
              (std::vector<std::string>{"site"}));
    EXPECT_EQ(Keys(ListCategory::SearchProjects, taken.targets.searchProjects),
              (std::vector<std::string>{"news"}));
    EXPECT_EQ(taken.unknownNames, (std::vector<std::string>{"nothing"}));

    order.runNames.clear();
    order.runAll = true;
    taken = TakeWorkOrder(state, order);
    EXPECT_EQ(taken.targets.files.size() + taken.targets.webProjects.size() +
                  taken.targets.searchProjects.size(),
              3u);
    EXPECT_TRUE(taken.unknownNames.empty());
}

}  // namespace
}  // namespace tarnwick
