#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mirror/SiteFolder.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using Segments = std::optional<std::vector<std::string>>;

TEST(SiteFolderName, ReplacesSeparatorsAndDotNames) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"demo", "demo"}, {"My Site", "My Site"},
        {"../x", ".._x"}, {"a\\b/c", "a_b_c"},
        {"", "_"},        {".", "_"},
        {"..", "_"},      {"...", "..."},
        {"/", "_"},
    };
    for (const auto& [name, folder] : cases) {
        EXPECT_EQ(SiteFolder::FolderName(name), folder) << name;
    }
}

TEST(SiteFolderSegments, KeepsNamesInsideTheSiteFolder) {
    TempFolder work;
    const SiteFolder folder(work.Path(), "demo");
    ASSERT_EQ(folder.RelativePath(), "WebSites/demo");
    const std::vector<std::pair<std::string, Segments>> cases = {
        {"WebSites/demo/default.htm", std::vector<std::string>{"default.htm"}},
        {"WebSites/demo/a/b/p.htm", std::vector<std::string>{"a", "b", "p.htm"}},
        {"WebSites/demo/a\\b/p.htm", std::vector<std::string>{"a", "b", "p.htm"}},
        {"WebSites/demo/a//b.htm", std::vector<std::string>{"a", "b.htm"}},
        {"WebSites/demo/%2e%2e/x", std::vector<std::string>{"%2e%2e", "x"}},
        {"WebSites/demo/a..b/...", std::vector<std::string>{"a..b", "..."}},
        {"WebSites/demo/" + std::string(255, 'n'), std::vector<std::string>{std::string(255, 'n')}},
        // hostile or nameless
        {"WebSites/demo/../x.htm", std::nullopt},
        {"WebSites/demo/a/../../x.htm", std::nullopt},
        {"WebSites/demo/./x.htm", std::nullopt},
        {"WebSites/demo/a\\..\\..\\x.htm", std::nullopt},
        {"WebSites/demo/a/..", std::nullopt},
        {"WebSites/demo/", std::nullopt},
        {"WebSites/demo/a/", std::nullopt},
        {"WebSites/demo", std::nullopt},
        {"WebSites/demox/a.htm", std::nullopt},
        {"WebSites/other/a.htm", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"WebSites/demo/" + std::string(256, 'n'), std::nullopt},
        {std::string("WebSites/demo/a\0b", 17), std::nullopt},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(folder.SegmentsBelow(name), expected) << name;
    }
}

class SiteFolderFilesTest : public ::testing::Test {
protected:
    std::filesystem::path Site() const { return work.Path() / "WebSites" / "demo"; }

    TempFolder work;
    TempFolder outside;
};

TEST_F(SiteFolderFilesTest, CreatesNestedFoldersAndTruncates) {
    SiteFolder folder(work.Path(), "demo");
    EXPECT_EQ(folder.AbsolutePath(), (work.Path() / "WebSites/demo").string());
    {
        FileWriter file = folder.CreateFile("WebSites/demo/a/b/p.htm");
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write("a long first text"));
        EXPECT_TRUE(file.Close());
    }
    FileWriter again = folder.CreateFile("WebSites/demo/a/b/p.htm");
    ASSERT_TRUE(again.IsOpen());
    again.Write("short");
    again.Close();
    EXPECT_EQ(ReadFileBytes(Site() / "a/b/p.htm"), "short");
    EXPECT_FALSE(folder.CreateFile("WebSites/demo/a/../../escape.htm").IsOpen());
    EXPECT_EQ(work.Tree(),
              (std::vector<std::string>{"WebSites", "WebSites/demo", "WebSites/demo/a",
                                        "WebSites/demo/a/b", "WebSites/demo/a/b/p.htm"}));
}

TEST_F(SiteFolderFilesTest, KeepsFilesApartAcrossManyFolders) {
    SiteFolder folder(work.Path(), "demo");
    std::vector<std::string> expected = {"WebSites", "WebSites/demo"};
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 12; ++i) {
            const std::string path = "f" + std::to_string(i) + "/g/" + std::to_string(round);
            FileWriter file = folder.CreateFile("WebSites/demo/" + path);
            ASSERT_TRUE(file.IsOpen()) << path;
            file.Write(path);
        }
    }
    for (int i = 0; i < 12; ++i) {
        const std::string folderName = "WebSites/demo/f" + std::to_string(i);
        expected.insert(expected.end(),
                        {folderName, folderName + "/g", folderName + "/g/0", folderName + "/g/1"});
        EXPECT_EQ(ReadFileBytes(work.Path() / (folderName + "/g/1")),
                  "f" + std::to_string(i) + "/g/1");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(work.Tree(), expected);
}

TEST_F(SiteFolderFilesTest, DoesNotFollowPlantedLinks) {
    SiteFolder folder(work.Path(), "demo");
    std::filesystem::create_symlink(outside.Path(), Site() / "linked");
    testing::WriteFileBytes(outside.Path() / "victim.htm", "keep");
    std::filesystem::create_symlink(outside.Path() / "victim.htm", Site() / "victim.htm");
    ASSERT_EQ(::mkfifo((Site() / "fifo.htm").c_str(), 0600), 0);

    EXPECT_FALSE(folder.CreateFile("WebSites/demo/linked/evil.htm").IsOpen());
    EXPECT_FALSE(folder.CreateFile("WebSites/demo/victim.htm").IsOpen());
    EXPECT_FALSE(folder.CreateFile("WebSites/demo/fifo.htm").IsOpen());
    EXPECT_TRUE(folder.CreateFile("WebSites/demo/plain/fine.htm").IsOpen());

    EXPECT_EQ(outside.Tree(), std::vector<std::string>{"victim.htm"});
    EXPECT_EQ(ReadFileBytes(outside.Path() / "victim.htm"), "keep");
}

TEST_F(SiteFolderFilesTest, RefusesEverythingWhenWebSitesIsALink) {
    std::filesystem::create_symlink(outside.Path(), work.Path() / "WebSites");
    SiteFolder folder(work.Path(), "demo");
    EXPECT_FALSE(folder.CreateFile("WebSites/demo/p.htm").IsOpen());
    EXPECT_TRUE(outside.Tree().empty());
}

}  // namespace
}  // namespace tarnwick
