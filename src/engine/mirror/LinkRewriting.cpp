#include "engine/mirror/LinkRewriting.h"

#include <algorithm>
#include <vector>

#include "engine/mirror/CssLinks.h"

namespace tarnwick {

namespace {

std::string Replaced(std::string_view text, const std::vector<LinkSpan>& spans,
                     const LinkMapping& mapping) {
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (const LinkSpan& span : spans) {
        const std::optional<std::string> replacement =
            mapping(text.substr(span.begin, span.end - span.begin), span.use);
        if (!replacement) {
            continue;
        }
        result.append(text.substr(copied, span.begin - copied));
        result += *replacement;
        copied = span.end;
    }
    result.append(text.substr(copied));
    return result;
}

std::string QuotedAttribute(std::string_view value) {
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '&') {
            quoted += "&amp;";
        } else if (c == '"') {
            quoted += "&quot;";
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

}  // namespace

std::string RewriteCss(std::string_view css, const LinkMapping& mapping) {
    return Replaced(css, FindCssLinks(css), mapping);
}

std::string RewriteHtml(std::string_view page, const HtmlLinks& links, const LinkMapping& mapping) {
    struct Edit {
        std::size_t begin;
        std::size_t end;
        std::string text;
    };
    std::vector<Edit> edits;
    if (links.baseHref) {
        edits.push_back({links.baseBegin, links.baseEnd, {}});
    }
    for (const HtmlLinkSlot& slot : links.slots) {
        std::string value = Replaced(slot.value, LinksOf(slot), mapping);
        if (value != slot.value) {
            edits.push_back(
                {slot.begin, slot.end, slot.isAttribute ? QuotedAttribute(value) : value});
        }
    }
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    std::string result;
    result.reserve(page.size() + page.size() / 8);
    std::size_t copied = 0;
    for (const Edit& edit : edits) {
        if (edit.begin < copied) {
            continue;  // overlaps one already made
        }
        result.append(page.substr(copied, edit.begin - copied));
        result += edit.text;
        copied = edit.end;
    }
    result.append(page.substr(copied));
    return result;
}

}  // namespace tarnwick
