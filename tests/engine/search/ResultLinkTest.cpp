#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/search/ResultLink.h"
#include "engine/search/ResultPattern.h"
#include "engine/search/SearchEngineQuery.h"

namespace tarnwick::testing {
namespace {

TEST(ResultLinkTest, ResolvesLinksAgainstTheirPageAsABrowserWould) {
    struct Row {
        const char* page;
        const char* link;
        const char* expected;  // nullptr: refused
    };
    const Row rows[] = {
        {"http://e.example/a/b?q=1", "http://other.example/x", "http://other.example/x"},
        {"http://e.example/a/b?q=1", "HTTPS://Other.example/X", "https://other.example/X"},
        {"https://e.example/a/b", "//cdn.example/y", "https://cdn.example/y"},
        {"http://e.example:8080/a/b?q=1", "/root?x#f", "http://e.example:8080/root?x#f"},
        {"http://e.example/a/b?q=1", "c/d", "http://e.example/a/c/d"},
        {"http://e.example/a/b/c", "../../up", "http://e.example/up"},
        {"http://e.example/a/b", "../../../beyond", "http://e.example/beyond"},
        {"http://e.example/a/./b", "./same", "http://e.example/a/same"},
        {"http://e.example/a/b?q=1", "?q=2", "http://e.example/a/b?q=2"},
        {"http://e.example/a/b?q=1", "#top", "http://e.example/a/b?q=1#top"},
        {"http://e.example", "page", "http://e.example/page"},
        {"http://e.example/a", "  padded  ", "http://e.example/padded"},
        {"http://e.example/a", "with blank", "http://e.example/with%20blank"},
        {"http://e.example/a", "mailto:me@example.invalid", nullptr},
        {"http://e.example/a", "javascript:go()", nullptr},
        {"http://e.example/a", "ftp://files.example/f", nullptr},
        {"http://e.example/a", "http:no-slashes", nullptr},
        {"http://e.example/a", "http://e.example/line\nbreak", nullptr},
        {"http://e.example/a", "", nullptr},
        {"http://e.example/\x01/a", "relative", nullptr},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> got = AbsoluteResultLink(row.page, row.link);
        if (row.expected == nullptr) {
            EXPECT_FALSE(got.has_value()) << row.link << " gave " << got.value_or("");
        } else {
            EXPECT_EQ(got.value_or("(refused)"), row.expected) << row.page << " + " << row.link;
        }
    }
}

TEST(ResultLinkTest, DecodesReferencesAndPercentEscapesOnlyWhereWellFormed) {
    EXPECT_EQ(HtmlDecoded("a=1&amp;b=2&#38;c=&#x2F;&quot;&lt;&gt;&apos;&#233;"),
              "a=1&b=2&c=/\"<>'\xC3\xA9");
    EXPECT_EQ(HtmlDecoded("&eacute;&nbsp;&hellip;&#x1F600;&Eacute;&EACUTE;"),
              "\xC3\xA9\xC2\xA0\xE2\x80\xA6\xF0\x9F\x98\x80\xC3\x89&EACUTE;");
    EXPECT_EQ(HtmlDecoded("&unknown; &amp &#0; &#xD800; &#x110000; & ;"),
              "&unknown; &amp &#0; &#xD800; &#x110000; & ;");
    EXPECT_EQ(PercentDecoded("https%3A%2F%2Fe.example%2F%3Fq%3D1"), "https://e.example/?q=1");
    EXPECT_EQ(PercentDecoded("100% %zz %4"), "100% %zz %4");
}

TEST(ResultLinkTest, PageAddressesCarryTheEncodedTextAndTheOffsetOfEachPage) {
    SearchEngineQuery engine;
    engine.url = "http://e.example/s?q={query}&from={start}&again={query}";
    engine.first = 1;
    engine.step = 20;
    EXPECT_EQ(engine.PageUrl("two words & more/ü", 0),
              "http://e.example/s?q=two+words+%26+more%2F%C3%BC&from=1&again=two+words+%26+more%"
              "2F%C3%BC");
    EXPECT_EQ(engine.PageUrl("{start}", 2),
              "http://e.example/s?q=%7Bstart%7D&from=41&again=%7Bstart%7D");
}

TEST(ResultLinkTest, PatternsGiveTheirFirstGroupAndGiveUpOnRunawayBacktracking) {
    std::string error;
    const auto links = ResultPattern::Compile(R"((?|x=(\d+)|y=(\w*)))", error);
    ASSERT_TRUE(links.has_value()) << error;
    std::vector<std::string> found;
    EXPECT_TRUE(links->ForEachLink("x=1 y= y=ab x=22", [&](std::string_view link) {
        found.emplace_back(link);
        return true;
    }));
    EXPECT_EQ(found, (std::vector<std::string>{"1", "", "ab", "22"}));

    // An empty match moves on instead of matching the same place forever.
    const auto empty = ResultPattern::Compile("(a*)", error);
    ASSERT_TRUE(empty.has_value());
    int matches = 0;
    empty->ForEachLink("bab", [&](std::string_view) { return ++matches < 100; });
    EXPECT_LT(matches, 10);

    const auto runaway = ResultPattern::Compile("((a+)+)$", error);
    ASSERT_TRUE(runaway.has_value());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        runaway->ForEachLink(std::string(5000, 'a') + "b", [](std::string_view) { return true; }));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    EXPECT_FALSE(ResultPattern::Compile("(unclosed", error).has_value());
    EXPECT_NE(error.find("does not compile"), std::string::npos) << error;
    EXPECT_FALSE(ResultPattern::Compile("no group", error).has_value());
    EXPECT_EQ(error, "has no capture group");
}

}  // namespace
}  // namespace tarnwick::testing
