#include <gtest/gtest.h>

#include "engine/mirror/WebAddress.h"

namespace tarnwick {
namespace {

struct Resolution {
    const char* reference;
    const char* expected;  // "" when it leads to no web address
};

// RFC 3986 section 5.4 with the base "http://a/b/c/d;p?q", and what pages hold besides.
TEST(WebAddress, ResolvesReferencesAsTheRfcAndBrowsersDo) {
    const WebAddress base = *ParseWebAddress("http://a/b/c/d;p?q");
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
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"HTTPS://Host.Example:443/x", "https://host.example/x"},
        {"http://h:8080", "http://h:8080/"},
        {"  \tg\nh \r", "http://a/b/c/gh"},  // blanks and line breaks dropped
        {"..\\x\\y.png", "http://a/b/x/y.png"},
        {"a b.html", "http://a/b/c/a%20b.html"},
        {"mailto:x@y", ""},
        {"javascript:go()", ""},
        {"http://", ""},
        {"http://h:port/", ""},
    };
    for (const Resolution& row : table) {
        const std::optional<WebAddress> got = ResolveReference(base, row.reference);
        EXPECT_EQ(got ? got->Text(true) : "", row.expected) << row.reference;
    }
}

TEST(WebAddress, ComparesSitesByParsedParts) {
    const WebAddress start = *ParseWebAddress("http://user@Example.org:80/docs/");
    EXPECT_EQ(start.Origin(), "http://example.org");
    EXPECT_EQ(ParseWebAddress("http://example.org.evil/?u=http://example.org/")->Origin(),
              "http://example.org.evil");
    EXPECT_NE(ParseWebAddress("https://example.org/")->Origin(), start.Origin());
    EXPECT_EQ(RemoveDotSegments("/a/b/c/./../../g"), "/a/g");
    EXPECT_EQ(RemoveDotSegments("mid/content=5/../6"), "mid/6");
}

}  // namespace
}  // namespace tarnwick
