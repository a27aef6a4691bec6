#include "engine/mirror/HtmlLinks.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include <gumbo.h>

#include "engine/mirror/CssLinks.h"

namespace tarnwick {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

bool HasWord(std::string_view list, std::string_view word) {
    const std::string lower = Lowercase(list);
    std::size_t at = 0;
    while ((at = lower.find(word, at)) != std::string::npos) {
        const bool startsWord = at == 0 || IsBlank(lower[at - 1]);
        const std::size_t after = at + word.size();
        if (startsWord && (after == lower.size() || IsBlank(lower[after]))) {
            return true;
        }
        at = after;
    }
    return false;
}

const GumboAttribute* Attribute(const GumboElement& element, const char* name) {
    return gumbo_get_attribute(&element.attributes, name);
}

// A <link>: style sheets and what displays the page are requisites, other relations links.
LinkUse LinkElementUse(const GumboElement& element) {
    const GumboAttribute* rel = Attribute(element, "rel");
    const std::string_view rels = rel ? rel->value : "";
    if (HasWord(rels, "stylesheet")) {
        return LinkUse::StyleSheet;
    }
    if (HasWord(rels, "preload") || HasWord(rels, "modulepreload")) {
        const GumboAttribute* as = Attribute(element, "as");
        return as && Lowercase(as->value) == "style" ? LinkUse::StyleSheet : LinkUse::Resource;
    }
    for (const std::string_view word : {"icon", "apple-touch-icon", "mask-icon", "manifest"}) {
        if (HasWord(rels, word)) {
            return LinkUse::Resource;
        }
    }
    return LinkUse::Navigation;
}

struct LinkAttribute {
    GumboTag tag;
    const char* name;
    SlotSyntax syntax;
    LinkUse use;
};

constexpr LinkAttribute kLinkAttributes[] = {
    {GUMBO_TAG_A, "href", SlotSyntax::Url, LinkUse::Navigation},
    {GUMBO_TAG_AREA, "href", SlotSyntax::Url, LinkUse::Navigation},
    {GUMBO_TAG_SCRIPT, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_IMG, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_IMG, "srcset", SlotSyntax::Srcset, LinkUse::Resource},
    {GUMBO_TAG_SOURCE, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_SOURCE, "srcset", SlotSyntax::Srcset, LinkUse::Resource},
    {GUMBO_TAG_VIDEO, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_VIDEO, "poster", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_AUDIO, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_TRACK, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_IFRAME, "src", SlotSyntax::Url, LinkUse::Frame},
    {GUMBO_TAG_FRAME, "src", SlotSyntax::Url, LinkUse::Frame},
    {GUMBO_TAG_EMBED, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_OBJECT, "data", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_INPUT, "src", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_BODY, "background", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_TABLE, "background", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_TD, "background", SlotSyntax::Url, LinkUse::Resource},
    {GUMBO_TAG_TH, "background", SlotSyntax::Url, LinkUse::Resource},
};

class Collector {
public:
    explicit Collector(std::string_view page) : page_(page) {}

    HtmlLinks Run(const GumboNode* root) {
        std::vector<const GumboNode*> pending = {root};
        while (!pending.empty()) {
            const GumboNode* node = pending.back();
            pending.pop_back();
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) {
                continue;
            }
            const GumboElement& element = node->v.element;
            Element(element);
            // Children go on in reverse, so the walk meets them in page order.
            for (unsigned i = element.children.length; i-- > 0;) {
                pending.push_back(static_cast<const GumboNode*>(element.children.data[i]));
            }
        }
        std::sort(links_.slots.begin(), links_.slots.end(),
                  [](const HtmlLinkSlot& a, const HtmlLinkSlot& b) { return a.begin < b.begin; });
        return std::move(links_);
    }

private:
    void Element(const GumboElement& element) {
        if (element.tag_namespace != GUMBO_NAMESPACE_HTML) {
            return;
        }
        for (const LinkAttribute& known : kLinkAttributes) {
            if (known.tag == element.tag) {
                AddAttribute(Attribute(element, known.name), known.syntax, known.use);
            }
        }
        if (element.tag == GUMBO_TAG_LINK) {
            AddAttribute(Attribute(element, "href"), SlotSyntax::Url, LinkElementUse(element));
        } else if (element.tag == GUMBO_TAG_META) {
            const GumboAttribute* equiv = Attribute(element, "http-equiv");
            if (equiv && Lowercase(equiv->value) == "refresh") {
                AddAttribute(Attribute(element, "content"), SlotSyntax::Refresh,
                             LinkUse::Navigation);
            }
        } else if (element.tag == GUMBO_TAG_BASE) {
            Base(Attribute(element, "href"));
        } else if (element.tag == GUMBO_TAG_STYLE) {
            StyleBlock(element);
        }
        AddAttribute(Attribute(element, "style"), SlotSyntax::Css, LinkUse::Resource);
    }

    // The span of a piece of the page, or nothing when it does not point into the page.
    std::optional<std::pair<std::size_t, std::size_t>> SpanOf(const GumboStringPiece& piece) {
        const char* begin = page_.data();
        if (piece.data == nullptr || piece.length == 0 || piece.data < begin ||
            piece.data + piece.length > begin + page_.size()) {
            return std::nullopt;
        }
        const auto offset = static_cast<std::size_t>(piece.data - begin);
        return std::make_pair(offset, offset + piece.length);
    }

    void AddAttribute(const GumboAttribute* attribute, SlotSyntax syntax, LinkUse use) {
        if (attribute == nullptr) {
            return;
        }
        const auto span = SpanOf(attribute->original_value);
        // Elements the parser copies (reopened formatting elements) share their source.
        if (!span || !taken_.insert(span->first).second) {
            return;
        }
        links_.slots.push_back({span->first, span->second, true, attribute->value, syntax, use});
    }

    void Base(const GumboAttribute* href) {
        if (href == nullptr || links_.baseHref) {
            return;
        }
        const auto name = SpanOf(href->original_name);
        const auto value = SpanOf(href->original_value);
        if (!name || !value) {
            return;
        }
        links_.baseHref = href->value;
        links_.baseBegin = name->first;
        links_.baseEnd = value->second;
    }

    void StyleBlock(const GumboElement& element) {
        for (unsigned i = 0; i < element.children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
            if (child->type != GUMBO_NODE_TEXT && child->type != GUMBO_NODE_WHITESPACE) {
                continue;
            }
            const auto span = SpanOf(child->v.text.original_text);
            if (span && taken_.insert(span->first).second) {
                links_.slots.push_back(
                    {span->first, span->second, false,
                     std::string(page_.substr(span->first, span->second - span->first)),
                     SlotSyntax::Css, LinkUse::Resource});
            }
        }
    }

    std::string_view page_;
    HtmlLinks links_;
    std::set<std::size_t> taken_;
};

std::vector<LinkSpan> SrcsetLinks(std::string_view value, LinkUse use) {
    std::vector<LinkSpan> spans;
    std::size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && (IsBlank(value[i]) || value[i] == ',')) {
            ++i;
        }
        const std::size_t begin = i;
        while (i < value.size() && !IsBlank(value[i])) {
            ++i;
        }
        std::size_t end = i;
        const bool endsCandidate = end > begin && value[end - 1] == ',';
        while (end > begin && value[end - 1] == ',') {
            --end;
        }
        if (end > begin) {
            spans.push_back({begin, end, use});
        }
        if (endsCandidate) {
            continue;
        }
        // The descriptors, up to a comma outside parentheses.
        int depth = 0;
        while (i < value.size() && (value[i] != ',' || depth > 0)) {
            depth += value[i] == '(' ? 1 : value[i] == ')' ? -1 : 0;
            ++i;
        }
    }
    return spans;
}

std::vector<LinkSpan> RefreshLinks(std::string_view value, LinkUse use) {
    const std::string lower = Lowercase(value);
    std::size_t at = lower.find_first_of(";,");
    if (at == std::string::npos) {
        return {};
    }
    at = lower.find_first_not_of(" \t\n\r\f", at + 1);
    if (at == std::string::npos || lower.compare(at, 3, "url") != 0) {
        return {};
    }
    at = lower.find_first_not_of(" \t\n\r\f", at + 3);
    if (at == std::string::npos || lower[at] != '=') {
        return {};
    }
    at = lower.find_first_not_of(" \t\n\r\f", at + 1);
    if (at == std::string::npos) {
        return {};
    }
    std::size_t end = value.size();
    if (value[at] == '"' || value[at] == '\'') {
        const std::size_t close = value.find(value[at], at + 1);
        end = close == std::string::npos ? end : close;
        ++at;
    }
    while (end > at && IsBlank(value[end - 1])) {
        --end;
    }
    if (end <= at) {
        return {};
    }
    return {{at, end, use}};
}

}  // namespace

HtmlLinks FindHtmlLinks(std::string_view page) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // the errors are not wanted, and a broken page has many
    GumboOutput* output = gumbo_parse_with_options(&options, page.data(), page.size());
    HtmlLinks links = Collector(page).Run(output->root);
    gumbo_destroy_output(&options, output);
    return links;
}

std::vector<LinkSpan> LinksOf(const HtmlLinkSlot& slot) {
    switch (slot.syntax) {
        case SlotSyntax::Url: {
            const std::size_t begin = slot.value.find_first_not_of(" \t\n\r\f");
            if (begin == std::string::npos) {
                return {};
            }
            const std::size_t end = slot.value.find_last_not_of(" \t\n\r\f") + 1;
            return {{begin, end, slot.use}};
        }
        case SlotSyntax::Srcset:
            return SrcsetLinks(slot.value, slot.use);
        case SlotSyntax::Refresh:
            return RefreshLinks(slot.value, slot.use);
        case SlotSyntax::Css:
            return FindCssLinks(slot.value);
    }
    return {};
}

}  // namespace tarnwick
