#include "engine/net/Url.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

struct Resolution {
    const char* reference;
    const char* expected;  // "" when it leads to no URL
};

std::string Resolved(const Url& base, std::string_view reference) {
    const std::optional<Url> got = base.Resolve(reference);
    return got ? got->TextWithFragment() : "";
}

// RFC 3986 section 5.4 with the base "http://a/b/c/d;p?q", and what pages hold besides.
TEST(Url, ResolvesReferencesAsTheRfcAndBrowsersDo) {
    const Url base = *Url::Parse("http://a/b/c/d;p?q");
    const Resolution table[] = {
        {"g:h", ""},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g/"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"g;x", "http://a/b/c/g;x"},
        {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        // section 5.4.2
        {"../../../g", "http://a/g"},
        {"../../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {".g", "http://a/b/c/.g"},
        {"g..", "http://a/b/c/g.."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"./g/.", "http://a/b/c/g/"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/./x", "http://a/b/c/g?y/./x"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"g#s/./x", "http://a/b/c/g#s/./x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"},
        {"http:g", ""},  // no authority: not a web address
        // section 5.2.4's own example, and a doubled slash the merge keeps
        {"mid/content=5/../6", "http://a/b/c/mid/6"},
        {".//g", "http://a/b/c//g"},
        // what pages hold
        {"HTTPS://Host.Example:443/x", "https://host.example/x"},
        {"http://h:8080", "http://h:8080/"},
        {"  \tg\nh \r", "http://a/b/c/gh"},  // blanks and line breaks dropped
        {"..\\x\\y.png", "http://a/b/x/y.png"},
        {"a b.html", "http://a/b/c/a%20b.html"},
        {"x\"<`>?q=a b#f g\xC3\xA9", "http://a/b/c/x%22%3C%60%3E?q=a%20b#f%20g%C3%A9"},
        {"ftp://Files.Example:21/pub/a;type=i", "ftp://files.example/pub/a;type=i"},
        {"mailto:x@y", ""},
        {"javascript:go()", ""},
        {"file:///etc/passwd", ""},
        {"http://", ""},
        {"///g", ""},
        {"http://h:port/", ""},
        {"http://h:65536/", ""},
    };
    for (const Resolution& row : table) {
        EXPECT_EQ(Resolved(base, row.reference), row.expected) << row.reference;
    }
}

TEST(Url, GivesItsNormalisedParts) {
    const Url url =
        *Url::Parse("HTTP://user:pw@Example.ORG:08080/a b/./c/../%7e\xc3\xa9\x01?q=1 2#f x");
    EXPECT_EQ(url.Scheme(), "http");
    EXPECT_EQ(url.Host(), "example.org");
    EXPECT_EQ(url.Port(), "8080");
    EXPECT_EQ(url.Path(), "/a%20b/%7e%C3%A9%01");
    EXPECT_TRUE(url.HasQuery());
    EXPECT_EQ(url.Query(), "q=1%202");
    EXPECT_TRUE(url.HasFragment());
    EXPECT_EQ(url.Fragment(), "f%20x");
    EXPECT_EQ(url.Text(), "http://example.org:8080/a%20b/%7e%C3%A9%01?q=1%202");
    EXPECT_TRUE(url.IsWeb());

    const Url bare = *Url::Parse("https://[::1]:443");
    EXPECT_EQ(bare.TextWithFragment(), "https://[::1]/");
    EXPECT_FALSE(bare.HasQuery());
    EXPECT_FALSE(bare.HasFragment());
    EXPECT_EQ(Url::Parse("http://h/x?")->Text(), "http://h/x?");  // an empty query is sent
    EXPECT_EQ(Url::Parse("http://h:443/")->Text(), "http://h:443/");
    EXPECT_EQ(Url::Parse("http://0x7f.1/")->Host(), "127.0.0.1");
    EXPECT_EQ(Url::Parse("http://ex\xc3\xa9.org/")->Host(), "ex\xc3\xa9.org");
    EXPECT_FALSE(Url::Parse("ftp://files.example/")->IsWeb());
    for (const char* refused :
         {"", "//host/x", "host/x", "http:/x", "http:x", "http:///x", "http://h:99999/",
          "http://a b/", "gopher://h/", "data:text/html,x"}) {
        EXPECT_FALSE(Url::Parse(refused).has_value()) << refused;
    }
}

TEST(Url, ComparesSitesByParsedParts) {
    const Url start = *Url::Parse("http://user@Example.org:80/docs/");
    EXPECT_EQ(start.Origin(), "http://example.org");
    EXPECT_EQ(start.Text(), "http://example.org/docs/");
    EXPECT_EQ(Url::Parse("http://example.org.evil/?u=http://example.org/")->Origin(),
              "http://example.org.evil");
    EXPECT_NE(Url::Parse("https://example.org/")->Origin(), start.Origin());
    EXPECT_EQ(Url::Parse("http://h/a/b/c/./../../g")->Path(), "/a/g");
    // A resolved address drops the base's user information too.
    EXPECT_EQ(start.Resolve("x")->Text(), "http://example.org/docs/x");
    EXPECT_EQ(start.Resolve("//Other.example:80/y")->Origin(), "http://other.example");
}

// Each thread parses on a URL handle of its own.
TEST(Url, ResolvesOnSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            const std::string site = "http://host" + std::to_string(t) + ".example";
            const Url base = *Url::Parse(site + "/d/page.html");
            for (int i = 0; i < 500; ++i) {
                const std::optional<Url> got = base.Resolve("../x" + std::to_string(i) + ".gif");
                wrong[t] += !got || got->Text() != site + "/x" + std::to_string(i) + ".gif";
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace tarnwick
