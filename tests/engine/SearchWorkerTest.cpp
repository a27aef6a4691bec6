#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CrawlTestFixture.h"
#include "engine/SearchWorker.h"

namespace tarnwick::testing {
namespace {

const std::string kAltavistaPath = "/cgi-bin/query?pg=q&kl=XX&stype=stext&q=";
const std::string kAltavistaSuffix = "&search.x=19&search.y=9";
const std::string kYahooPath = "/bin/search?p=";

std::string ResultLines(int count, const std::string& site) {
    std::string page;
    for (int i = 0; i < count; ++i) {
        page += "<a href=\"http://" + site + ".example/" + std::to_string(i) + "\">r</a>\n";
    }
    return page;
}

class SearchWorkerTest : public CrawlTestFixture {
protected:
    void SetUp() override {
        CrawlTestFixture::SetUp();
        const std::string host = "127.0.0.1:" + std::to_string(server.Port());
        ::setenv("TARNWICK_ALTAVISTA_HOST", host.c_str(), 1);
        ::setenv("TARNWICK_YAHOO_HOST", host.c_str(), 1);
    }

    void TearDown() override {
        ::unsetenv("TARNWICK_ALTAVISTA_HOST");
        ::unsetenv("TARNWICK_YAHOO_HOST");
    }

    void ServeAltavista(const std::string& text, std::string page) {
        server.Serve(kAltavistaPath + text + kAltavistaSuffix, std::move(page));
    }

    void ServeYahoo(const std::string& text, std::string page) {
        server.Serve(kYahooPath + text, std::move(page));
    }

    int Query(const SearchEngineQuery& engine, const std::string& text,
              std::vector<std::string>& links) {
        WorkerContext context = Context();
        return QuerySearchEngine(context, engine, text, links);
    }

    SearchProject Project(const std::string& name, const std::string& text, int altavista,
                          int yahoo) {
        SearchProject project;
        project.name = name;
        project.searchString = text;
        project.useAltavista = altavista;
        project.useYahoo = yahoo;
        {
            std::lock_guard lock(state.mutex);
            state.SearchProjects.Append(project);
            state.RunningSearchJobs.Append(RunningJob{gate, name, 0});
        }
        return project;
    }

    int Run(const SearchProject& project) {
        WorkerContext context = Context();
        return RunSearchProject(context, project);
    }

    std::vector<std::pair<std::string, std::string>> Results() {
        std::lock_guard lock(state.mutex);
        std::vector<std::pair<std::string, std::string>> results;
        for (const FileEntry& entry : state.SearchResults.Entries()) {
            results.emplace_back(entry.url, entry.status);
        }
        return results;
    }
};

TEST_F(SearchWorkerTest, SendsSpacesAsPlusAndKeepsOnlyLinksAwayFromTheEngine) {
    const std::string page =
        "<a href=\"http://one.example/\">1</a> <a href=\"http://two-on-line.example/\">2</a>\n"
        "<a href=\"HTTP://CAPS.example/Page\">caps</a>\r\n"
        "<A HREF=\"relative.htm\">relative</a>\n"
        "<a href=\"http://frag.example/#x\">fragment</a>\n"
        "<a href=\"http://www.AltaVista.com/help\">altavista</a>\n"
        "<a href=\"http://mail.example/\">mail</a> or MAILTO:me@example.invalid\n"
        "<a href=\"https://secure.example/\">tls</a>\n"
        "<a href=\"http://search.yahoo.example/\">yahoo</a>\n"
        "<a href=\"http://long.example/" +
        std::string(250, 'L') +
        "\">too wide</a>\n"
        "<a href=\"http://last.example/\">no line end</a>";
    const std::string sent = "tarn+wick+&+co?x";
    ServeAltavista(sent, page);
    ServeYahoo(sent, page);

    std::vector<std::string> links;
    EXPECT_EQ(Query(kAltavistaQuery, "tarn wick & co?x", links), 5);
    EXPECT_EQ(links,
              (std::vector<std::string>{"http://one.example/", "HTTP://CAPS.example/Page",
                                        "https://secure.example/", "http://search.yahoo.example/",
                                        "http://last.example/"}));
    EXPECT_EQ(Query(kYahooQuery, "tarn wick & co?x", links), 5);
    EXPECT_EQ(links, (std::vector<std::string>{"http://one.example/", "HTTP://CAPS.example/Page",
                                               "http://www.AltaVista.com/help",
                                               "https://secure.example/", "http://last.example/"}));
    ASSERT_EQ(server.Requests().size(), 2U);
    EXPECT_EQ(server.Requests()[0].target, kAltavistaPath + sent + kAltavistaSuffix);
    EXPECT_EQ(server.Requests()[1].target, kYahooPath + sent);
}

TEST_F(SearchWorkerTest, AnswersEmptyStringsFailuresAndFullPages) {
    std::vector<std::string> links{"stale"};
    EXPECT_EQ(Query(kYahooQuery, "", links), kEmptySearchString);
    EXPECT_TRUE(links.empty());
    EXPECT_TRUE(server.Requests().empty());

    // A page without an accepted link is read, not failed.
    ServeYahoo("nothing", "<p>no results</p>\n");
    EXPECT_EQ(Query(kYahooQuery, "nothing", links), 0);

    // Reading stops at the line capacity and at the accepted-link limit.
    std::string longPage(kYahooQuery.lineCapacity - 1, '\n');
    longPage += "<a href=\"http://in.example/\">last line read</a>\n";
    longPage += "<a href=\"http://out.example/\">beyond</a>\n";
    ServeYahoo("long", longPage);
    EXPECT_EQ(Query(kYahooQuery, "long", links), 1);
    EXPECT_EQ(links, std::vector<std::string>{"http://in.example/"});
    ServeAltavista("many", ResultLines(150, "many"));
    EXPECT_EQ(Query(kAltavistaQuery, "many", links), 100);
    EXPECT_EQ(links.back(), "http://many.example/99");

    HttpResponse cut = Answer(200, ResultLines(3, "cut"));
    cut.contentLength = 1000;
    cut.closeAfterBytes = cut.body.size();
    server.Serve(kYahooPath + "cut", cut);
    EXPECT_EQ(Query(kYahooQuery, "cut", links), kSearchFailed);
    EXPECT_TRUE(links.empty());

    const std::string closed = "127.0.0.1:" + std::to_string(ClosedPort());
    ::setenv("TARNWICK_YAHOO_HOST", closed.c_str(), 1);
    EXPECT_EQ(Query(kYahooQuery, "refused", links), kSearchFailed);
}

TEST_F(SearchWorkerTest, BothEnginesAddUpTheirLinksAndAppendThemOnEveryRun) {
    ServeAltavista("tarn", ResultLines(12, "alta"));
    ServeYahoo("tarn", ResultLines(30, "other"));
    const SearchProject project = Project("finder", "tarn", 1, 1);
    Show(ListCategory::SearchProjects, state.SearchProjects, 0);

    EXPECT_EQ(Run(project), 1);

    EXPECT_EQ(ui.Calls(),
              (std::vector<std::string>{
                  "RowStatus:0|Running search project...", "Play",
                  "LastAction:Retrieving links from Altavista...",
                  "RowStatus:0|Search Completed Successfully", "Status:12 links found",
                  "LastAction:Retrieving links from Yahoo...", "Status:42 links found", "Stop",
                  "LastAction:Search ended", "Status:Search completed succesfully"}));
    const auto results = Results();
    ASSERT_EQ(results.size(), 42U);
    EXPECT_EQ(results.front(),
              std::make_pair(std::string("http://alta.example/0"), std::string("finder")));
    EXPECT_EQ(results[12].first, "http://other.example/0");
    {
        std::lock_guard lock(state.mutex);
        EXPECT_EQ(state.RunningSearchJobs.GetCount(), 0);
        EXPECT_EQ(state.SearchProjects.GetCount(), 1);
    }

    Run(project);
    EXPECT_EQ(Results().size(), 84U);
}

TEST_F(SearchWorkerTest, AFailedPassShowsItsErrorAndSuppressesTheFinalTexts) {
    ServeAltavista("tarn", "<p>nothing here</p>\n");
    ServeYahoo("tarn", ResultLines(3, "other"));
    const SearchProject project = Project("finder", "tarn", 1, 1);
    Show(ListCategory::SearchProjects, state.SearchProjects, 0);

    Run(project);

    EXPECT_EQ(ui.CallsStartingWith("RowStatus:"),
              (std::vector<std::string>{"RowStatus:0|Running search project...",
                                        "RowStatus:0|Error retrieving links from Altavista"}));
    EXPECT_EQ(ui.CallsStartingWith("Status:"),
              (std::vector<std::string>{"Status:Error retrieving links from Altavista",
                                        "Status:3 links found"}));
    EXPECT_FALSE(Called("LastAction:Search ended"));
    EXPECT_EQ(Results().size(), 3U);

    // An engine that cannot be reached fails its pass; the other still runs.
    ui.ClearCalls();
    ServeAltavista("more", ResultLines(2, "alta"));
    ::setenv("TARNWICK_YAHOO_HOST", "127.0.0.1:1", 1);
    Run(Project("again", "more", 1, 1));
    EXPECT_EQ(ui.CallsStartingWith("Status:"),
              (std::vector<std::string>{"Status:2 links found",
                                        "Status:Error retrieving links from Yahoo"}));
    EXPECT_EQ(ui.CallsStartingWith("RowStatus:").back(),
              "RowStatus:0|Search Completed Successfully");
    EXPECT_FALSE(Called("LastAction:Search ended"));

    // An empty search string fails both passes without asking anybody.
    ui.ClearCalls();
    const std::size_t asked = server.Requests().size();
    Run(Project("empty", "", 1, 1));
    EXPECT_EQ(server.Requests().size(), asked);
    EXPECT_EQ(ui.CallsStartingWith("Status:"),
              (std::vector<std::string>{"Status:Error retrieving links from Altavista",
                                        "Status:Error retrieving links from Yahoo"}));
}

TEST_F(SearchWorkerTest, OnlyYahooLeavesTheRowRunningAndOtherListsAreLeftAlone) {
    ServeYahoo("tarn", ResultLines(4, "other"));
    const SearchProject project = Project("finder", "tarn", 0, 1);
    Show(ListCategory::SearchProjects, state.SearchProjects, 0);

    Run(project);

    EXPECT_EQ(ui.CallsStartingWith("RowStatus:"),
              std::vector<std::string>{"RowStatus:0|Running search project..."});
    EXPECT_EQ(ui.Rows().front().status, "Running search project...");
    EXPECT_TRUE(Called("Status:4 links found"));
    EXPECT_TRUE(Called("Status:Search completed succesfully"));

    ui.ClearCalls();
    {
        std::lock_guard lock(state.mutex);
        state.CurrentCategory = ListCategory::SearchResults;
    }
    Run(project);
    EXPECT_EQ(ui.Calls(), (std::vector<std::string>{"Play", "Stop"}));
    EXPECT_EQ(Results().size(), 8U);
}

TEST_F(SearchWorkerTest, ARemovedProjectEndsTheRunQuietly) {
    ServeYahoo("tarn", ResultLines(4, "other"));
    SearchProject project = Project("finder", "tarn", 1, 1);
    project.name = "unlisted";

    EXPECT_EQ(Run(project), 0);

    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(Results().empty());
    EXPECT_TRUE(ui.Calls().empty());
}

}  // namespace
}  // namespace tarnwick::testing
