#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CrawlTestFixture.h"
#include "engine/search/SearchEngineCatalog.h"
#include "engine/search/SearchWorker.h"

namespace tarnwick::testing {
namespace {

const std::string kResults = R"pattern(results=<a class="r" href="([^"]*)")pattern";

// Result lines the engines' pattern matches, each to a page of its own on the site.
std::string ResultLines(int count, const std::string& site, int from = 0) {
    std::string page;
    for (int i = from; i < from + count; ++i) {
        page +=
            "<a class=\"r\" href=\"http://" + site + ".example/" + std::to_string(i) + "\">r</a>\n";
    }
    return page;
}

class SearchWorkerTest : public CrawlTestFixture {
protected:
    void SetUp() override {
        CrawlTestFixture::SetUp();
        if (!other.Started()) {
            GTEST_SKIP() << "the second local HTTP server could not start";
        }
    }

    // One engine section on the given server, no polite wait, one page unless told.
    std::string Engine(const std::string& name, const HttpTestServer& on,
                       const std::string& extra = "pages=1\n") {
        return "[" + name + "]\nurl=" + on.Url("/" + name + "?q={query}&s={start}") + "\n" +
               kResults + "\nwait_ms=0\n" + extra;
    }

    void WriteEngines(const std::string& text) {
        WriteFileBytes(folder.Path() / kSearchEnginesFileName, text);
    }

    SearchProject Project(const std::string& name, const std::string& text,
                          std::vector<std::string> engines, int altavista = 0, int yahoo = 0) {
        SearchProject project;
        project.name = name;
        project.searchString = text;
        project.useAltavista = altavista;
        project.useYahoo = yahoo;
        project.otherEngines = std::move(engines);
        Request(project);
        return project;
    }

    Outcome Run(const SearchProject& project) {
        WorkerContext context = Context(project.name);
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

    std::vector<std::string> ResultUrls() {
        std::vector<std::string> urls;
        for (const auto& [url, status] : Results()) {
            urls.push_back(url);
        }
        return urls;
    }

    HttpTestServer other;
};

TEST_F(SearchWorkerTest, ReadsPagesUntilOneGivesNothingNewAndKeepsOnlyPatternLinks) {
    WriteEngines(Engine("Pages", server, "pages=5\nstep=10\nfirst=1\n"));
    const std::string query = "/Pages?q=tarn+wick+%26+co%3F&s=";
    // Relative links start from where the page came from, after its redirect.
    server.Serve(query + "1", Answer(302, "", {{"Location", "/deep/er/results"}}));
    server.Serve(
        "/deep/er/results",
        "<a href=\"http://ad.example/\">an ad</a>\n"
        "<a class=\"r\" href=\"http://one.example/?a=1&amp;b=2\">entity</a>"
        "<a class=\"r\" href=\"/local/page\">rooted</a><a class=\"r\" href=\"near\">near</a>\n"
        "<a class=\"r\" href=\"../up.htm\">parent</a> <a class=\"r\" href=\"//cdn.example/x\">"
        "<a class=\"r\" href=\"mailto:me@example.invalid\">mail</a>\n"
        "<a class=\"r\" href=\"http://two.example/a b\">blank</a>"
        "<a class=\"r\" href=\"http://long.example/" +
            std::string(250, 'L') + "\">too wide</a>");
    server.Serve(query + "11",
                 "<a class=\"r\" href=\"http://one.example/?a=1&#38;b=2\">again</a>\n" +
                     ResultLines(2, "second"));
    server.Serve(query + "21", ResultLines(2, "second"));
    const SearchProject project = Project("finder", "tarn wick & co?", {"pages"});

    EXPECT_EQ(Run(project).kind, OutcomeKind::Done);

    EXPECT_EQ(Fetched(), (std::vector<std::string>{query + "1", "/deep/er/results", query + "11",
                                                   query + "21"}));
    const std::string site = "http://127.0.0.1:" + std::to_string(server.Port());
    EXPECT_EQ(ResultUrls(),
              (std::vector<std::string>{"http://one.example/?a=1&b=2", site + "/local/page",
                                        site + "/deep/er/near", site + "/deep/up.htm",
                                        "http://cdn.example/x", "http://two.example/a%20b",
                                        "http://second.example/0", "http://second.example/1"}));
    EXPECT_EQ(Results().front().second, "finder");
}

TEST_F(SearchWorkerTest, EachLinkOnceAcrossEnginesAndRunsWithTheTextsOfEachPass) {
    WriteEngines(Engine("First", server) + Engine("Second", other));
    server.Serve("/First?q=tarn&s=0", ResultLines(12, "alta"));
    other.Serve("/Second?q=tarn&s=0", ResultLines(4, "alta", 10) + ResultLines(28, "other"));
    const SearchProject project = Project("finder", "tarn", {"First", "second"});
    Show(ListCategory::SearchProjects, 0);

    EXPECT_EQ(Run(project).kind, OutcomeKind::Done);

    EXPECT_EQ(ui.Calls(),
              (std::vector<std::string>{
                  "RowStatus:0|Running search project...", "Play",
                  "LastAction:Retrieving links from First...",
                  "RowStatus:0|Search Completed Successfully", "Status:12 links found",
                  "LastAction:Retrieving links from Second...", "Status:42 links found", "Stop",
                  "LastAction:Search ended", "Status:Search completed succesfully"}));
    const std::vector<std::string> urls = ResultUrls();
    ASSERT_EQ(urls.size(), 42U);
    EXPECT_EQ(urls[12], "http://alta.example/12");
    EXPECT_EQ(urls[14], "http://other.example/0");

    // Found again on the next run, nothing is kept twice; the engines still answered.
    ui.ClearCalls();
    Run(project);
    EXPECT_EQ(Results().size(), 42U);
    EXPECT_TRUE(Called("Status:Search completed succesfully"));
}

TEST_F(SearchWorkerTest, AFailingEngineShowsItsErrorWhileTheOthersGoOn) {
    WriteEngines(Engine("Broken", server) + Engine("Slow", other, "timeout_ms=200\n") +
                 Engine("Good", server, "pages=2\n"));
    server.Serve("/Broken?q=tarn&s=0", Answer(503, ResultLines(3, "error-page")));
    HttpResponse stalled = Answer(200, ResultLines(3, "late"));
    stalled.stallBeforeAnswer = std::chrono::milliseconds(5000);
    other.Serve("/Slow?q=tarn&s=0", stalled);
    server.Serve("/Good?q=tarn&s=0", ResultLines(3, "good"));
    server.Serve("/Good?q=tarn&s=10", Answer(500, ResultLines(3, "more")));
    const SearchProject project = Project("finder", "tarn", {"Broken", "Slow", "Good"});
    Show(ListCategory::SearchProjects, 0);

    const auto started = std::chrono::steady_clock::now();
    const Outcome partly = Run(project);
    EXPECT_EQ(partly.kind, OutcomeKind::PartlyDone);
    EXPECT_EQ(partly.text,
              "Error retrieving links from Broken: The requested URL returned error: 503 (2 of 3 "
              "engines failed)");
    // Far less than the slow engine's stall: its timeout ended the wait, with room for a
    // loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(3000));

    EXPECT_EQ(ui.CallsStartingWith("RowStatus:"),
              (std::vector<std::string>{"RowStatus:0|Running search project...",
                                        "RowStatus:0|Error retrieving links from Broken"}));
    EXPECT_EQ(ui.CallsStartingWith("Status:"),
              (std::vector<std::string>{"Status:Error retrieving links from Broken",
                                        "Status:Error retrieving links from Slow",
                                        "Status:3 links found"}));
    EXPECT_FALSE(Called("LastAction:Search ended"));
    // A later page that fails ends the engine's pages, keeping what the first gave.
    EXPECT_EQ(ResultUrls(),
              (std::vector<std::string>{"http://good.example/0", "http://good.example/1",
                                        "http://good.example/2"}));

    // Some engine answered, so the run is partly done; a run no engine answered failed, with
    // the kind of the engines' failure.
    EXPECT_EQ(Run(Project("unanswered", "tarn", {"Broken"})).kind, OutcomeKind::ServerRefused);
    EXPECT_EQ(Run(Project("unreachable", "tarn", {"Slow"})).kind, OutcomeKind::Network);
}

TEST_F(SearchWorkerTest, BadEntriesAreReportedOnceAndTheOtherEnginesRun) {
    WriteEngines("[NoQuery]\nurl=" + server.Url("/x") + "\n" + kResults + "\n" +
                 "[BadPattern]\nurl=" + server.Url("/x?q={query}") +
                 "\nresults=<a href=\"([^\"]+\"\n" +
                 "[NoGroup]\nurl=" + server.Url("/x?q={query}") + "\nresults=<a href=\"[^\"]+\"\n" +
                 Engine("Good", server));
    server.Serve("/Good?q=tarn&s=0", ResultLines(2, "good"));
    const SearchProject project = Project("finder", "tarn", {});

    Run(project);
    Run(Project("again", "tarn", {}));

    const std::vector<std::string> messages = ui.Messages();
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_EQ(messages[0],
              "searchengines.conf line 1: engine \"NoQuery\" left out: its url has no {query}");
    EXPECT_NE(messages[1].find("line 6: engine \"BadPattern\" left out: its results pattern does "
                               "not compile"),
              std::string::npos)
        << messages[1];
    EXPECT_EQ(messages[2],
              "searchengines.conf line 9: engine \"NoGroup\" left out: its results "
              "pattern has no capture group");
    EXPECT_EQ(Results().size(), 4U);
    EXPECT_EQ(Fetched().size(), 2U);
}

TEST_F(SearchWorkerTest, ProjectsChooseEnginesByFlagOrNameAndNoChoiceAsksThemAll) {
    WriteEngines(Engine("Yahoo", server) + Engine("Mojeek", server) + Engine("Spare", server));
    server.Serve("/Yahoo?q=tarn&s=0", ResultLines(1, "yahoo"));
    server.Serve("/Mojeek?q=tarn&s=0", ResultLines(1, "mojeek"));
    server.Serve("/Spare?q=tarn&s=0", ResultLines(1, "spare"));

    // The Altavista flag maps to nothing here and asks nobody, as an unknown flag always has.
    Run(Project("flags", "tarn", {"MOJEEK"}, 1, 1));
    EXPECT_EQ(Fetched(), (std::vector<std::string>{"/Yahoo?q=tarn&s=0", "/Mojeek?q=tarn&s=0"}));

    // A name the file lacks is a pass that fails.
    ui.ClearCalls();
    const SearchProject gone = Project("gone", "tarn", {"Lycos"});
    Show(ListCategory::SearchProjects, 0);
    EXPECT_EQ(Run(gone).kind, OutcomeKind::BadRequest);
    EXPECT_TRUE(Called("Status:Error retrieving links from Lycos"));
    EXPECT_EQ(Fetched().size(), 2U);

    Run(Project("all", "tarn", {}));
    EXPECT_EQ(Fetched().size(), 5U);
}

TEST_F(SearchWorkerTest, WaitsPolitelyBetweenPagesAndStopsWaitingWhenCancelled) {
    WriteEngines(Engine("Slowly", server, "pages=3\nwait_ms=150\n"));
    for (int page = 0; page < 3; ++page) {
        server.Serve("/Slowly?q=tarn&s=" + std::to_string(page * 10), ResultLines(1, "p", page));
    }
    const auto started = std::chrono::steady_clock::now();
    Run(Project("polite", "tarn", {}));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    EXPECT_EQ(Results().size(), 3U);

    // Cancelled at exit, the worker does not sit out a long wait.
    WriteEngines(Engine("Slowly", server, "pages=3\nwait_ms=60000\n"));
    const std::size_t asked = server.Requests().size();
    const SearchProject waiting = Project("cancelled", "tarn", {});
    Outcome outcome;
    std::thread worker([&] { outcome = Run(waiting); });
    while (server.Requests().size() == asked) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto cancelled = std::chrono::steady_clock::now();
    gate->Cancel();
    worker.join();
    EXPECT_EQ(outcome.kind, OutcomeKind::Interrupted);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(2));
}

TEST_F(SearchWorkerTest, EmptyTextAsksNobodyAndResultsShowAsTheyArrive) {
    WriteEngines(Engine("One", server));
    server.Serve("/One?q=tarn&s=0", ResultLines(4, "other"));
    const SearchProject empty = Project("empty", "", {});
    Show(ListCategory::SearchProjects, 0);
    EXPECT_EQ(Run(empty).kind, OutcomeKind::BadRequest);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(ui.CallsStartingWith("Status:"),
              std::vector<std::string>{"Status:Error retrieving links from One"});

    // The search results shown and nothing followed: no texts, but each result's row at once.
    ui.ClearCalls();
    Show(ListCategory::SearchResults, -1);
    Run(Project("finder", "tarn", {}));
    const std::vector<std::string> calls = ui.Calls();
    ASSERT_EQ(calls.size(), 6U);
    EXPECT_EQ(calls.front(), "Play");
    EXPECT_EQ(calls[1], "InsertRow:http://other.example/0|finder");
    EXPECT_EQ(calls.back(), "Stop");
    EXPECT_EQ(Results().size(), 4U);
}

TEST_F(SearchWorkerTest, ARemovedProjectEndsTheRunQuietly) {
    WriteEngines(Engine("One", server));
    server.Serve("/One?q=tarn&s=0", ResultLines(4, "other"));
    SearchProject project = Project("finder", "tarn", {});
    project.name = "unlisted";

    EXPECT_EQ(Run(project).kind, OutcomeKind::Cancelled);

    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(Results().empty());
    EXPECT_TRUE(ui.Calls().empty());
}

}  // namespace
}  // namespace tarnwick::testing
