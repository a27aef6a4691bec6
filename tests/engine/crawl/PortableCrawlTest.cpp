#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CrawlTestFixture.h"
#include "engine/crawl/SiteCrawlWorker.h"
#include "model/WebProjectOptions.h"

namespace tarnwick::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Requests that overlap reach the server in no fixed order.
std::vector<std::string> Sorted(std::vector<std::string> texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

// A new project's crawl of a site of the tests' own: the exact files stored, the exact links
// rewritten, and what never went over the wire.
class PortableCrawlTest : public CrawlTestFixture {
protected:
    tarnwick::Outcome Mirror(const std::string& startPath, const WebProjectOptions& options,
                             const std::string& name = "site") {
        WebProject project = BlankWebProject();
        project.name = name;
        project.startUrl = server.Url(startPath);
        project.getHtm = 1;
        project.status = "Ready for download";
        EXPECT_TRUE(StoreWebProjectOptions(folder.Path(), project.name, options));
        Request(project);
        WorkerContext context = Context(project.name);
        return RunSiteCrawl(context, project);
    }

    std::vector<std::string> StoredFiles(const std::string& project = "site") const {
        const std::string prefix = "WebSites/" + project + "/";
        std::vector<std::string> files;
        for (const std::string& name : folder.Tree()) {
            if (name.starts_with(prefix) &&
                std::filesystem::is_regular_file(folder.Path() / name)) {
                files.push_back(name.substr(prefix.size()));
            }
        }
        return files;
    }

    std::string Stored(const std::string& name, const std::string& project = "site") const {
        return ReadFileBytes(folder.Path() / "WebSites" / project / name);
    }

    bool WasFetched(const std::string& target) const {
        const std::vector<std::string> targets = Fetched();
        return std::find(targets.begin(), targets.end(), target) != targets.end();
    }
};

TEST_F(PortableCrawlTest, StoresPagesAndRequisitesWithRelativeLinksAndStaysOnTheSite) {
    const std::string port = std::to_string(server.Port());
    const std::string site = server.Url("");
    const std::string offSite = "http://localhost:" + port;
    server.Serve("/robots.txt", "User-agent: *\nDisallow: /docs/private/\n");
    server.Serve("/docs/index.html",
                 "<!DOCTYPE html><html><head><link rel=stylesheet href=\"css/site.css?v=3\">"
                 "<link rel=icon href=/favicon.ico><style>body{background:url('img/bg.png')}"
                 "</style></head><body><a href=guide/>Guide</a><a href=\"page.html#part\">P</a>"
                 "<a href=\"page.html?a=1&amp;b=2\">Q</a><a href=private/secret.html>S</a>"
                 "<img src=img/a.png srcset=\"img/a-2x.png 2x, img/a-3x.png 3x\"><a href=\"" +
                     offSite + "/x.html?u=" + site +
                     "/docs/\">other</a><a href=moved.html>M</a><a href=missing.html>G</a>"
                     "<div style=\"background-image:url(&quot;img/tile.png&quot;)\"></div>"
                     "<a href=data.zip>Z</a></body></html>");
    server.Serve("/docs/guide/",
                 "<html><head><base href=\"../\"></head><body><a href=page.html>p</a>"
                 "<img src=img/a.png><a href=guide/>self</a></body></html>");
    server.Serve("/docs/page.html",
                 "<meta http-equiv=refresh content=\"5; url=guide/\"><a href=index.html>home</a>"
                 "<a href=\"" +
                     site + "/docs/page.html#top\">top</a>");
    server.Serve("/docs/page.html?a=1&b=2", "<p>query</p>");
    server.Serve("/docs/css/site.css?v=3",
                 "@import \"print.css\";\nh1{background:url(/docs/img/h.png)}\n");
    server.Serve("/docs/css/print.css", "@import url(\"fonts.css\");");
    server.Serve("/docs/css/fonts.css", "@font-face{src:url(../fonts/f.woff2) format(\"woff2\")}");
    for (const char* file :
         {"/docs/img/bg.png", "/docs/img/a.png", "/docs/img/a-2x.png", "/docs/img/a-3x.png",
          "/docs/img/tile.png", "/docs/img/h.png", "/docs/fonts/f.woff2", "/favicon.ico",
          "/docs/data.zip", "/docs/private/secret.html", "/x.html"}) {
        server.Serve(file, std::string("bytes of ") + file);
    }
    server.Serve("/docs/moved.html", Answer(301, "", {{"Location", offSite + "/elsewhere.html"}}));
    server.Serve("/elsewhere.html", "off the site");

    EXPECT_EQ(Mirror("/docs/index.html", NewWebProjectOptions()).kind, OutcomeKind::Done);

    EXPECT_EQ(
        StoredFiles(),
        (std::vector<std::string>{
            "docs/css/fonts.css", "docs/css/print.css", "docs/css/site.css@v=3.css",
            "docs/fonts/f.woff2", "docs/guide/index.html", "docs/img/a-2x.png", "docs/img/a-3x.png",
            "docs/img/a.png", "docs/img/bg.png", "docs/img/h.png", "docs/img/tile.png",
            "docs/index.html", "docs/page.html", "docs/page.html@a=1&b=2.html", "favicon.ico",
            "tarnwick-report.html", "tarnwick-report.json", "tarnwick-state.txt"}));
    for (const char* target :
         {"/docs/private/secret.html", "/x.html", "/elsewhere.html", "/docs/data.zip"}) {
        EXPECT_FALSE(WasFetched(target)) << target;
    }
    EXPECT_TRUE(WasFetched("/robots.txt"));
    // Kept alive: no more connections than the project may have open at once.
    EXPECT_LE(server.ConnectionCount(), WebProjectOptions::kDefaultConnections);

    EXPECT_EQ(Stored("docs/index.html"),
              "<!DOCTYPE html><html><head><link rel=stylesheet href=\"css/site.css@v=3.css\">"
              "<link rel=icon href=\"../favicon.ico\"><style>body{background:url('img/bg.png')}"
              "</style></head><body><a href=\"guide/index.html\">Guide</a>"
              "<a href=\"page.html#part\">P</a><a href=\"page.html@a=1&amp;b=2.html\">Q</a>"
              "<a href=\"" +
                  site +
                  "/docs/private/secret.html\">S</a><img src=img/a.png "
                  "srcset=\"img/a-2x.png 2x, img/a-3x.png 3x\"><a href=\"" +
                  offSite + "/x.html?u=" + site + "/docs/\">other</a><a href=\"" + site +
                  "/docs/moved.html\">M</a><a href=\"" + site +
                  "/docs/missing.html\">G</a><div style=\"background-image:url(&quot;img/tile."
                  "png&quot;)\"></div><a href=\"" +
                  site + "/docs/data.zip\">Z</a></body></html>");
    EXPECT_EQ(Stored("docs/guide/index.html"),
              "<html><head><base ></head><body><a href=\"../page.html\">p</a>"
              "<img src=\"../img/a.png\"><a href=\"index.html\">self</a></body></html>");
    EXPECT_EQ(Stored("docs/page.html"),
              "<meta http-equiv=refresh content=\"5; url=guide/index.html\"><a href=index.html>"
              "home</a><a href=\"page.html#top\">top</a>");
    EXPECT_EQ(Stored("docs/css/site.css@v=3.css"),
              "@import \"print.css\";\nh1{background:url(../img/h.png)}\n");
    EXPECT_EQ(Stored("docs/css/fonts.css"),
              "@font-face{src:url(../fonts/f.woff2) format(\"woff2\")}");

    const std::string report = Stored("tarnwick-report.json");
    EXPECT_TRUE(Contains(report, "{\"url\": \"" + site +
                                     "/docs/moved.html\", \"reason\": \"redirected, not followed "
                                     "(HTTP 301)\", \"referrers\": [\"" +
                                     site + "/docs/index.html\"]}"))
        << report;
    EXPECT_TRUE(Contains(report, "{\"url\": \"" + site +
                                     "/docs/missing.html\", \"reason\": \"HTTP 404\", "
                                     "\"referrers\": [\"" +
                                     site + "/docs/index.html\"]}"));
    EXPECT_TRUE(Contains(Stored("tarnwick-report.html"), "15 fetched, 0 unchanged, 2 failed."));
    // Links to what the site lacks are the site's fault, not the crawl's.
    std::lock_guard lock(state.mutex);
    EXPECT_EQ(state.DownloadedSites.FindByName("site"), 0);
}

TEST_F(PortableCrawlTest, RedirectsOnTheSiteAreFollowedAndLinksLeadToWhereTheyGo) {
    const std::string site = server.Url("");
    server.Serve("/docs", Answer(301, "moved", {{"Location", "/docs/"}}));
    server.Serve("/docs/",
                 "<a href=old.html>o</a><a href=loop-a.html>l</a><a href=away.html>w</a>"
                 "<a href=/docs>d</a><img src=pic>");
    server.Serve("/docs/old.html", Answer(302, "", {{"Location", "new.html"}}));
    server.Serve("/docs/new.html", "<a href=old.html>back</a>");
    server.Serve("/docs/loop-a.html", Answer(301, "", {{"Location", "loop-b.html"}}));
    server.Serve("/docs/loop-b.html", Answer(301, "", {{"Location", site + "/docs/loop-a.html"}}));
    server.Serve(
        "/docs/away.html",
        Answer(301, "",
               {{"Location", "http://localhost:" + std::to_string(server.Port()) + "/away.html"}}));
    server.Serve("/away.html", "off the site");
    server.Serve("/docs/pic", Answer(307, "", {{"Location", "pic.png"}}));
    server.Serve("/docs/pic.png", "png bytes");

    EXPECT_EQ(Mirror("/docs", NewWebProjectOptions()).kind, OutcomeKind::Done);

    EXPECT_EQ(StoredFiles(),
              (std::vector<std::string>{"docs/index.html", "docs/new.html", "docs/pic.png",
                                        "tarnwick-report.html", "tarnwick-report.json",
                                        "tarnwick-state.txt"}));
    EXPECT_EQ(Sorted(Fetched()), Sorted({"/robots.txt", "/docs", "/docs/", "/docs/old.html",
                                         "/docs/loop-a.html", "/docs/away.html", "/docs/pic",
                                         "/docs/new.html", "/docs/loop-b.html", "/docs/pic.png"}));
    EXPECT_EQ(Stored("docs/index.html"),
              "<a href=\"new.html\">o</a><a href=\"" + site +
                  "/docs/loop-a.html\">l</a><a href=\"" + site +
                  "/docs/away.html\">w</a><a href=\"index.html\">d</a><img src=\"pic.png\">");
    EXPECT_EQ(Stored("docs/new.html"), "<a href=\"new.html\">back</a>");
    const std::string report = Stored("tarnwick-report.json");
    for (const char* loop : {"/docs/loop-a.html", "/docs/loop-b.html"}) {
        EXPECT_TRUE(
            Contains(report, "{\"url\": \"" + site + loop + "\", \"reason\": \"redirect loop\""))
            << report;
    }
    EXPECT_TRUE(Contains(report, "{\"url\": \"" + site +
                                     "/docs/away.html\", \"reason\": \"redirected, not followed "
                                     "(HTTP 301)\""));
    EXPECT_TRUE(Contains(Stored("tarnwick-report.html"), "3 fetched, 0 unchanged, 3 failed."));
    // The start address's redirect is the start page, and it came.
    std::lock_guard lock(state.mutex);
    EXPECT_EQ(state.DownloadedSites.FindByName("site"), 0);
}

TEST_F(PortableCrawlTest, ARunAgainFetchesOnlyWhatChangedAndGoesOnThroughTheRest) {
    const std::string modified = "Mon, 01 Jan 2024 00:00:00 GMT";
    server.Serve("/", Answer(200,
                             "<a href=a.html>a</a><a href=b.html>b</a><a href=a.html>again</a>"
                             "<link rel=stylesheet href=s.css>",
                             {{"ETag", "\"i1\""}}));
    server.Serve("/a.html", Answer(200, "<a href=c.html>c</a>", {{"Last-Modified", modified}}));
    server.Serve("/b.html", Answer(200, "b", {{"ETag", "\"b1\""}}));
    server.Serve("/c.html", Answer(200, "c", {{"ETag", "\"c1\""}}));
    server.Serve("/s.css", Answer(200, "p{background:url(bg.png)}", {{"ETag", "\"s1\""}}));
    server.Serve("/bg.png", "png");
    ASSERT_EQ(Mirror("/", NewWebProjectOptions()).kind, OutcomeKind::Done);
    // The state keeps a page's link once, however often the page repeats it.
    const std::string state = Stored("tarnwick-state.txt");
    const std::string link = "link nav " + server.Url("/a.html") + "\n";
    EXPECT_EQ(state.find(link), state.rfind(link));
    EXPECT_NE(state.find(link), std::string::npos) << state;
    // An old time on every file shows which the next run writes again.
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    const std::vector<std::string> files = StoredFiles();
    std::vector<std::string> before;
    for (const std::string& name : files) {
        std::filesystem::last_write_time(folder.Path() / "WebSites/site" / name, old);
        before.push_back(Stored(name));
    }
    for (const char* target : {"/", "/a.html", "/b.html", "/s.css"}) {
        server.Serve(target, Answer(304, ""));
    }
    server.Serve("/c.html", Answer(200, "c2 <a href=a.html>a</a>", {{"ETag", "\"c2\""}}));
    const std::size_t firstRun = server.Requests().size();

    EXPECT_EQ(Mirror("/", NewWebProjectOptions()).kind, OutcomeKind::Done);

    const std::vector<RecordedRequest> requests = server.Requests();
    std::vector<std::string> asked;
    for (std::size_t i = firstRun; i < requests.size(); ++i) {
        asked.push_back(requests[i].target + " " + requests[i].Header("If-None-Match") + "|" +
                        requests[i].Header("If-Modified-Since"));
    }
    EXPECT_EQ(Sorted(asked),
              Sorted({"/robots.txt |", "/ \"i1\"|", "/a.html |" + modified, "/b.html \"b1\"|",
                      "/s.css \"s1\"|", "/c.html \"c1\"|", "/bg.png |"}));
    EXPECT_EQ(StoredFiles(), files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const bool written =
            files[i] == "c.html" || files[i] == "bg.png" || files[i].starts_with("tarnwick-");
        EXPECT_EQ(
            std::filesystem::last_write_time(folder.Path() / "WebSites/site" / files[i]) != old,
            written)
            << files[i];
        if (!written) {
            EXPECT_EQ(Stored(files[i]), before[i]) << files[i];
        }
    }
    EXPECT_EQ(Stored("c.html"), "c2 <a href=a.html>a</a>");
    EXPECT_TRUE(Contains(Stored("tarnwick-report.html"), "2 fetched, 4 unchanged, 0 failed."));
    const std::string report = Stored("tarnwick-report.json");
    EXPECT_TRUE(Contains(report, "\"unchanged\": [\n    {\"url\": \"" + server.Url("/") +
                                     "\", \"file\": \"index.html\"},"))
        << report;
    EXPECT_TRUE(
        Contains(Stored("tarnwick-state.txt"),
                 "url " + server.Url("/c.html") + "\nfile c.html\nkind page\netag \"c2\"\n"));
}

TEST_F(PortableCrawlTest, OptionsLeaveRequisitesOutIgnoreRobotsAndKeepBelowTheStart) {
    server.Serve("/robots.txt", "User-agent: *\nDisallow: /\n");
    server.Serve("/docs/",
                 "<a href=../up.html>up</a><a href=sub/>s</a><img src=p.png>"
                 "<link rel=stylesheet href=s.css><a href=app>app</a>");
    server.Serve("/docs/sub/", "<p>sub</p>");
    server.Serve("/docs/app", "\n<div>a page without an ending</div>");
    WebProjectOptions options = NewWebProjectOptions();
    options.requisites = false;
    options.ignoreRobots = true;
    options.noAscend = true;

    EXPECT_EQ(Mirror("/docs/", options).kind, OutcomeKind::Done);

    EXPECT_EQ(StoredFiles(),
              (std::vector<std::string>{"docs/app.html", "docs/index.html", "docs/sub/index.html",
                                        "tarnwick-report.html", "tarnwick-report.json",
                                        "tarnwick-state.txt"}));
    EXPECT_EQ(Sorted(Fetched()), Sorted({"/docs/", "/docs/sub/", "/docs/app"}));
    EXPECT_EQ(Stored("docs/index.html"),
              "<a href=\"" + server.Url("/up.html") +
                  "\">up</a><a href=\"sub/index.html\">s</a>"
                  "<img src=\"" +
                  server.Url("/docs/p.png") + "\"><link rel=stylesheet href=\"" +
                  server.Url("/docs/s.css") + "\"><a href=\"app.html\">app</a>");
}

TEST_F(PortableCrawlTest, RobotsTxtIsHonouredAndTheDelayKeepsRequestsApart) {
    server.Serve("/robots.txt", "User-agent: *\nDisallow: /no/\n");
    server.Serve("/", "<a href=no/a.html>a</a><a href=yes.html>b</a><img src=also.png>");
    server.Serve("/yes.html", "yes");
    server.Serve("/also.png", "also");
    WebProjectOptions options = NewWebProjectOptions();
    options.delayMs = 150;
    // The project's row gets the crawl's counts; the last report has them all.
    struct Progress : EntryEvents {
        void EntryChanged(const EntryChange& change) override {
            if (change.progress) {
                std::lock_guard lock(mutex);
                last[change.key] = *change.progress;
            }
        }
        std::mutex mutex;
        std::map<std::string, TransferSnapshot> last;
    } progress;
    state.ui.Subscribe(&progress);
    const auto started = std::chrono::steady_clock::now();

    EXPECT_EQ(Mirror("/", options).kind, OutcomeKind::Done);

    state.ui.Unsubscribe(&progress);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    EXPECT_EQ(Fetched(), (std::vector<std::string>{"/robots.txt", "/", "/yes.html", "/also.png"}));
    ASSERT_EQ(progress.last.size(), 1u);
    const TransferSnapshot& shown = progress.last["site"];
    ASSERT_TRUE(shown.crawl.has_value());
    EXPECT_EQ(shown.crawl->pages, 2);
    EXPECT_EQ(shown.crawl->files, 1);
    EXPECT_EQ(shown.crawl->queued, 0);
    EXPECT_EQ(shown.bytesPerSecond, 0);    // it has ended
    EXPECT_EQ(shown.done, 63u + 3u + 4u);  // the three bodies; robots.txt is the crawl's own
}

// Eight slow pages, each with a page below it, a shared style sheet and an image, a redirect,
// a missing page and a depth limit: enough for an order of answers to show in the copy.
std::string FolderPage(const std::string& path) {
    // Longer than a writer's buffer, so two writers would interleave on disk.
    return "<html><body>" + std::string(600 * 1024, path.back()) + "</body></html>";
}

void ServeSlowSite(HttpTestServer& server, std::chrono::milliseconds stall) {
    // Two addresses of one stored name, both on the wire at once: one of them is stored
    // whole, never a mix of the two.
    std::string index =
        "<a href=d/>d</a><a href=d/index.html>i</a><a href=gone.html>g</a>"
        "<a href=r>r</a>";
    for (const char* path : {"/d/", "/d/index.html"}) {
        HttpResponse half = Answer(200, FolderPage(path));
        half.stallAtByte = 300 * 1024;
        half.stallInBody = stall;
        server.Serve(path, half);
    }
    for (int i = 0; i < 8; ++i) {
        const std::string page = "p" + std::to_string(i);
        index += "<a href=" + page + ".html>" + page + "</a>";
        HttpResponse slow =
            Answer(200, "<link rel=stylesheet href=s.css><img src=" + page + ".png><a href=deep" +
                            std::to_string(i) + ".html>d</a><a href=p" +
                            std::to_string((i + 1) % 8) + ".html>n</a>");
        slow.stallBeforeAnswer = stall;
        server.Serve("/" + page + ".html", slow);
        server.Serve("/" + page + ".png", "png " + page);
        server.Serve("/deep" + std::to_string(i) + ".html", "<a href=deeper.html>too deep</a>");
    }
    server.Serve("/", index);
    server.Serve("/r", Answer(301, "", {{"Location", "/p3.html"}}));
    server.Serve("/s.css", "p{background:url(bg.png)}");
    server.Serve("/bg.png", "bg");
}

TEST_F(PortableCrawlTest,
       OverlappingRequestsKeepToTheConnectionsAndStoreWhatOneRequestAtATimeDoes) {
    const std::chrono::milliseconds stall(200);
    ServeSlowSite(server, stall);
    WebProjectOptions options = NewWebProjectOptions();
    options.maxDepth = 2;
    const auto timed = [&](const std::string& name) {
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(Mirror("/", options, name).kind, OutcomeKind::Done);
        return std::chrono::steady_clock::now() - started;
    };

    const auto overlapped = timed("four");
    EXPECT_GE(server.MostConnectionsAtOnce(), 2);
    EXPECT_LE(server.MostConnectionsAtOnce(), WebProjectOptions::kDefaultConnections);
    options.connections = 1;
    const auto oneAtATime = timed("one");

    EXPECT_GE(oneAtATime, 8 * stall);
    EXPECT_LT(overlapped, oneAtATime / 2);
    EXPECT_FALSE(WasFetched("/deeper.html"));
    const std::vector<std::string> files = StoredFiles("one");
    EXPECT_EQ(files.size(), 8u * 3 + 3 + 4);  // the report and the state file among them
    for (const char* run : {"one", "four"}) {
        const std::string stored = Stored("d/index.html", run);
        EXPECT_TRUE(stored == FolderPage("/d/") || stored == FolderPage("/d/index.html")) << run;
    }
    EXPECT_EQ(StoredFiles("four"), files);
    for (const std::string& file : files) {
        if (file == "d/index.html") {
            continue;  // which of the two it holds depends on which answered first
        }
        EXPECT_EQ(Stored(file, "four"), Stored(file, "one")) << file;
    }
}

TEST_F(PortableCrawlTest, APauseHoldsEveryRequestAndACancelEndsTheCrawlQuietly) {
    // Stalls far longer than a cancel may take, so a cancel that waited for them shows even on
    // a loaded machine.
    ServeSlowSite(server, std::chrono::milliseconds(1500));
    std::thread crawl([&] { Mirror("/", NewWebProjectOptions()); });
    const auto waitFor = [&](std::size_t requests) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (server.Requests().size() < requests && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    waitFor(4);  // robots.txt, the start page and slow pages on their way
    gate->Pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // what was on the wire
    const std::size_t paused = server.Requests().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(server.Requests().size(), paused);
    gate->Resume();
    waitFor(paused + 1);
    EXPECT_GT(server.Requests().size(), paused);
    const auto cancelled = std::chrono::steady_clock::now();
    gate->Cancel();
    crawl.join();

    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(1000));
    EXPECT_FALSE(WasFetched("/deep7.html"));
    const std::vector<std::string> files = StoredFiles();
    EXPECT_EQ(std::find(files.begin(), files.end(), "tarnwick-report.json"), files.end());
    EXPECT_FALSE(Called("LastAction:Download completed"));
    std::lock_guard lock(state.mutex);
    EXPECT_EQ(state.RequestedWebSites.GetAt(0)->status, "Ready for download");
    EXPECT_EQ(state.RunningSiteJobs.GetCount(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
