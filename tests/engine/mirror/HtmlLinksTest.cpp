#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/mirror/CssLinks.h"
#include "engine/mirror/HtmlLinks.h"
#include "engine/mirror/LinkRewriting.h"

namespace tarnwick {
namespace {

using Found = std::vector<std::pair<std::string, LinkUse>>;

Found LinksIn(std::string_view page) {
    Found found;
    for (const HtmlLinkSlot& slot : FindHtmlLinks(page).slots) {
        for (const LinkSpan& span : LinksOf(slot)) {
            found.emplace_back(slot.value.substr(span.begin, span.end - span.begin), span.use);
        }
    }
    return found;
}

std::vector<std::string> SlotValues(std::string_view page) {
    std::vector<std::string> values;
    for (const HtmlLinkSlot& slot : FindHtmlLinks(page).slots) {
        values.push_back(slot.value);
    }
    return values;
}

TEST(HtmlLinks, FindsEveryLinkOfAMinifiedPageInOrder) {
    const std::string page =
        "<!DOCTYPE html><html><head><base href=\"/root/\"><link rel=\"Stylesheet\" "
        "href=\"s.css?v=1&amp;w=2\"><link rel=\"shortcut icon\" href=/i.ico><link rel=next "
        "href=n.html><link rel=preload as=style href=p.css><meta http-equiv=Refresh "
        "content=\"5; URL='later.html'\"><style>@import 'b.css';p{background:url(bg.png)}"
        "</style><script src=j.js></script></head><body background=body.gif><a "
        "href='a.html#x'>a</a><map><area href=m.html></map><img src=\"i.png\" "
        "srcset=\"i-1.png 1x,i-2.png 2x, i,3.png 3x\"><picture><source "
        "srcset=\"w.webp 100w\" src=s.webp></picture><video poster=v.jpg src=v.mp4><track "
        "src=t.vtt></video><audio src=a.ogg></audio><iframe src=f.html></iframe><embed "
        "src=e.swf><object data=o.svg></object><div style=\"background:url(&quot;d.png&quot;)"
        "\"></div><!-- <a href=commented.html> --><svg><a href=svg.html></a></svg>"
        "<a href=\"  spaced.html \n\">s</a></body></html>";
    const HtmlLinks links = FindHtmlLinks(page);
    ASSERT_TRUE(links.baseHref.has_value());
    EXPECT_EQ(*links.baseHref, "/root/");
    EXPECT_EQ(page.substr(links.baseBegin, links.baseEnd - links.baseBegin), "href=\"/root/\"");
    const Found expected = {
        {"s.css?v=1&w=2", LinkUse::StyleSheet}, {"/i.ico", LinkUse::Resource},
        {"n.html", LinkUse::Navigation},        {"p.css", LinkUse::StyleSheet},
        {"later.html", LinkUse::Navigation},    {"b.css", LinkUse::StyleSheet},
        {"bg.png", LinkUse::Resource},          {"j.js", LinkUse::Resource},
        {"body.gif", LinkUse::Resource},        {"a.html#x", LinkUse::Navigation},
        {"m.html", LinkUse::Navigation},        {"i.png", LinkUse::Resource},
        {"i-1.png", LinkUse::Resource},         {"i-2.png", LinkUse::Resource},
        {"i,3.png", LinkUse::Resource},         {"w.webp", LinkUse::Resource},
        {"s.webp", LinkUse::Resource},          {"v.jpg", LinkUse::Resource},
        {"v.mp4", LinkUse::Resource},           {"t.vtt", LinkUse::Resource},
        {"a.ogg", LinkUse::Resource},           {"f.html", LinkUse::Frame},
        {"e.swf", LinkUse::Resource},           {"o.svg", LinkUse::Resource},
        {"d.png", LinkUse::Resource},           {"spaced.html", LinkUse::Navigation},
    };
    EXPECT_EQ(LinksIn(page), expected);
}

TEST(HtmlLinks, RewritesTheAttributeTheParserReadWhateverLooksLikeItNearby) {
    // Look-alikes in a title, a comment, another attribute's value, a script and a
    // textarea; a repeated attribute (the first counts); a self-closing tag; names in
    // capitals; a query whose "&copy" is no character reference; bytes that are not UTF-8.
    const std::string page =
        "<title>A <a href=h.html></title><p><!-- <a href=c.html x=' --><a HREF='y.html'><a "
        "title=\"<a href=t.html>\" href=real.html href=second.html><script>s='<img "
        "src=s.png>'</script><img src=i.png /><textarea><img src=x.png></textarea><a "
        "href=\"q?a=1&copy=2&amp;b\"><a href=\"\xE9t\xE9.html\">";
    EXPECT_EQ(SlotValues(page), (std::vector<std::string>{"y.html", "real.html", "i.png",
                                                          "q?a=1&copy=2&b", "\xE9t\xE9.html"}));
    const LinkMapping mapping = [](std::string_view link, LinkUse) {
        return std::optional<std::string>("L/" + std::string(link));
    };
    EXPECT_EQ(RewriteHtml(page, FindHtmlLinks(page), mapping),
              "<title>A <a href=h.html></title><p><!-- <a href=c.html x=' --><a "
              "HREF=\"L/y.html\"><a title=\"<a href=t.html>\" href=\"L/real.html\" "
              "href=second.html><script>s='<img src=s.png>'</script><img src=\"L/i.png\" "
              "/><textarea><img src=x.png></textarea><a href=\"L/q?a=1&amp;copy=2&amp;b\"><a "
              "href=\"L/\xE9t\xE9.html\">");
}

TEST(HtmlLinks, AStyleBlockIsOneTextHoweverLong) {
    // The parser hands a long block over in pieces; a url() across their seam is one link.
    const std::string css = std::string(995, ' ') + "p{background:url(across.png)}";
    const std::string page = "<html><head><style>" + css + "</style></head><body></body></html>";
    const HtmlLinks links = FindHtmlLinks(page);
    ASSERT_EQ(links.slots.size(), 1u);
    EXPECT_EQ(links.slots[0].value, css);
    EXPECT_EQ(LinksIn(page), (Found{{"across.png", LinkUse::Resource}}));
}

TEST(HtmlLinks, CssLinksSkipCommentsAndStringsThatAreNoLinks) {
    const std::string css =
        "/* url(no.png) */@import url(\"a.css\") screen;@IMPORT 'b.css';\r\n"
        "p::before{content:\"url(no2.png)\"}q{background:URL( c.png )}"
        "r{mask:myurl(no3.png);src:url(\"\")}s{background:url(\"d\\\").png\")}"
        "t{background:url(e.png";
    std::vector<std::string> found;
    for (const LinkSpan& span : FindCssLinks(css)) {
        found.push_back(css.substr(span.begin, span.end - span.begin) +
                        (span.use == LinkUse::StyleSheet ? " (sheet)" : ""));
    }
    EXPECT_EQ(found, (std::vector<std::string>{"a.css (sheet)", "b.css (sheet)", "c.png",
                                               "d\\\").png", "e.png"}));
}

TEST(HtmlLinks, RewritingChangesOnlyTheLinksAndDropsTheBase) {
    const std::string page =
        "<HTML><base target=_top href=\"http://h/\"><a class=x href='a.html'>a&amp;b</a>"
        "<img srcset=\"p.png 1x, q.png 2x\" alt=\"&quot;\"><a href=mailto:x@y>m</a>"
        "<style>p{background:url(p.png)}</style><p style='color:red'>";
    const LinkMapping mapping = [](std::string_view link, LinkUse) -> std::optional<std::string> {
        if (link == "a.html") {
            return "dir/a b&c\".html";
        }
        if (link == "p.png") {
            return "img/p.png";
        }
        return std::nullopt;
    };
    EXPECT_EQ(RewriteHtml(page, FindHtmlLinks(page), mapping),
              "<HTML><base target=_top ><a class=x href=\"dir/a b&amp;c&quot;.html\">a&amp;b</a>"
              "<img srcset=\"img/p.png 1x, q.png 2x\" alt=\"&quot;\"><a href=mailto:x@y>m</a>"
              "<style>p{background:url(img/p.png)}</style><p style='color:red'>");
    EXPECT_EQ(RewriteCss("@import 'p.png';x{y:url(q.png)}", mapping),
              "@import 'img/p.png';x{y:url(q.png)}");
}

}  // namespace
}  // namespace tarnwick
