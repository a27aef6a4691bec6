#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/search/DefaultSearchEngines.h"
#include "engine/search/ResultLink.h"
#include "engine/search/SearchEngineCatalog.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {
namespace {

std::vector<std::string> NamesOf(const SearchEngineCatalog& catalog) {
    std::vector<std::string> names;
    for (const SearchEngineQuery& engine : catalog.engines) {
        names.push_back(engine.name);
    }
    return names;
}

TEST(SearchEngineCatalogTest, ReadsEveryKeyAndTakesDefaultsForTheRest) {
    const SearchEngineCatalog catalog = ParseSearchEngines(
        "; a comment\r\n"
        "stray=before any section\r\n"
        "\t[ Full ] \r\n"
        "url = http://e.example/s?q={query}&f={start}\r\n"
        "results=href=\"([^\"]+)\"\r\n"
        "pages=3\r\nstep=25\r\nfirst=1\r\nwait_ms=0\r\ntimeout_ms=500\r\ndecode=url\r\n"
        "unknown=kept for a later version\r\n"
        "\n[Plain]\nurl=https://p.example/?q={query}\nresults=(x)");
    EXPECT_TRUE(catalog.problems.empty()) << catalog.problems.front();
    ASSERT_EQ(NamesOf(catalog), (std::vector<std::string>{"Full", "Plain"}));
    const SearchEngineQuery& full = catalog.engines[0];
    EXPECT_EQ(full.line, 3);
    EXPECT_EQ(full.url, "http://e.example/s?q={query}&f={start}");
    EXPECT_EQ(full.pages, 3);
    EXPECT_EQ(full.step, 25);
    EXPECT_EQ(full.first, 1);
    EXPECT_EQ(full.waitMs, 0);
    EXPECT_EQ(full.timeoutMs, 500);
    EXPECT_TRUE(full.linksEncoded);
    const SearchEngineQuery& plain = catalog.engines[1];
    EXPECT_EQ(plain.pages, 1);
    EXPECT_EQ(plain.step, 10);
    EXPECT_EQ(plain.first, 0);
    EXPECT_GT(plain.waitMs, 0);
    EXPECT_FALSE(plain.linksEncoded);
    EXPECT_EQ(catalog.Find("PLAIN"), &catalog.engines[1]);
    EXPECT_EQ(catalog.Find("Plai"), nullptr);
}

TEST(SearchEngineCatalogTest, LeavesOutEachBadEntryOnceWithItsNameAndLine) {
    const SearchEngineCatalog catalog = ParseSearchEngines(
        "[NoUrl]\nresults=(x)\n"                                                  // 1
        "[Ftp]\nurl=ftp://f.example/{query}\nresults=(x)\n"                       // 3
        "[Pages]\nurl=http://e.example/{query}\nresults=(x)\npages=0\npages=x\n"  // 6
        "[Decode]\nurl=http://e.example/{query}\nresults=(x)\ndecode=base64\n"    // 11
        "[NoResults]\nurl=http://e.example/{query}\n"                             // 15
        "[Good]\nurl=http://e.example/{query}\nresults=(x)\n"                     // 17
        "[good]\nurl=http://e.example/{query}\nresults=(y)\n");                   // 20
    EXPECT_EQ(NamesOf(catalog), std::vector<std::string>{"Good"});
    const std::string prefix = "searchengines.conf line ";
    EXPECT_EQ(
        catalog.problems,
        (std::vector<std::string>{
            prefix + "1: engine \"NoUrl\" left out: it has no url",
            prefix + "3: engine \"Ftp\" left out: its url is not an http or https address",
            prefix + "9: engine \"Pages\" left out: pages must be a whole number from 1 to 10",
            prefix + "14: engine \"Decode\" left out: decode must be url or none",
            prefix + "15: engine \"NoResults\" left out: it has no results pattern",
            prefix + "20: engine \"good\" left out: an engine of that name comes before it",
        }));
}

TEST(SearchEngineCatalogTest, DefaultPatternsFindTheResultsOfPagesShapedAsPublished) {
    const SearchEngineCatalog defaults = ParseSearchEngines(DefaultSearchEnginesText());
    const std::pair<const char*, const char*> pages[] = {
        {"DuckDuckGo",
         "<a rel=\"nofollow\" class=\"result__a\" href=\"//duckduckgo.com/l/?uddg=https%3A%2F%2F"
         "tarn.example%2Fa%3Fb%3D1&amp;rut=f00\">Tarn</a>"
         "<a class=\"result__url\" href=\"https://ad.example/\">ad</a>"},
        {"Mojeek",
         "<li><a href=\"https://ad.example/\" class=\"ob\">x</a><h2><a class=\"title\" "
         "href=\"https://tarn.example/a?b=1\">Tarn</a></h2>"},
        {"Marginalia",
         "<nav><a href=\"/news\">News</a></nav><h2 class=\"text-xl\">\n  <a "
         "class=\"text-liteblue\" href=\"https://tarn.example/a?b=1\">Tarn</a></h2>"},
    };
    for (const auto& [name, page] : pages) {
        const SearchEngineQuery* engine = defaults.Find(name);
        ASSERT_NE(engine, nullptr) << name;
        std::vector<std::string> links;
        engine->results.ForEachLink(page, [&](std::string_view found) {
            const std::string link = HtmlDecoded(found);
            links.push_back(engine->linksEncoded ? PercentDecoded(link) : link);
            return true;
        });
        EXPECT_EQ(links, std::vector<std::string>{"https://tarn.example/a?b=1"}) << name;
    }
}

TEST(SearchEngineCatalogTest, AMissingFileIsWrittenWithTheDefaultsAndAnOwnFileIsKept) {
    TempFolder folder;
    const std::filesystem::path path = folder.Path() / kSearchEnginesFileName;
    const SearchEngineCatalog defaults = LoadSearchEngines(folder.Path());
    EXPECT_TRUE(defaults.problems.empty());
    EXPECT_EQ(NamesOf(defaults), (std::vector<std::string>{"DuckDuckGo", "Mojeek", "Marginalia"}));
    EXPECT_EQ(ReadFileBytes(path), DefaultSearchEnginesText());
    for (const SearchEngineQuery& engine : defaults.engines) {
        EXPECT_TRUE(engine.url.starts_with("https://")) << engine.name;
        EXPECT_GE(engine.waitMs, 1000) << engine.name;
    }

    const std::string own = "[Own]\nurl=http://127.0.0.1/{query}\nresults=(x)\n";
    WriteFileBytes(path, own);
    EXPECT_EQ(NamesOf(LoadSearchEngines(folder.Path())), std::vector<std::string>{"Own"});
    EXPECT_EQ(ReadFileBytes(path), own);

    // A file that is there but cannot be read is not replaced: no engine is asked.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    const SearchEngineCatalog unreadable = LoadSearchEngines(folder.Path());
    EXPECT_TRUE(unreadable.engines.empty());
    ASSERT_EQ(unreadable.problems.size(), 1U);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

}  // namespace
}  // namespace tarnwick::testing
