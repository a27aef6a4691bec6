// Feeds each input to the HTML and CSS link finders as a portable crawl does, and checks what
// holds for any input: every span lies inside its text, slots stand apart in page order, links
// resolve or are refused without harm, and rewriting with a mapping that changes nothing leaves
// the page byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/mirror/CssLinks.h"
#include "engine/mirror/HtmlLinks.h"
#include "engine/mirror/LinkRewriting.h"
#include "engine/mirror/StoredNames.h"
#include "engine/net/Url.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckSpans(std::string_view text, const std::vector<tarnwick::LinkSpan>& spans,
                const tarnwick::Url& base) {
    for (const tarnwick::LinkSpan& span : spans) {
        Require(span.begin < span.end && span.end <= text.size());
        const std::string_view link = text.substr(span.begin, span.end - span.begin);
        if (const auto resolved = base.Resolve(link)) {
            Require(resolved->Path().starts_with('/'));
            tarnwick::StoredNameOf(*resolved, tarnwick::StoredKind::Page);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tarnwick::Url base = *tarnwick::Url::Parse("http://host/a/b/p.html");

    const tarnwick::HtmlLinks links = tarnwick::FindHtmlLinks(text);
    std::size_t previousEnd = 0;
    for (const tarnwick::HtmlLinkSlot& slot : links.slots) {
        // In page order and apart: each is one attribute or block the parser read.
        Require(previousEnd <= slot.begin && slot.begin < slot.end && slot.end <= text.size());
        previousEnd = slot.end;
        CheckSpans(slot.value, tarnwick::LinksOf(slot), base);
    }
    if (links.baseHref) {
        Require(links.baseBegin < links.baseEnd && links.baseEnd <= text.size());
    }
    const auto keep = [](std::string_view, tarnwick::LinkUse) -> std::optional<std::string> {
        return std::nullopt;
    };
    tarnwick::HtmlLinks withoutBase = links;
    withoutBase.baseHref.reset();
    Require(tarnwick::RewriteHtml(text, withoutBase, keep) == text);
    const auto replace = [](std::string_view link, tarnwick::LinkUse) {
        return std::optional<std::string>("x/" + std::string(link));
    };
    tarnwick::RewriteHtml(text, links, replace);

    CheckSpans(text, tarnwick::FindCssLinks(text), base);
    Require(tarnwick::RewriteCss(text, keep) == text);
    return 0;
}
