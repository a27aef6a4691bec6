#include <gtest/gtest.h>

#include "model/UrlsInText.h"

namespace tarnwick {
namespace {

using Urls = std::vector<std::string>;

TEST(UrlsInTextTest, FindsTheWebAddressesOfPastedText) {
    const struct {
        const char* text;
        Urls expected;
    } kCases[] = {
        {"http://h/a.zip", {"http://h/a.zip"}},
        {"http://h/a\r\nhttps://h/b\n\nftp://h/c", {"http://h/a", "https://h/b", "ftp://h/c"}},
        {"see <HTTPS://H/x.iso>, or (ftp://h/y.tar.gz).", {"HTTPS://H/x.iso", "ftp://h/y.tar.gz"}},
        {"\"http://h/q?a=1&b=2\"\t'http://h/r'", {"http://h/q?a=1&b=2", "http://h/r"}},
        {"http://h/dir/", {"http://h/dir/"}},
        // Not addresses to fetch: other schemes, a bare scheme, plain words and paths.
        {"file:///etc/passwd mailto:a@b javascript:x http:// https:// /tmp/x h/a.zip", {}},
        {"", {}},
        {" \t\r\n", {}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(UrlsInText(c.text), c.expected) << c.text;
    }
}

TEST(UrlsInTextTest, TakesEveryTypedLineTrimmed) {
    EXPECT_EQ(UrlLines("  h/a.zip \r\n\r\n\tftp://h/b\nlast"),
              (Urls{"h/a.zip", "ftp://h/b", "last"}));
    EXPECT_EQ(UrlLines("one line"), Urls{"one line"});
    EXPECT_TRUE(UrlLines("\n \r\n\t").empty());
}

}  // namespace
}  // namespace tarnwick
