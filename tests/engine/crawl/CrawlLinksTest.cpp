#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/crawl/CrawlLinks.h"

namespace tarnwick {
namespace {

std::vector<std::string> Drain(CrawlLinks& links) {
    std::vector<std::string> urls;
    while (!links.IsEmpty()) {
        urls.push_back(links.Next());
    }
    return urls;
}

WebProject GifProject() {
    WebProject project = BlankWebProject();
    project.getGif = 1;
    return project;
}

TEST(CrawlLinks, StartsFromANormalisedAddressAndItsRoot) {
    CrawlLinks links(GifProject(), "/work/WebSites/demo");
    links.QueueStart("host.example/a/p.htm");
    EXPECT_EQ(links.StartRoot(), "http://host.example/");
    EXPECT_EQ(Drain(links), std::vector<std::string>{"http://host.example/a/p.htm"});

    // The start address counts as seen: a link back to it is not queued again.
    std::string line = "<a href=\"HTTP://HOST.EXAMPLE/a/p.htm\">home</a>";
    EXPECT_EQ(links.ScanLine(line, "http://host.example/a/p.htm", "\\a"), 0);
}

TEST(CrawlLinks, RewritesAndQueuesTheLinksOfALineInTheirOrder) {
    CrawlLinks links(GifProject(), "/work/WebSites/demo");
    links.QueueStart("http://host.example/");
    links.Next();
    std::string line = "<a href=\"x/one.htm\"><img src=\"pics/two.gif\">";
    std::string frame = "<frame src=\"three.htm\" name=f>";

    EXPECT_EQ(links.ScanLine(line, "http://host.example/a/p.htm", "\\a"), 2);
    EXPECT_EQ(links.ScanLine(frame, "http://host.example/a/p.htm", "\\a"), 1);

    EXPECT_EQ(links.LinksFound(), 3);
    EXPECT_EQ(Drain(links), (std::vector<std::string>{"http://host.example/a/three.htm",
                                                      "http://host.example/a/pics/two.gif",
                                                      "http://host.example/a/x/one.htm"}));
    EXPECT_EQ(line,
              "<a href=\"/work/WebSites/demo/a/x/one.htm\">"
              "<img src=\"/work/WebSites/demo/a/pics/two.gif\">");
    EXPECT_EQ(frame, "<frame src=\"three.htm\" name=f>");
}

TEST(CrawlLinks, AdmitsHttpsLinksOfAnHttpsSite) {
    CrawlLinks links(GifProject(), "/work/WebSites/demo");
    links.QueueStart("https://host.example/");
    links.Next();
    std::string secure = "<a href=\"page.htm\">relative</a>";
    std::string absolute = "<a href=\"https://host.example/b.htm\">absolute</a>";
    std::string ftp = "<a href=\"ftp://host.example/c.htm\">other scheme</a>";

    EXPECT_EQ(links.ScanLine(secure, "https://host.example/", ""), 1);
    EXPECT_EQ(links.ScanLine(absolute, "https://host.example/", ""), 1);
    EXPECT_EQ(links.ScanLine(ftp, "https://host.example/", ""), 0);
    EXPECT_EQ(Drain(links), (std::vector<std::string>{"https://host.example/b.htm",
                                                      "https://host.example/page.htm"}));
}

TEST(CrawlLinks, AdmitsTheStartsHostAndPortNotTextThatContainsItsRoot) {
    CrawlLinks links(GifProject(), "/work/WebSites/demo");
    links.QueueStart("http://host.example:8080/");
    links.Next();
    std::string other = "<a href=\"http://other.example/?u=http://host.example:8080/\">o</a>";
    std::string longer = "<a href=\"http://host.example:8080.evil/a.htm\">p</a>";
    std::string same = "<a href=\"http://HOST.example:8080/b.htm\">same</a>";

    EXPECT_EQ(links.ScanLine(other, "http://host.example:8080/", ""), 0);
    EXPECT_EQ(links.ScanLine(longer, "http://host.example:8080/", ""), 0);
    EXPECT_EQ(links.ScanLine(same, "http://host.example:8080/", ""), 1);
}

TEST(CrawlLinks, ADepthLimitStopsQueueingThatManyLinksFromTheStart) {
    CrawlLinks links(GifProject(), "/w", 1);
    links.QueueStart("http://host.example/");
    links.Next();
    std::string onStart = "<a href=\"one.htm\"><a href=\"two.htm\">";
    EXPECT_EQ(links.ScanLine(onStart, "http://host.example/", ""), 1);  // one link a line
    links.Next();
    std::string onFirst = "<a href=\"deeper.htm\">";
    EXPECT_EQ(links.ScanLine(onFirst, "http://host.example/one.htm", ""), 0);

    CrawlLinks unlimited(GifProject(), "/w");
    unlimited.QueueStart("http://host.example/");
    for (int level = 0; level < 5; ++level) {
        unlimited.Next();
        std::string line = "<a href=\"level" + std::to_string(level) + ".htm\">";
        EXPECT_EQ(unlimited.ScanLine(line, "http://host.example/", ""), 1) << level;
    }
}

}  // namespace
}  // namespace tarnwick
