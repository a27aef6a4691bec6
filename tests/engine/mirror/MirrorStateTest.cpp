#include <gtest/gtest.h>

#include "engine/mirror/MirrorState.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

TEST(MirrorState, ReadsBackWhatItWroteAndToleratesHandEdits) {
    MirrorState state;
    state.Put("http://h/", {"index.html",
                            StoredKind::Page,
                            {"\"i1\"", "Mon, 01 Jan 2024 00:00:00 GMT"},
                            {{"http://h/a b.html", LinkUse::Navigation},
                             {"http://h/s.css", LinkUse::StyleSheet},
                             {"http://h/f.html", LinkUse::Frame},
                             {"http://h/p.png", LinkUse::Resource}}});
    state.Put("http://h/s.css", {"s.css", StoredKind::StyleSheet, {"W/\"s\"", ""}, {}});
    state.Put("http://h/x", {"x", StoredKind::Other, {"\"bad\nline\"", ""}, {}});
    const std::string text = state.Render();

    const MirrorState read = MirrorState::Parse(text);
    ASSERT_NE(read.Find("http://h/"), nullptr);
    EXPECT_EQ(*read.Find("http://h/"), *state.Find("http://h/"));
    ASSERT_NE(read.Find("http://h/s.css"), nullptr);
    EXPECT_EQ(*read.Find("http://h/s.css"), *state.Find("http://h/s.css"));
    // A value that would break its line is not kept: that address is fetched whole again.
    EXPECT_EQ(read.Find("http://h/x"), nullptr);
    EXPECT_EQ(read.Render(), text);

    // CR LF, blank lines, comments, unknown keys and a last line without its end still read;
    // values are kept as written, with their own blanks and '=' signs.
    const MirrorState edited = MirrorState::Parse(
        "# Tarnwick mirror state, version 1\r\n\r\n# a note\r\nurl http://h/?a=1&b=2\r\n"
        "file index.html\r\nkind page\r\ncolour blue\r\nlink bogus x\r\n"
        "link nav http://h/a b.html?c=d \r\nmodified  Mon, 01 Jan 2024\r\netag \"e\"\r\nend");
    const StoredRecord* record = edited.Find("http://h/?a=1&b=2");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->validators.etag, "\"e\"");
    EXPECT_EQ(record->validators.lastModified, " Mon, 01 Jan 2024");
    ASSERT_EQ(record->links.size(), 1u);
    EXPECT_EQ(record->links[0].first, "http://h/a b.html?c=d ");
}

TEST(MirrorState, ADamagedOrForeignFileReadsAsNoRecords) {
    const std::string record = "url http://h/\nfile index.html\nkind page\netag \"e\"\n";
    EXPECT_EQ(MirrorState::Parse("# Tarnwick mirror state, version 2\n" + record + "end\n")
                  .Find("http://h/"),
              nullptr);
    EXPECT_EQ(MirrorState::Parse("\x7f"
                                 "ELF garbage\n" +
                                 record + "end\n")
                  .Find("http://h/"),
              nullptr);
    // Cut short: a record without its end, so without the links it may have had, is not used.
    EXPECT_EQ(MirrorState::Parse("# Tarnwick mirror state, version 1\n" + record).Find("http://h/"),
              nullptr);
    EXPECT_EQ(MirrorState::Parse("# Tarnwick mirror state, version 1\nurl http://h/\nend\n")
                  .Find("http://h/"),
              nullptr);
    ConfinedFolder missing("/nonexistent/folder");
    EXPECT_EQ(MirrorState::Load(missing).Find("http://h/"), nullptr);
}

// The state is kept at the top of the site folder, and a link in place of the site folder is
// neither read through nor written through.
TEST(MirrorState, IsKeptInsideTheSiteFolderOnly) {
    testing::TempFolder work;
    testing::TempFolder outside;
    MirrorState state;
    state.Put("http://h/", {"index.html", StoredKind::Page, {"\"i1\"", ""}, {}});
    {
        ConfinedFolder site(work.Path(), {"WebSites", "demo"});
        ASSERT_TRUE(site.Open(true));
        ASSERT_TRUE(state.Save(site));
    }
    EXPECT_EQ(work.Tree(), (std::vector<std::string>{"WebSites", "WebSites/demo",
                                                     "WebSites/demo/tarnwick-state.txt"}));
    ConfinedFolder site(work.Path(), {"WebSites", "demo"});
    ASSERT_NE(MirrorState::Load(site).Find("http://h/"), nullptr);

    std::filesystem::rename(work.Path() / "WebSites" / "demo", outside.Path() / "demo");
    std::filesystem::create_directory_symlink(outside.Path() / "demo",
                                              work.Path() / "WebSites" / "demo");
    ConfinedFolder linked(work.Path(), {"WebSites", "demo"});
    EXPECT_EQ(MirrorState::Load(linked).Find("http://h/"), nullptr);
    EXPECT_FALSE(MirrorState().Save(linked));
    EXPECT_EQ(testing::ReadFileBytes(outside.Path() / "demo" / "tarnwick-state.txt"),
              state.Render());
}

}  // namespace
}  // namespace tarnwick
