#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

TEST(EntryList, AnEntryKeepsItsIdWhileOthersComeAndGo) {
    FileEntryList list;
    const EntryId a = list.AppendUrl("http://h/a");
    const EntryId b = list.AppendUrl("http://h/b");
    const EntryId c = list.AppendUrl("http://h/c");
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_TRUE(list.Remove(a));
    EXPECT_FALSE(list.Remove(a));
    EXPECT_EQ(list.Find(a), nullptr);
    EXPECT_EQ(list.Find(c)->url, "http://h/c");
    EXPECT_EQ(list.IdAt(1), c);
    EXPECT_EQ(list.IdAt(0), b);
    EXPECT_EQ(list.IdAt(2), kNoEntry);
    // A new entry never takes an id given before.
    EXPECT_NE(list.AppendUrl("http://h/a"), a);
}

TEST(EntryList, AnEntryMovedToAnotherListKeepsItsIdThere) {
    FileEntryList requested;
    FileEntryList downloaded;
    EntryId shared = 1;
    requested.ShareIdsWith(shared);
    downloaded.ShareIdsWith(shared);
    const EntryId older = downloaded.AppendUrl("http://h/old");
    const EntryId moving = requested.AppendUrl("http://h/new");
    EXPECT_EQ(downloaded.Adopt(*requested.Find(moving), moving), moving);
    requested.Remove(moving);
    EXPECT_EQ(downloaded.IdAt(1), moving);
    // Its id taken already, an adopted entry gets a new one, never one of the other lists.
    const EntryId again = downloaded.Adopt(FileEntry{"x", ""}, older);
    EXPECT_NE(again, older);
    EXPECT_NE(again, moving);
    EXPECT_EQ(requested.AppendUrl("y"), again + 1);
}

TEST(EntryList, LookUpsByNameFollowRemovalsAndKeysChangedInPlace) {
    WebProjectList list;
    WebProject project;
    for (const char* name : {"Site", "other", "SITE"}) {
        project.name = name;
        list.Append(project);
    }
    const EntryId first = list.FindIdByName("site");
    list.Remove(first);
    EXPECT_EQ(list.FindByName("site"), 1);
    EXPECT_EQ(list.Find(list.FindIdByName("site"))->name, "SITE");
    // Renamed through the pointer GetAt gives, as editors do: found under the new name only.
    list.GetAt(0)->name = "renamed";
    EXPECT_EQ(list.FindByName("other"), -1);
    EXPECT_EQ(list.FindByName("RENAMED"), 0);
    list.Find(list.FindIdByName("site"))->name = "other";
    EXPECT_EQ(list.FindByName("site"), -1);
    EXPECT_EQ(list.FindByName("other"), 1);
}

// Many appends and removals at random places, each checked against a plain vector: order,
// indexes, ids and first matches by name stay right while holes open and close.
TEST(EntryList, IndexesAndIdsMatchAPlainListThroughManyRemovals) {
    FileEntryList list;
    std::vector<std::pair<EntryId, std::string>> expected;
    std::mt19937 random(7);
    for (int step = 0; step < 4000; ++step) {
        if (expected.empty() || random() % 3 != 0) {
            const std::string url = "http://h/" + std::to_string(random() % 50);
            expected.emplace_back(list.AppendUrl(url), url);
            continue;
        }
        const std::size_t at = random() % expected.size();
        if (random() % 2 == 0) {
            list.RemoveAt(static_cast<int>(at));
        } else {
            ASSERT_TRUE(list.Remove(expected[at].first));
        }
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
        ASSERT_EQ(list.GetCount(), static_cast<int>(expected.size()));
        const std::size_t probe = random() % expected.size();
        ASSERT_EQ(list.IdAt(static_cast<int>(probe)), expected[probe].first);
        ASSERT_EQ(list.GetAt(static_cast<int>(probe))->url, expected[probe].second);
        const std::string wanted = "HTTP://h/" + std::to_string(random() % 50);
        int first = -1;
        for (std::size_t i = 0; i < expected.size() && first < 0; ++i) {
            if (EqualsIgnoreCase(expected[i].second, wanted)) {
                first = static_cast<int>(i);
            }
        }
        ASSERT_EQ(list.FindByName(wanted), first) << wanted;
    }
    std::size_t i = 0;
    for (const auto& [id, entry] : list.WithIds()) {
        ASSERT_EQ(id, expected[i].first);
        ASSERT_EQ(entry.url, expected[i++].second);
    }
    EXPECT_EQ(i, expected.size());
}

}  // namespace
}  // namespace tarnwick
