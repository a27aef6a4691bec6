#include <gtest/gtest.h>

#include "engine/mirror/RobotsRules.h"

namespace tarnwick {
namespace {

TEST(RobotsRules, TheGroupNamingTheCrawlerDecidesByLongestMatch) {
    const char* text =
        "# comment\r\n"
        "User-agent: other\n"
        "Disallow: /\n"
        "\n"
        "User-agent: *\n"
        "Disallow: /private/\n"
        "Disallow: /*.pdf$\n"
        "Allow: /private/open/\n"
        "Disallow: /search?\n"
        "Disallow:\n";
    const RobotsRules anyone(text, "Tarnwick");
    EXPECT_TRUE(anyone.Allows("/"));
    EXPECT_TRUE(anyone.Allows("/public/a.html"));
    EXPECT_FALSE(anyone.Allows("/private/a.html"));
    EXPECT_TRUE(anyone.Allows("/private/open/a.html"));
    EXPECT_FALSE(anyone.Allows("/docs/a.pdf"));
    EXPECT_TRUE(anyone.Allows("/docs/a.pdf.html"));
    EXPECT_FALSE(anyone.Allows("/search?q=1"));
    EXPECT_TRUE(anyone.Allows("/search"));

    const RobotsRules named(
        "User-agent: *\nDisallow: /\n\nUser-agent: Tarnwick\nUser-agent: x\nDisallow: /tmp\n",
        "Tarnwick");
    EXPECT_TRUE(named.Allows("/docs/"));
    EXPECT_FALSE(named.Allows("/tmp/a"));
    EXPECT_TRUE(RobotsRules("Disallow /x\nUser-agent *\n", "Tarnwick").Allows("/x"));
    EXPECT_TRUE(RobotsRules().Allows("/x"));
}

}  // namespace
}  // namespace tarnwick
