#include <gtest/gtest.h>

#include "model/EntryList.h"

namespace tarnwick {
namespace {

TEST(EntryList, RemoveAtOutsideTheListChangesNothing) {
    FileEntryList list;
    list.RemoveAt(0);
    EXPECT_EQ(list.IsModified(), 0);

    list.AppendUrl("http://host/a.zip");
    list.SetModified(0);
    for (int index : {-1, 1, 5}) {
        list.RemoveAt(index);
        EXPECT_EQ(list.GetCount(), 1) << index;
        EXPECT_EQ(list.IsModified(), 0) << index;
    }
    list.RemoveAt(0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.IsModified(), 1);
}

TEST(EntryList, FindByNameFoldsAsciiCaseAndReturnsTheFirstMatch) {
    WebProjectList list;
    WebProject project;
    for (const char* name : {"Other", "My Site", "MY SITE"}) {
        project.name = name;
        list.Append(project);
    }
    EXPECT_EQ(list.FindByName("my site"), 1);
    EXPECT_EQ(list.FindByName("MY site"), 1);
    EXPECT_EQ(list.FindByName("my sit"), -1);
    EXPECT_EQ(list.FindByName(""), -1);
    // Only ASCII letters fold: bytes of other scripts compare exactly.
    project.name = "\xC3\xA9t\xC3\xA9";
    list.Append(project);
    EXPECT_EQ(list.FindByName("\xC3\xA9T\xC3\xA9"), 3);
    EXPECT_EQ(list.FindByName("\xC3\x89T\xC3\x89"), -1);
    EXPECT_EQ(WebProjectList().FindByName("x"), -1);
}

TEST(EntryList, GetAtAnswersNothingOutsideTheList) {
    SearchProjectList list;
    EXPECT_EQ(list.GetAt(0), nullptr);
    list.Append(SearchProject{});
    EXPECT_NE(list.GetAt(0), nullptr);
    EXPECT_EQ(list.GetAt(1), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
}

TEST(EntryList, AppendCopiesKeepOrderAndMarkModified) {
    FileEntryList list;
    const FileEntry entry{"http://host/a", "Ready for download"};
    list.Append(entry);
    list.Append(entry);
    list.Append(*list.GetAt(0));  // an entry of the same list
    ASSERT_EQ(list.GetCount(), 3);
    list.GetAt(0)->status = "edited";
    EXPECT_EQ(list.GetAt(1)->status, "Ready for download");
    EXPECT_EQ(entry.status, "Ready for download");
    EXPECT_EQ(list.IsModified(), 1);

    list.AppendUrl("http://host/newest");
    EXPECT_EQ(list.GetAt(3)->url, "http://host/newest");
    EXPECT_EQ(list.GetAt(3)->status, "Ready for download");
}

TEST(EntryList, AppendThenRemoveLeavesAnEmptyModifiedList) {
    FileEntryList list;
    list.AppendUrl("x");
    list.SetModified(0);
    list.AppendUrl("y");
    list.RemoveAt(1);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.IsModified(), 1);
}

TEST(EntryList, TextsAreCutAtTheirWidthWithoutSplittingUtf8) {
    FileEntryList list;
    list.Append(FileEntry{std::string(254, 'u'), std::string(256, 's')});
    EXPECT_EQ(list.GetAt(0)->url.size(), 254u);
    EXPECT_EQ(list.GetAt(0)->status.size(), 256u);
    list.Append(FileEntry{std::string(300, 'u'), std::string(400, 's')});
    EXPECT_EQ(list.GetAt(1)->url.size(), 254u);
    EXPECT_EQ(list.GetAt(1)->status.size(), 256u);

    // 78 ASCII bytes and a two-byte letter that would straddle the 79-byte limit.
    WebProjectList webs;
    WebProject project;
    project.name = std::string(78, 'n') + "\xC3\xA9";
    project.status = "Ready for download";
    webs.Append(project);
    EXPECT_EQ(webs.GetAt(0)->name, std::string(78, 'n'));
    project.name = std::string(77, 'n') + "\xC3\xA9";
    webs.Append(project);
    EXPECT_EQ(webs.GetAt(1)->name, project.name);
}

TEST(EntryList, SetModifiedAndChangeTracking) {
    RunningJobTable jobs;
    EXPECT_EQ(jobs.IsModified(), 0);
    const auto before = jobs.ChangeCount();
    jobs.SetModified(1);
    EXPECT_EQ(jobs.IsModified(), 1);
    jobs.ClearModifiedIfUnchangedSince(before);
    EXPECT_EQ(jobs.IsModified(), 1);  // changed after the snapshot
    jobs.ClearModifiedIfUnchangedSince(jobs.ChangeCount());
    EXPECT_EQ(jobs.IsModified(), 0);
}

}  // namespace
}  // namespace tarnwick
