#include <gtest/gtest.h>

#include "engine/mirror/StoredNames.h"

namespace tarnwick {
namespace {

struct Naming {
    const char* url;
    StoredKind kind;
    const char* expected;
};

TEST(StoredNames, NameFetchedAddressesAsTheCopyNeedsThem) {
    const Naming table[] = {
        {"http://h/", StoredKind::Page, "index.html"},
        {"http://h/docs/", StoredKind::Page, "docs/index.html"},
        {"http://h/docs/a.html", StoredKind::Page, "docs/a.html"},
        {"http://h/docs/a.HTM", StoredKind::Page, "docs/a.HTM"},
        {"http://h/list.php?page=2", StoredKind::Page, "list.php@page=2.html"},
        {"http://h/s.css?v=3", StoredKind::StyleSheet, "s.css@v=3.css"},
        {"http://h/s.css", StoredKind::StyleSheet, "s.css"},
        {"http://h/img.png?x=a/b", StoredKind::Other, "img.png@x=a%2Fb"},
        {"http://h/a%20b/c%2Fd.png", StoredKind::Other, "a b/c%2Fd.png"},
        {"http://h/x/%2E%2E/y", StoredKind::Other, "x/%../y"},
        {"http://h/a//b", StoredKind::Other, "a/%/b"},
        {"http://h/tarnwick-report.html", StoredKind::Page, "tarnwick-report.html_.html"},
        {"http://h/sub/tarnwick-report.html", StoredKind::Page, "sub/tarnwick-report.html"},
        {"http://h/tarnwick-state.txt", StoredKind::Other, "tarnwick-state.txt_"},
    };
    for (const Naming& row : table) {
        EXPECT_EQ(StoredNameOf(*Url::Parse(row.url), row.kind), row.expected) << row.url;
    }
}

struct Relative {
    const char* from;
    const char* to;
    const char* fragment;  // nullptr: none
    const char* expected;
};

TEST(StoredNames, LinksBetweenStoredFilesAreRelativeAndEscaped) {
    const Relative table[] = {
        {"index.html", "a.html", nullptr, "a.html"},
        {"index.html", "docs/a.html", "top", "docs/a.html#top"},
        {"docs/a.html", "index.html", nullptr, "../index.html"},
        {"a/b/c.html", "a/d/e.png", nullptr, "../d/e.png"},
        {"a/b/c.html", "a/b/c.html", "x", "c.html#x"},
        {"a/b/c.html", "x/y.css", nullptr, "../../x/y.css"},
        {"p.html", "a b#?%.png", nullptr, "a%20b%23%3F%25.png"},
        {"p.html", "list.php@page=2&x=1.html", "", "list.php@page=2&x=1.html#"},
        {"p.html", "c:d.png", nullptr, "./c:d.png"},
        {"docs/p.html", "docs/sub/", nullptr, "sub/"},
    };
    for (const Relative& row : table) {
        EXPECT_EQ(RelativeLink(row.from, row.to, row.fragment != nullptr,
                               row.fragment ? row.fragment : ""),
                  row.expected)
            << row.from << " -> " << row.to;
    }
}

}  // namespace
}  // namespace tarnwick
