#include "engine/LinkExtractor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/TempFolder.h"

namespace tarnwick {
namespace {

struct ExtractCase {
    const char* line;
    std::optional<std::string> link;  // nullopt: nothing is taken
};

void PrintTo(const ExtractCase& row, std::ostream* out) {
    *out << row.line;
}

class HrefTest : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(HrefTest, TakesTheFirstHrefOfTheWinningForm) {
    std::string link = "unchanged";
    const bool taken = LinkExtractor::ExtractHref(GetParam().line, link);
    EXPECT_EQ(taken, GetParam().link.has_value());
    EXPECT_EQ(link, GetParam().link.value_or("unchanged"));
}

INSTANTIATE_TEST_SUITE_P(
    LinkExtractor, HrefTest,
    ::testing::Values(
        // mailto: anywhere refuses the whole line
        ExtractCase{R"(<a href="a.htm">x</a> <a href='b.htm'>y</a>)", "a.htm"},
        ExtractCase{R"(<a href="a.htm">x</a> <a href='b.htm'>y</a> MailTo:me@h)", std::nullopt},
        // double quotes, case kept from the line
        ExtractCase{R"(<A HREF="Docs/Index.HTM">)", "Docs/Index.HTM"},
        ExtractCase{R"(<a href="open)", std::nullopt},
        // the double-quoted form wins over an earlier single-quoted one
        ExtractCase{R"(<a href='one.htm'> <a href="two.htm">)", "two.htm"},
        // single quotes: "' " first, then '", then '>; the first kind present wins
        ExtractCase{R"(<a href='x.htm'>y</a> <b title='c' >)", "x.htm'>y</a> <b title='c"},
        ExtractCase{R"(<a href='s.htm'>)", "s.htm"}, ExtractCase{R"(<a href='q.htm'" >)", "q.htm"},
        ExtractCase{R"(<a href='open)", std::nullopt},
        // bare: '>' before ' '
        ExtractCase{"<a href=page.htm target=x>", "page.htm target=x"},
        ExtractCase{"<a href=page.htm target=x", "page.htm"},
        ExtractCase{"<a href=page.htm", std::nullopt},
        // blanks around '=' are not an href
        ExtractCase{R"(<a href = "a.htm">)", std::nullopt},
        ExtractCase{"no link here", std::nullopt}, ExtractCase{R"(href="")", ""}));

class FrameTest : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(FrameTest, TakesADoubleQuotedSrcClosedByQuoteAndBlank) {
    std::string link = "unchanged";
    const bool taken = LinkExtractor::ExtractFrameSrc(GetParam().line, link);
    EXPECT_EQ(taken, GetParam().link.has_value());
    EXPECT_EQ(link, GetParam().link.value_or("unchanged"));
}

INSTANTIATE_TEST_SUITE_P(
    LinkExtractor, FrameTest,
    ::testing::Values(ExtractCase{R"(<frame src="Top.htm" name=t>)", "Top.htm"},
                      ExtractCase{R"(<frame src="top.htm">)", std::nullopt},
                      ExtractCase{R"(<IFRAME SRC="in.htm" width=3>)", "in.htm"},
                      ExtractCase{R"(<img src="pic.gif" alt=x>)", std::nullopt},
                      ExtractCase{R"(<frameset src=bare.htm >)", std::nullopt},
                      ExtractCase{"<frameset cols=2>", std::nullopt}));

TEST(LinkExtractor, ImageSrcPairsAnImageTagWithTheNextSrcAcrossLinesAndPages) {
    LinkExtractor scanner;
    std::string link;
    EXPECT_FALSE(scanner.ExtractImageSrc(R"(<script src="a.js" >)", link));  // no image yet
    EXPECT_FALSE(scanner.ExtractImageSrc("<img", link));
    EXPECT_TRUE(scanner.ExtractImageSrc(R"(src="p.gif" width=3>)", link));
    EXPECT_EQ(link, "p.gif");
    // Taking the link clears the pending tag.
    EXPECT_FALSE(scanner.ExtractImageSrc(R"(<script src="b.js" >)", link));

    EXPECT_TRUE(scanner.ExtractImageSrc(R"(<IMG SRC="Q.GIF">)", link));
    EXPECT_EQ(link, "Q.GIF");
    EXPECT_TRUE(scanner.ExtractImageSrc("<img src=bare.gif alt=1>", link));
    EXPECT_EQ(link, "bare.gif");
    EXPECT_TRUE(scanner.ExtractImageSrc("<img src=end.gif>", link));
    EXPECT_EQ(link, "end.gif");
    EXPECT_TRUE(scanner.ExtractImageSrc("<img src=tail.gif>x y", link));
    EXPECT_EQ(link, "tail.gif>x");  // a bare value ends at ' ' before '>'

    // An unterminated value keeps the tag pending for the next line (or the next page).
    EXPECT_FALSE(scanner.ExtractImageSrc(R"(<img src="open)", link));
    EXPECT_TRUE(scanner.ExtractImageSrc(R"(<embed src="next.gif" >)", link));
    EXPECT_EQ(link, "next.gif");

    LinkExtractor fresh;  // a new crawl starts with nothing pending
    EXPECT_FALSE(fresh.ExtractImageSrc(R"(src="p.gif" >)", link));
}

WebProject TypeProject(int getGif, const std::string& otherTypes = {}) {
    WebProject project = BlankWebProject();
    project.getGif = getGif;
    project.otherTypes = otherTypes;
    return project;
}

TEST(LinkExtractor, TypeFilterDecidesByTheFirstRuleThatApplies) {
    const WebProject gifOnly = TypeProject(1);
    EXPECT_FALSE(LinkExtractor::PassesTypeFilter("", gifOnly));
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("http://host/pics/a.GIF", gifOnly));
    EXPECT_FALSE(LinkExtractor::PassesTypeFilter("http://host/setup.exe", gifOnly));
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("http://host/dir/", gifOnly));
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("http://host/v1.2/readme", gifOnly));
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("http://host/page.html", gifOnly));
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("run.cgi?x=1", gifOnly));
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("x.gif.txt", gifOnly));  // anywhere in the link
    EXPECT_FALSE(LinkExtractor::PassesTypeFilter("nodot", gifOnly));     // neither '.' nor '/'
    EXPECT_FALSE(LinkExtractor::PassesTypeFilter("a.gif", TypeProject(0)));

    WebProject all = TypeProject(0);
    all.downloadAll = 1;
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("setup.exe", all));

    WebProject flags = TypeProject(0);
    flags.getZip = flags.getJpg = flags.getExe = flags.getMp3 = flags.getPdf = 1;
    for (const char* link : {"a.zip", "a.jpg", "a.EXE", "a.mp3", "a.pdf"}) {
        EXPECT_TRUE(LinkExtractor::PassesTypeFilter(link, flags)) << link;
    }
    EXPECT_TRUE(LinkExtractor::PassesTypeFilter("http://host/x.tar.gz", TypeProject(0, ".tar")));
    EXPECT_FALSE(LinkExtractor::PassesTypeFilter("http://host/x.rar", TypeProject(0, ".tar")));
    // otherTypes is matched as stored against the lowercase link
    EXPECT_FALSE(LinkExtractor::PassesTypeFilter("http://host/x.tar", TypeProject(0, ".TAR")));
}

TEST(LinkExtractor, LinkContainsIgnoresCaseAndRefusesFragments) {
    EXPECT_TRUE(LinkExtractor::LinkContains("Host.COM", "http://www.host.com/a.htm"));
    EXPECT_FALSE(LinkExtractor::LinkContains("host.com", "http://www.host.com/a.htm#top"));
    EXPECT_FALSE(LinkExtractor::LinkContains("other", "http://www.host.com/"));
}

TEST(LinkExtractor, SiteRootKeepsSchemeHostAndPort) {
    const std::pair<const char*, const char*> rows[] = {
        {"http://host/a/b.htm", "http://host/"},
        {"http://host", "http://host/"},
        {"http://user@host:8080/x", "http://user@host:8080/"},
        {"ftp://h/", "ftp://h/"},
    };
    for (const auto& [url, expected] : rows) {
        std::string root = "before";
        LinkExtractor::SiteRoot(url, root);
        EXPECT_EQ(root, expected) << url;
    }
    std::string root = "before";
    LinkExtractor::SiteRoot("no-scheme/a", root);
    EXPECT_EQ(root, "before");
}

TEST(LinkExtractor, IsPageUrlByExtensionSlashOrBareHost) {
    for (const char* page : {"http://host", "http://host/", "http://host/dir", "http://h/a.HTM",
                             "http://h/x.shtml", "http://www.host.com", "http://h/v1.2/"}) {
        EXPECT_TRUE(LinkExtractor::IsPageUrl(page)) << page;
    }
    for (const char* file : {"http://host/x.zip", "http://host/list.asp", "http://h/a/b.php", "",
                             "x.gif", "http://h/a.b/c.cgi"}) {
        EXPECT_FALSE(LinkExtractor::IsPageUrl(file)) << file;
    }
}

struct ResolveCase {
    const char* page;
    const char* subfolder;
    const char* link;
    const char* expected;
};

void PrintTo(const ResolveCase& row, std::ostream* out) {
    *out << row.link;
}

class ResolveTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveTest, MakesLinksAbsoluteAgainstTheStartRoot) {
    std::string link = GetParam().link;
    LinkExtractor::ResolveLink("http://host/", GetParam().page, GetParam().subfolder, link);
    EXPECT_EQ(link, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LinkExtractor, ResolveTest,
    ::testing::Values(
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "", ""},
        ResolveCase{"", "", "www.host.com/x.htm", "http://www.host.com/x.htm"},
        ResolveCase{"", "", "ftp://host/x", "ftp://host/x"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "/x.htm", "http://host/x.htm"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "../x.htm", "http://host/a/x.htm"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "../../x.htm", "http://host/x.htm"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "../../../x.htm", "http://host/x.htm"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "./x.htm", "http://host/x.htm"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "http://o/y.htm", "http://o/y.htm"},
        ResolveCase{"http://host/a/b/p.htm", "\\a\\b", "x.htm", "http://host/a/b/x.htm"},
        ResolveCase{"http://host/p.htm", "", "x.htm", "http://host/x.htm"}));

TEST(LinkExtractor, ParentSegmentsDropOneFolderPerDoubleDot) {
    const ResolveCase rows[] = {
        {"", "\\a\\b", "../c/d.htm", "/a/c/d.htm"},  {"", "\\a\\b", "../../x.htm", "/x.htm"},
        {"", "\\a", "../../../x.htm", "/x.htm"},     {"", "", "../x.htm", "/x.htm"},
        {"", "\\a\\b", "c/../d.htm", "/a/../d.htm"},  // ".." is assumed to lead the link
    };
    for (const ResolveCase& row : rows) {
        std::string link = row.link;
        LinkExtractor::ResolveParentSegments(row.subfolder, link);
        EXPECT_EQ(link, row.expected) << row.link;
    }
}

TEST(LinkExtractor, LongAndDeepInputsAreResolvedWhole) {
    std::string subfolder;
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        const std::string segment = "folder" + std::to_string(i) + std::string(10, 'x');
        subfolder += "\\" + segment;
        if (i < 39) {
            expected += "/" + segment;
        }
    }
    const std::string tail = "/" + std::string(300, 'n') + ".htm";
    std::string link = "../" + tail.substr(1);
    LinkExtractor::ResolveParentSegments(subfolder, link);
    EXPECT_GT(subfolder.size(), 256u);
    EXPECT_EQ(link, expected + tail);

    std::string url = "http://host";
    for (int i = 0; i < 40; ++i) {
        url += "/d" + std::to_string(i);
    }
    url += "/p.htm";
    std::string local;
    LinkExtractor::LocalSubfolder("http://host/", url, local);
    EXPECT_EQ(std::count(local.begin(), local.end(), '\\'), 40);
    EXPECT_TRUE(local.ends_with("\\d39"));
}

TEST(LinkExtractor, LocalSubfolderMirrorsTheUrlsFolders) {
    const std::tuple<const char*, const char*> rows[] = {
        {"http://host/a/b/p.htm", "\\a\\b"},
        {"http://host/p.htm", ""},
        {"http://host/a/", "\\a"},
        {"http://host", ""},
    };
    for (const auto& [url, expected] : rows) {
        std::string subfolder = "old";
        LinkExtractor::LocalSubfolder("http://host/", url, subfolder);
        EXPECT_EQ(subfolder, expected) << url;
    }
}

TEST(LinkExtractor, IllegalCharsAreQuestionCommaStarAndPlus) {
    for (const char* bad : {"a?b", "a,b", "a*b", "a+b"}) {
        EXPECT_TRUE(LinkExtractor::HasIllegalChars(bad)) << bad;
    }
    EXPECT_FALSE(LinkExtractor::HasIllegalChars("http://host/a-b_c.htm;x=1"));
}

TEST(LinkExtractor, RewriteTurnsSiteLinksIntoLocalPaths) {
    struct Row {
        const char* link;
        const char* subfolder;
        const char* line;
        const char* expected;
    };
    const Row rows[] = {
        {"pics/x.gif", "\\a", R"(<img src="pics/x.gif">)",
         R"(<img src="C:/work/WebSites/demo/a/pics/x.gif">)"},
        {"/pics/x.gif", "\\a", R"(<img src="/pics/x.gif">)",
         R"(<img src="C:/work/WebSites/demo/pics/x.gif">)"},
        {"pics/x.gif", "", R"(<img src="pics/x.gif">)",
         R"(<img src="C:/work/WebSites/demo/pics/x.gif">)"},
        // left alone: no '/', another site, a link not on the line, an empty link
        {"x.gif", "\\a", R"(<img src="x.gif">)", R"(<img src="x.gif">)"},
        {"http://o/x.gif", "", R"(<img src="http://o/x.gif">)", R"(<img src="http://o/x.gif">)"},
        {"news://n/g", "", R"(<a href="news://n/g">)", R"(<a href="news://n/g">)"},
        {"a/b.htm", "", R"(<a href="A/B.htm">)", R"(<a href="A/B.htm">)"},
        {"", "", "plain", "plain"},
    };
    for (const Row& row : rows) {
        std::string line = row.line;
        LinkExtractor::RewriteLinkToLocal(row.link, "C:\\work\\WebSites\\demo", row.subfolder,
                                          line);
        EXPECT_EQ(line, row.expected) << row.link;
    }
}

TEST(LinkExtractor, MakeSubfoldersCreatesEachLevelAndNeverLeavesTheSite) {
    testing::TempFolder scratch;
    const std::filesystem::path site = scratch.Path() / "site";
    std::filesystem::create_directories(site / "a");
    LinkExtractor::MakeSubfolders(site.string(), "\\a\\b\\c");
    EXPECT_TRUE(std::filesystem::is_directory(site / "a" / "b" / "c"));
    LinkExtractor::MakeSubfolders(site.string(), "");

    LinkExtractor::MakeSubfolders(site.string(), "\\..\\escaped");
    LinkExtractor::MakeSubfolders(site.string(), "\\x\\..\\..\\escaped2");
    std::filesystem::create_directory_symlink(scratch.Path(), site / "link");
    LinkExtractor::MakeSubfolders(site.string(), "\\link\\escaped3");
    LinkExtractor::MakeSubfolders(site.string(), "\\" + std::string(300, 'z') + "\\deeper");
    for (const char* outside : {"escaped", "escaped2", "escaped3"}) {
        EXPECT_FALSE(std::filesystem::exists(scratch.Path() / outside)) << outside;
    }
    EXPECT_FALSE(std::filesystem::exists(site / "escaped"));
    EXPECT_TRUE(std::filesystem::is_directory(site / "x"));  // the levels before ".." stand
    std::error_code error;
    EXPECT_FALSE(std::filesystem::exists(site / std::string(300, 'z'), error));

    // Far past the old 260-byte buffers.
    std::string deep;
    std::filesystem::path deepPath = site;
    for (int i = 0; i < 20; ++i) {
        deep += "\\" + std::string(100, static_cast<char>('a' + i));
        deepPath /= std::string(100, static_cast<char>('a' + i));
    }
    LinkExtractor::MakeSubfolders(site.string(), deep);
    EXPECT_TRUE(std::filesystem::is_directory(deepPath));
}

}  // namespace
}  // namespace tarnwick
