#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CrawlTestFixture.h"
#include "engine/crawl/SiteCrawlWorker.h"

namespace tarnwick::testing {
namespace {

using std::chrono::milliseconds;

class SiteCrawlTest : public CrawlTestFixture {
protected:
    WebProject Project(const std::string& name, const std::string& startPath) {
        WebProject project = BlankWebProject();
        project.name = name;
        project.startUrl = server.Url(startPath);
        project.getHtm = 1;
        project.status = "Ready for download";
        return project;
    }

    // Requests the project, shows the requested sites with the panel following it, and crawls.
    tarnwick::Outcome RequestAndCrawl(const WebProject& project) {
        Request(project);
        Show(ListCategory::RequestedWebSites, 0);
        return Crawl(project);
    }

    tarnwick::Outcome Crawl(const WebProject& project) {
        WorkerContext context = Context(project.name);
        return RunSiteCrawl(context, project);
    }

    std::string Stored(const std::string& project, const std::string& path) const {
        return ReadFileBytes(folder.Path() / "WebSites" / project / path);
    }

    std::string SitePath(const std::string& project) const {
        return (folder.Path() / "WebSites" / project).string();
    }

    std::vector<std::string> Statuses() const { return ui.CallsStartingWith("Status:"); }

    // Where the project ended up: "requested:<status>", "downloaded:<status>" or "gone".
    std::string WhereIs(const std::string& name) {
        std::lock_guard lock(state.mutex);
        if (const int index = state.RequestedWebSites.FindByName(name); index >= 0) {
            return "requested:" + state.RequestedWebSites.GetAt(index)->status;
        }
        if (const int index = state.DownloadedSites.FindByName(name); index >= 0) {
            return "downloaded:" + state.DownloadedSites.GetAt(index)->status;
        }
        return "gone";
    }

    int RunningJobs() {
        std::lock_guard lock(state.mutex);
        return state.RunningSiteJobs.GetCount();
    }
};

TEST_F(SiteCrawlTest, MirrorsTheSiteWithItsLayoutAndLocalLinks) {
    server.Serve("/",
                 "<html><body>\r\n"
                 "<a href=\"a/b/p.htm\">deep</a>\r\n"
                 "<a href=\"a/\">folder</a>\r\n"
                 "<a href=\"query?x=1\">first query</a>\r\n"
                 "<a href=\"query?x=2\">second query</a>\r\n"
                 "<a href=\"noext\">no extension</a>\r\n"
                 "<img src=\"pics/logo.gif\">\r\n"
                 "</body></html>");
    server.Serve("/a/b/p.htm", "<a href=\"sub/q.htm\">down</a>\n<a href=\"../up.htm\">up</a>\n");
    server.Serve("/a/b/sub/q.htm", "q\n");
    server.Serve("/a/up.htm", "up\n");
    server.Serve("/a/", "folder\n");
    server.Serve("/query?x=1", "first\n");
    server.Serve("/query?x=2", "second\n");
    server.Serve("/noext", "plain\n");
    server.Serve("/pics/logo.gif", std::string("GIF89a\0\1\2\3", 10));
    WebProject project = Project("site", "/");
    project.getGif = 1;

    EXPECT_EQ(RequestAndCrawl(project).kind, OutcomeKind::Done);

    EXPECT_EQ(folder.Tree(),
              (std::vector<std::string>{
                  "WebSites", "WebSites/site", "WebSites/site/a", "WebSites/site/a/b",
                  "WebSites/site/a/b/p.htm", "WebSites/site/a/b/sub", "WebSites/site/a/b/sub/q.htm",
                  "WebSites/site/a/default.htm", "WebSites/site/a/up.htm",
                  "WebSites/site/default.htm", "WebSites/site/file0.htm", "WebSites/site/file1.htm",
                  "WebSites/site/noext", "WebSites/site/pics", "WebSites/site/pics/logo.gif"}));
    // Depth-first: the link found last is fetched first.
    EXPECT_EQ(Fetched(),
              (std::vector<std::string>{"/", "/pics/logo.gif", "/noext", "/query?x=2", "/query?x=1",
                                        "/a/", "/a/b/p.htm", "/a/up.htm", "/a/b/sub/q.htm"}));
    EXPECT_EQ(Stored("site", "file0.htm"), "second\n");
    EXPECT_EQ(Stored("site", "file1.htm"), "first\n");
    EXPECT_EQ(Stored("site", "pics/logo.gif"), std::string("GIF89a\0\1\2\3", 10));
    const std::string site = SitePath("site");
    EXPECT_EQ(Stored("site", "default.htm"),
              "<html><body>\n<a href=\"" + site + "/a/b/p.htm\">deep</a>\n<a href=\"" + site +
                  "/a/\">folder</a>\n<a href=\"query?x=1\">first query</a>\n"
                  "<a href=\"query?x=2\">second query</a>\n<a href=\"noext\">no extension</a>\n"
                  "<img src=\"" +
                  site + "/pics/logo.gif\">\n</body></html>\n");
    EXPECT_EQ(Stored("site", "a/b/p.htm"), "<a href=\"" + site +
                                               "/a/b/sub/q.htm\">down</a>\n"
                                               "<a href=\"" +
                                               site + "/a/b/../up.htm\">up</a>\n");

    // One connection for the whole crawl, and our headers on every request.
    EXPECT_EQ(server.ConnectionCount(), 1);
    for (const RecordedRequest& request : server.Requests()) {
        const auto& lines = request.headerLines;
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Accept: */*"), lines.end());
        EXPECT_EQ(
            std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.starts_with("User-Agent:"); }),
            1);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "User-Agent: " + DefaultUserAgent()),
                  lines.end());
    }

    EXPECT_EQ(ui.CallsStartingWith("FileItem:").front(), "FileItem:site|WebSites/site/default.htm");
    EXPECT_EQ(ui.CallsStartingWith("FileItem:").size(), 9U);
    const std::vector<std::string> calls = ui.Calls();
    EXPECT_EQ(calls.front(), "ProjectItem:site");
    EXPECT_TRUE(Called("LastAction:Opening " + server.Url("/pics/logo.gif")));
    EXPECT_TRUE(Called("LastAction:Reading " + server.Url("/pics/logo.gif")));
    EXPECT_TRUE(Called("LastAction:Dowloading WebSites/site/pics/logo.gif..."));
    EXPECT_TRUE(Called("Status:0.01k read"));
    EXPECT_TRUE(Called("LastAction:Retrieving links..."));
    EXPECT_TRUE(Called("Status:6 links found"));
    EXPECT_TRUE(Called("Status:8 links found"));
    EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()),
              (std::vector<std::string>{"LastAction:Download completed", "Status:Success",
                                        "DeleteRow:0", "Stop"}));

    EXPECT_EQ(WhereIs("site"), "downloaded:Success");
    EXPECT_EQ(RunningJobs(), 0);
    EXPECT_TRUE(ui.Rows().empty());
}

TEST_F(SiteCrawlTest, WithoutKeepPagesScansPagesButStoresOnlyFiles) {
    server.Serve("/", "<a href=\"a/p.htm\">p</a>\n<img src=\"top.gif\">\n");
    server.Serve("/a/p.htm", "<img src=\"pics/deep.gif\">\n");
    server.Serve("/top.gif", "top");
    server.Serve("/a/pics/deep.gif", "deep");
    WebProject project = Project("files", "/");
    project.getHtm = 0;
    project.getGif = 1;

    RequestAndCrawl(project);

    EXPECT_EQ(folder.Tree(),
              (std::vector<std::string>{"WebSites", "WebSites/files", "WebSites/files/a",
                                        "WebSites/files/a/pics", "WebSites/files/a/pics/deep.gif",
                                        "WebSites/files/top.gif"}));
    EXPECT_EQ(ui.CallsStartingWith("FileItem:"),
              (std::vector<std::string>{"FileItem:files|WebSites/files/top.gif",
                                        "FileItem:files|WebSites/files/a/pics/deep.gif"}));
    EXPECT_EQ(WhereIs("files"), "downloaded:Success");

    // downloadAll keeps pages as well, and takes every type.
    ui.ClearCalls();
    project.name = "all";
    project.downloadAll = 1;
    project.getGif = 0;
    RequestAndCrawl(project);
    EXPECT_EQ(ui.CallsStartingWith("FileItem:").size(), 4U);
    EXPECT_EQ(Stored("all", "a/pics/deep.gif"), "deep");
    EXPECT_FALSE(Stored("all", "a/p.htm").empty());
}

TEST_F(SiteCrawlTest, AdmitsOnlyLinksThatPassTheRules) {
    server.Serve("/",
                 "<a href=\"doc.zip\">zip, not wanted</a>\n"
                 "<a href=\"song.mp3\">mp3, wanted</a>\n"
                 "<a href=\"data.tar.gz\">other type</a>\n"
                 "<a href=\"cgi-bin/run.htm\">script</a>\n"
                 "<a href=\"javascript:go('x.htm')\">script</a>\n"
                 "<a href=\"frag.htm#top\">fragment</a>\n"
                 "<a href=\"mailme.htm\">write to mailto:me@example.invalid</a>\n"
                 "<img src=\"cgi-bin/counter.gif\">\n"
                 "<a href=\"http://elsewhere.invalid/x.htm\">away</a>\n"
                 "<a href=\"Same.htm\">once</a>\n"
                 "<a href=\"same.HTM\">twice</a>\n"
                 "<frame name=\"f\" src=\"frame.htm\" scrolling=\"no\">\n");
    for (const char* path :
         {"/song.mp3", "/data.tar.gz", "/cgi-bin/counter.gif", "/Same.htm", "/frame.htm",
          "/doc.zip", "/cgi-bin/run.htm", "/frag.htm", "/mailme.htm"}) {
        server.Serve(path, "x\n");
    }
    WebProject project = Project("rules", "/");
    project.getMp3 = 1;
    project.getGif = 1;
    project.otherTypes = ".tar";

    RequestAndCrawl(project);

    std::vector<std::string> fetched = Fetched();
    std::sort(fetched.begin(), fetched.end());
    EXPECT_EQ(fetched, (std::vector<std::string>{"/", "/Same.htm", "/cgi-bin/counter.gif",
                                                 "/data.tar.gz", "/frame.htm", "/song.mp3"}));
    EXPECT_EQ(WhereIs("rules"), "downloaded:Success");
}

TEST_F(SiteCrawlTest, ExitDomainFetchesOnlyTheStartPage) {
    server.Serve("/start.htm", "<a href=\"next.htm\">next</a>\n");
    server.Serve("/next.htm", "next\n");
    WebProject project = Project("exit", "/start.htm");
    project.exitDomain = 1;
    // A start address without a scheme is fetched over http.
    project.startUrl = project.startUrl.substr(std::string("http://").size());

    RequestAndCrawl(project);

    EXPECT_EQ(Fetched(), std::vector<std::string>{"/start.htm"});
    EXPECT_EQ(folder.Tree(),
              (std::vector<std::string>{"WebSites", "WebSites/exit", "WebSites/exit/start.htm"}));
    EXPECT_EQ(WhereIs("exit"), "downloaded:Success");
}

TEST_F(SiteCrawlTest, SkipsARedirectedOrMissingLaterPageWithoutError) {
    server.Serve("/", "<a href=\"moved.htm\">m</a>\n<a href=\"missing.htm\">x</a>\n");
    server.Serve("/moved.htm", Answer(302, "see /b.htm", {{"Location", "/b.htm"}}));
    server.Serve("/b.htm", "b\n");

    RequestAndCrawl(Project("later", "/"));

    EXPECT_EQ(Fetched(), (std::vector<std::string>{"/", "/missing.htm", "/moved.htm"}));
    EXPECT_TRUE(Called("Status:" + server.Url("/moved.htm") + " not found"));
    EXPECT_TRUE(Called("Status:" + server.Url("/missing.htm") + " not found"));
    EXPECT_EQ(folder.Tree(), (std::vector<std::string>{"WebSites", "WebSites/later",
                                                       "WebSites/later/default.htm"}));
    EXPECT_EQ(WhereIs("later"), "downloaded:Success");
    EXPECT_EQ(server.ConnectionCount(), 1);
}

TEST_F(SiteCrawlTest, AStartAddressNotAnsweredWith200EndsWithErrors) {
    server.Serve("/redirect.htm", Answer(301, "", {{"Location", "/b.htm"}}));
    const std::vector<std::pair<std::string, std::string>> starts = {
        {"redirected", server.Url("/redirect.htm")},
        {"missing", server.Url("/missing.htm")},
        {"refused", "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/"},
        {"secure", "https://127.0.0.1:" + std::to_string(ClosedPort()) + "/"},
        {"ftp", "ftp://127.0.0.1:" + std::to_string(ClosedPort()) + "/"},
    };
    const std::map<std::string, OutcomeKind> kinds = {{"redirected", OutcomeKind::ServerRefused},
                                                      {"missing", OutcomeKind::ServerRefused},
                                                      {"refused", OutcomeKind::Network},
                                                      {"secure", OutcomeKind::Network},
                                                      {"ftp", OutcomeKind::Network}};
    for (const auto& [name, url] : starts) {
        ui.ClearCalls();
        WebProject project = Project(name, "/");
        project.startUrl = url;
        // Nothing of the site came: the crawl ends with the failure's own kind.
        EXPECT_EQ(RequestAndCrawl(project).kind, kinds.at(name)) << name;

        EXPECT_EQ(WhereIs(name), "requested:Some errors occurred") << name;
        EXPECT_TRUE(Called("RowStatus:0|Some errors occurred")) << name;
        EXPECT_TRUE(Called("LastAction:Download completed")) << name;
        EXPECT_EQ(Statuses().back(), "Status:Some errors occurred") << name;
        EXPECT_TRUE(ui.CallsStartingWith("FileItem:").empty()) << name;
        // https is a web address like http; any other scheme is not.
        EXPECT_EQ(Called("Status:Malformed URL : " + url), name == "ftp") << name;
    }
    // The connection failure shows libcurl's text in the row before the final one.
    const std::vector<std::string> rowTexts = ui.CallsStartingWith("RowStatus:");
    ASSERT_EQ(rowTexts.size(), 2U);
    EXPECT_GT(rowTexts[0].size(), std::string("RowStatus:0|").size());
    EXPECT_EQ(RunningJobs(), 0);
}

TEST_F(SiteCrawlTest, AFailedTransferLaterOnKeepsTheCrawlGoingButLeavesItRequested) {
    server.Serve("/",
                 "<img src=\"cut.gif\">\n<a href=\"fine.htm\">f</a>\n<a href=\"dead.htm\">d</a>\n");
    HttpResponse cut = Answer(200, std::string(100, 'c'));
    cut.contentLength = 1000;
    cut.closeAfterBytes = 100;
    server.Serve("/cut.gif", cut);
    HttpResponse dead = Answer(200, "<a href=\"never.htm\">");
    dead.contentLength = 500;
    dead.closeAfterBytes = 5;
    server.Serve("/dead.htm", dead);
    server.Serve("/fine.htm", "fine\n");
    WebProject project = Project("broken", "/");
    project.getGif = 1;

    const tarnwick::Outcome outcome = RequestAndCrawl(project);
    EXPECT_EQ(outcome.kind, OutcomeKind::PartlyDone);
    EXPECT_TRUE(outcome.text.starts_with("Some errors occurred: ")) << outcome.text;
    EXPECT_TRUE(outcome.text.ends_with("(and 1 more)")) << outcome.text;

    EXPECT_EQ(Fetched(), (std::vector<std::string>{"/", "/dead.htm", "/fine.htm", "/cut.gif"}));
    EXPECT_EQ(Stored("broken", "fine.htm"), "fine\n");
    EXPECT_EQ(Stored("broken", "cut.gif"), std::string(100, 'c'));  // as far as it came
    EXPECT_EQ(ui.CallsStartingWith("FileItem:"),
              (std::vector<std::string>{"FileItem:broken|WebSites/broken/default.htm",
                                        "FileItem:broken|WebSites/broken/fine.htm"}));
    EXPECT_EQ(WhereIs("broken"), "requested:Some errors occurred");
    EXPECT_EQ(ui.CallsStartingWith("RowStatus:").size(), 3U);
}

TEST_F(SiteCrawlTest, EchoesOnlyForTheFollowedEntryAndRowsOnlyOfTheShownList) {
    server.Serve("/", "<a href=\"p.htm\">p</a>\n");
    server.Serve("/p.htm", "p\n");
    WebProject first = Project("first", "/");
    WebProject second = Project("second", "/");
    Request(first);
    Request(second);

    // The panel follows the project, but another list is shown: no texts and no rows, while
    // the lists still change.
    Show(ListCategory::RequestedFiles, -1);
    {
        std::lock_guard lock(state.mutex);
        state.FollowedEntry = ids.at("first");
    }
    Crawl(first);
    for (const std::string& call : ui.Calls()) {
        EXPECT_TRUE(call.starts_with("ProjectItem:") || call.starts_with("FileItem:") ||
                    call == "Play" || call == "Stop")
            << call;
    }
    EXPECT_EQ(WhereIs("first"), "downloaded:Success");

    // The list is shown with another row selected: only the row changes.
    ui.ClearCalls();
    first.name = "third";
    Request(first);
    Show(ListCategory::RequestedWebSites, 1);  // "second"
    Crawl(first);
    EXPECT_TRUE(Statuses().empty());
    EXPECT_TRUE(ui.CallsStartingWith("LastAction:").empty());
    EXPECT_EQ(ui.CallsStartingWith("DeleteRow:"), std::vector<std::string>{"DeleteRow:0"});

    // The downloaded sites are shown: the finished project appears at their top.
    ui.ClearCalls();
    Show(ListCategory::DownloadedSites, -1);
    Crawl(second);
    EXPECT_EQ(ui.CallsStartingWith("InsertRow:"),
              std::vector<std::string>{"InsertRow:second|Success"});
    EXPECT_TRUE(ui.CallsStartingWith("DeleteRow:").empty());
    EXPECT_EQ(WhereIs("second"), "downloaded:Success");
}

TEST_F(SiteCrawlTest, ThePanelFollowsItsEntryWhenAFinishedProjectAboveLeaves) {
    server.Serve("/", "done\n");
    for (const char* name : {"p0", "p1", "p2"}) {
        Request(Project(name, "/"));
    }
    Show(ListCategory::RequestedWebSites, 1);  // p1
    Crawl(Project("p2", "/"));                 // the top row leaves; p1 moves up
    EXPECT_TRUE(Statuses().empty());
    EXPECT_EQ(ui.IdOfRow(0), ids.at("p1"));
    Crawl(Project("p1", "/"));
    EXPECT_EQ(Statuses().back(), "Status:Success");
    EXPECT_EQ(ui.CallsStartingWith("DeleteRow:"),
              (std::vector<std::string>{"DeleteRow:0", "DeleteRow:0"}));
}

TEST_F(SiteCrawlTest, NamesFromHostilePagesStayInsideTheSiteFolder) {
    TempFolder outside;
    const std::string longName(300, 'L');
    server.Serve("/",
                 "<a href=\"../../../escape1.htm\">1</a>\n"
                 "<a href=\"/a/../../escape2.htm\">2</a>\n"
                 "<a href=\"./x/./y.htm\">3</a>\n"
                 "<a href=\"%2e%2e/%2e%2e/enc.htm\">4</a>\n"
                 "<a href=\"sub\\..\\..\\..\\back.htm\">5</a>\n"
                 "<img src=\"..\\..\\..\\pic.gif\">\n"
                 "<a href=\"/etc/passwd.htm\">6</a>\n"
                 "<a href=\"" +
                     longName +
                     ".htm\">7</a>\n"
                     "<a href=\"" +
                     server.Url("/../../../top.htm") +
                     "\">8</a>\n"
                     "<a href=\"linked/evil.htm\">9</a>\n"
                     "<a href=\"inside/ok.htm\">control</a>\n");
    for (const char* path : {"/escape1.htm", "/escape2.htm", "/x/y.htm", "/%2e%2e/%2e%2e/enc.htm",
                             "/etc/passwd.htm", "/top.htm", "/linked/evil.htm", "/inside/ok.htm",
                             "/sub\\..\\..\\..\\back.htm", "/..\\..\\..\\pic.gif"}) {
        server.Serve(path, "stored\n");
    }
    server.Serve("/" + longName + ".htm", "stored\n");
    // A link planted in the site folder must not be followed out of it.
    std::filesystem::create_directories(folder.Path() / "WebSites" / ".._x");
    std::filesystem::create_symlink(outside.Path(), folder.Path() / "WebSites/.._x/linked");
    WebProject project = Project("../x", "/");
    project.getGif = 1;

    // The line scanner passes over files it cannot make, but the crawl did not get them all.
    EXPECT_EQ(RequestAndCrawl(project).kind, OutcomeKind::PartlyDone);

    EXPECT_TRUE(outside.Tree().empty());
    std::filesystem::remove(folder.Path() / "WebSites/.._x/linked");
    for (const std::string& entry : folder.Tree()) {
        EXPECT_TRUE(entry == "WebSites" || entry == "WebSites/.._x" ||
                    entry.starts_with("WebSites/.._x/"))
            << entry;
    }
    EXPECT_EQ(Stored(".._x", "escape1.htm"), "stored\n");
    EXPECT_EQ(Stored(".._x", "etc/passwd.htm"), "stored\n");
    EXPECT_EQ(Stored(".._x", "%2e%2e/%2e%2e/enc.htm"), "stored\n");
    EXPECT_EQ(Stored(".._x", "inside/ok.htm"), "stored\n");
    EXPECT_TRUE(Called("Status:Error creating WebSites/.._x/linked/evil.htm"));
    EXPECT_TRUE(Called("Status:Error creating WebSites/.._x/" + longName + ".htm"));
    EXPECT_TRUE(Called("Status:Error creating WebSites/.._x/a/../../escape2.htm"));
    EXPECT_GE(ui.CallsStartingWith("Status:Error creating ").size(), 5U);
}

TEST_F(SiteCrawlTest, AProjectNameWithIllegalCharsRefusesItsFiles) {
    server.Serve("/", "<img src=\"logo.gif\">\n<a href=\"list.cgi?x=1\">cgi</a>\n");
    server.Serve("/logo.gif", "gif");
    server.Serve("/list.cgi?x=1", "cgi");
    WebProject project = Project("c++", "/");
    project.getGif = 1;

    RequestAndCrawl(project);

    EXPECT_TRUE(Called("Status:WebSites/c++/logo.gif has illegal chars"));
    EXPECT_TRUE(Called("Status:WebSites/c++/list.cgi?x=1 has illegal chars"));
    EXPECT_EQ(folder.Tree(),
              (std::vector<std::string>{"WebSites", "WebSites/c++", "WebSites/c++/default.htm"}));
    EXPECT_EQ(WhereIs("c++"), "downloaded:Success");
}

TEST_F(SiteCrawlTest, SplitsAnOverlongLineWithoutChangingTheStoredPage) {
    const std::string body = std::string(2'500'000, 'x') + "\n<a href=\"next.htm\">n</a>\n";
    server.Serve("/", body);
    server.Serve("/next.htm", "next\n");

    RequestAndCrawl(Project("long", "/"));

    EXPECT_EQ(Fetched(), (std::vector<std::string>{"/", "/next.htm"}));
    EXPECT_TRUE(Stored("long", "default.htm") == body);
}

TEST_F(SiteCrawlTest, AProjectDeletedWhileCrawlingEndsQuietly) {
    server.Serve("/", "<a href=\"b.htm\">b</a>\n<a href=\"slow.htm\">s</a>\n");
    HttpResponse slow = Answer(200, "<a href=\"c.htm\">c</a>\n");
    slow.stallBeforeAnswer = milliseconds(300);
    server.Serve("/slow.htm", slow);
    server.Serve("/b.htm", "b\n");
    server.Serve("/c.htm", "c\n");
    const WebProject project = Project("doomed", "/");
    Request(project);
    Show(ListCategory::RequestedWebSites, 0);

    tarnwick::Outcome outcome;
    std::thread crawl([&] { outcome = Crawl(project); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Fetched().size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    {
        std::lock_guard lock(state.mutex);
        state.RequestedWebSites.RemoveAt(state.RequestedWebSites.FindByName("doomed"));
    }
    crawl.join();

    EXPECT_EQ(Fetched(), (std::vector<std::string>{"/", "/slow.htm"}));
    EXPECT_EQ(WhereIs("doomed"), "gone");
    EXPECT_EQ(outcome.kind, OutcomeKind::Cancelled);
    EXPECT_TRUE(ui.CallsStartingWith("RowStatus:").empty());
    EXPECT_TRUE(ui.CallsStartingWith("DeleteRow:").empty());
    EXPECT_FALSE(Called("LastAction:Download completed"));
    EXPECT_EQ(RunningJobs(), 0);
}

TEST_F(SiteCrawlTest, ACancelledCrawlEndsQuietly) {
    server.Serve("/", "<a href=\"b.htm\">b</a>\n");
    server.Serve("/b.htm", "b\n");
    const WebProject project = Project("paused", "/");
    Request(project);
    Show(ListCategory::RequestedWebSites, 0);
    gate->Pause();

    tarnwick::Outcome outcome;
    std::thread crawl([&] { outcome = Crawl(project); });
    gate->Cancel();
    crawl.join();
    EXPECT_EQ(outcome.kind, OutcomeKind::Interrupted);

    EXPECT_TRUE(Fetched().empty());
    EXPECT_EQ(WhereIs("paused"), "requested:Ready for download");
    EXPECT_FALSE(Called("LastAction:Download completed"));
    EXPECT_EQ(RunningJobs(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
