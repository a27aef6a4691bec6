#include <gtest/gtest.h>

#include "model/WebProjectOptions.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

TEST(WebProjectOptions, AHandEditedFileReadsAsFarAsItMakesSense) {
    const WebProjectOptionsFile options = ParseWebProjectOptions(
        "# comment\r\n"
        "depth=9\r\n"  // before any section: nobody's
        "[docs]\r\n"
        "  depth = 3 \r\n"
        "connections=2\r\n"
        "colour=blue\n"
        "\n"
        "[name [with] brackets]\n"
        "depth=2\n"
        "[bad]\n"
        "depth=-4\n"
        "connections=0\n"
        "connections=17\n"
        "[zero]\n"
        "depth=0\n"
        "[last]\n"
        "depth=7");
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options.at("docs").maxDepth, 3);
    EXPECT_EQ(options.at("docs").connections, 2);
    EXPECT_EQ(options.at("last").connections, WebProjectOptions::kDefaultConnections);
    EXPECT_EQ(options.at("name [with] brackets").maxDepth, 2);
    EXPECT_EQ(options.at("last").maxDepth, 7);
    EXPECT_EQ(ParseWebProjectOptions(RenderWebProjectOptions(options)), options);
}

TEST(WebProjectOptions, StoringKeepsOtherProjectsAndNothingRemoves) {
    TempFolder folder;
    EXPECT_EQ(LoadWebProjectOptions(folder.Path(), "docs").maxDepth, 0);  // no file
    EXPECT_TRUE(StoreWebProjectOptions(folder.Path(), "docs", WebProjectOptions{2}));
    EXPECT_TRUE(StoreWebProjectOptions(folder.Path(), "blog", WebProjectOptions{5}));
    EXPECT_EQ(LoadWebProjectOptions(folder.Path(), "docs").maxDepth, 2);
    EXPECT_TRUE(StoreWebProjectOptions(folder.Path(), "docs", std::nullopt));
    EXPECT_EQ(LoadWebProjectOptions(folder.Path(), "docs").maxDepth, 0);
    EXPECT_EQ(LoadWebProjectOptions(folder.Path(), "blog").maxDepth, 5);
    EXPECT_EQ(ReadFileBytes(folder.Path() / kWebProjectOptionsFileName),
              "# Tarnwick web project options, version 1\n\n[blog]\ndepth=5\n");

    WriteFileBytes(folder.Path() / kWebProjectOptionsFileName, std::string("\0\xff[x", 4));
    EXPECT_EQ(LoadWebProjectOptions(folder.Path(), "blog").maxDepth, 0);  // damaged: defaults
}

TEST(WebProjectOptions, ChangesReadOnlyWhatTheyCanSet) {
    const auto changes = ParseWebProjectOptionChanges("robots=obey\ndelay=0\n");
    ASSERT_TRUE(changes.has_value());
    WebProjectOptions options = NewWebProjectOptions();
    options.ignoreRobots = true;
    options.delayMs = 500;
    changes->ApplyTo(options);
    EXPECT_FALSE(options.ignoreRobots);
    EXPECT_EQ(options.delayMs, 0);
    EXPECT_TRUE(options.requisites);  // not among the changes
    // CR LF and no final line end are fine; anything that is not a change it can make is not.
    const auto crlf = ParseWebProjectOptionChanges("depth=3\r\nconnections=2");
    ASSERT_TRUE(crlf.has_value());
    EXPECT_EQ(crlf->maxDepth, 3);
    EXPECT_EQ(crlf->connections, 2);
    for (const char* bad : {"connections=17\n", "robots=maybe\n", "colour=1\n", "depth\n",
                            "depth= 3\n", "delay=1=2\n", "[docs]\ndepth=3\n"}) {
        EXPECT_FALSE(ParseWebProjectOptionChanges(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace tarnwick
