#include "engine/mirror/HtmlLinks.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include "engine/mirror/CssLinks.h"
#include "engine/mirror/StartTag.h"
#include "model/Records.h"

namespace tarnwick {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool HasWord(std::string_view list, std::string_view word) {
    const std::string lower = AsciiLowercase(list);
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

// An attribute's value as the parser decoded it, or nothing when the tag has none.
const char* Attribute(const xmlChar** attributes, std::string_view name) {
    for (; attributes != nullptr && attributes[0] != nullptr; attributes += 2) {
        if (name == reinterpret_cast<const char*>(attributes[0])) {
            return attributes[1] != nullptr ? reinterpret_cast<const char*>(attributes[1])
                                            : nullptr;
        }
    }
    return nullptr;
}

// A <link>: style sheets and what displays the page are requisites, other relations links.
LinkUse LinkElementUse(const xmlChar** attributes) {
    const char* rel = Attribute(attributes, "rel");
    const std::string_view rels = rel ? rel : "";
    if (HasWord(rels, "stylesheet")) {
        return LinkUse::StyleSheet;
    }
    if (HasWord(rels, "preload") || HasWord(rels, "modulepreload")) {
        const char* as = Attribute(attributes, "as");
        return as && AsciiLowercase(as) == "style" ? LinkUse::StyleSheet : LinkUse::Resource;
    }
    for (const std::string_view word : {"icon", "apple-touch-icon", "mask-icon", "manifest"}) {
        if (HasWord(rels, word)) {
            return LinkUse::Resource;
        }
    }
    return LinkUse::Navigation;
}

struct LinkAttribute {
    std::string_view tag;
    std::string_view name;
    SlotSyntax syntax;
    LinkUse use;
};

constexpr LinkAttribute kLinkAttributes[] = {
    {"a", "href", SlotSyntax::Url, LinkUse::Navigation},
    {"area", "href", SlotSyntax::Url, LinkUse::Navigation},
    {"script", "src", SlotSyntax::Url, LinkUse::Resource},
    {"img", "src", SlotSyntax::Url, LinkUse::Resource},
    {"img", "srcset", SlotSyntax::Srcset, LinkUse::Resource},
    {"source", "src", SlotSyntax::Url, LinkUse::Resource},
    {"source", "srcset", SlotSyntax::Srcset, LinkUse::Resource},
    {"video", "src", SlotSyntax::Url, LinkUse::Resource},
    {"video", "poster", SlotSyntax::Url, LinkUse::Resource},
    {"audio", "src", SlotSyntax::Url, LinkUse::Resource},
    {"track", "src", SlotSyntax::Url, LinkUse::Resource},
    {"iframe", "src", SlotSyntax::Url, LinkUse::Frame},
    {"frame", "src", SlotSyntax::Url, LinkUse::Frame},
    {"embed", "src", SlotSyntax::Url, LinkUse::Resource},
    {"object", "data", SlotSyntax::Url, LinkUse::Resource},
    {"input", "src", SlotSyntax::Url, LinkUse::Resource},
    {"body", "background", SlotSyntax::Url, LinkUse::Resource},
    {"table", "background", SlotSyntax::Url, LinkUse::Resource},
    {"td", "background", SlotSyntax::Url, LinkUse::Resource},
    {"th", "background", SlotSyntax::Url, LinkUse::Resource},
};

bool SameName(std::string_view written, std::string_view name) {
    return written.size() == name.size() &&
           std::equal(written.begin(), written.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

// Elements whose content holds no links of the page: SVG and MathML, which are not its HTML,
// and title, textarea and xmp, whose content browsers show as text, however it looks.
bool HoldsNoLinks(std::string_view name) {
    return name == "svg" || name == "math" || name == "title" || name == "textarea" ||
           name == "xmp";
}

// Walks the page with libxml2's HTML parser, which reports each start tag with its decoded
// attributes as it reads it, and finds in the page where the attributes that hold links
// stand, so the copy can replace them in place.
class Collector {
public:
    explicit Collector(std::string_view page) : page_(page) {}

    HtmlLinks Run() {
        static const bool ready = (xmlInitParser(), true);  // once, before any thread parses
        (void)ready;
        if (page_.empty() || page_.size() > static_cast<std::size_t>(INT_MAX)) {
            return {};
        }
        htmlSAXHandler handler{};
        handler.startElement = [](void* self, const xmlChar* name, const xmlChar** attributes) {
            static_cast<Collector*>(self)->Start(reinterpret_cast<const char*>(name), attributes);
        };
        handler.endElement = [](void* self, const xmlChar* name) {
            static_cast<Collector*>(self)->End(reinterpret_cast<const char*>(name));
        };
        handler.characters = [](void* self, const xmlChar*, int) {
            static_cast<Collector*>(self)->Text();
        };
        handler.cdataBlock = handler.characters;
        handler.ignorableWhitespace = handler.characters;
        handler.comment = [](void* self, const xmlChar*) { static_cast<Collector*>(self)->Text(); };
        context_ = htmlCreateMemoryParserCtxt(page_.data(), static_cast<int>(page_.size()));
        if (context_ == nullptr) {
            return {};
        }
        *context_->sax = handler;
        context_->userData = this;
        htmlCtxtUseOptions(context_, HTML_PARSE_RECOVER | HTML_PARSE_NOERROR |
                                         HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                                         HTML_PARSE_NOIMPLIED | XML_PARSE_HUGE);
        htmlParseDocument(context_);
        htmlFreeParserCtxt(context_);
        // In page order, also the attributes of one tag.
        std::sort(links_.slots.begin(), links_.slots.end(),
                  [](const HtmlLinkSlot& a, const HtmlLinkSlot& b) { return a.begin < b.begin; });
        return std::move(links_);
    }

private:
    struct Wanted {
        std::string_view name;
        const char* value;
        SlotSyntax syntax;
        LinkUse use;
    };

    // Where the parser stands in the page, in the page's own bytes.
    std::size_t Position() const {
        const long consumed = xmlByteConsumed(context_);
        return consumed < 0 ? 0 : std::min(static_cast<std::size_t>(consumed), page_.size());
    }

    // Text and comments end before the next tag opens, so no tag is looked for before them.
    void Text() {
        const std::size_t at = Position();
        searchFrom_ = std::max(searchFrom_, at);
        if (styleBegin_) {
            styleEnd_ = std::max(styleEnd_, at);
        }
    }

    void Start(std::string_view name, const xmlChar** attributes) {
        // The parser stands at the tag's '>', or at the '/' of "/>".
        const std::size_t at = Position();
        if (HoldsNoLinks(name)) {
            ++noLinksDepth_;
        }
        if (noLinksDepth_ > 0) {
            return;
        }
        const bool isStyle = name == "style";
        if (attributes == nullptr && !isStyle) {
            return;  // also what the parser adds that the page does not have
        }
        wanted_.clear();
        const auto want = [&](std::string_view attribute, SlotSyntax syntax, LinkUse use) {
            if (const char* value = Attribute(attributes, attribute)) {
                wanted_.push_back({attribute, value, syntax, use});
            }
        };
        for (const LinkAttribute& known : kLinkAttributes) {
            if (known.tag == name) {
                want(known.name, known.syntax, known.use);
            }
        }
        if (name == "link") {
            want("href", SlotSyntax::Url, LinkElementUse(attributes));
        } else if (name == "meta") {
            const char* equiv = Attribute(attributes, "http-equiv");
            if (equiv && AsciiLowercase(equiv) == "refresh") {
                want("content", SlotSyntax::Refresh, LinkUse::Navigation);
            }
        }
        want("style", SlotSyntax::Css, LinkUse::Resource);
        const bool isBase = name == "base" && !links_.baseHref && Attribute(attributes, "href");
        if ((wanted_.empty() && !isBase && !isStyle) || !Locate(name, at)) {
            searchFrom_ = std::max(searchFrom_, at);
            return;
        }
        searchFrom_ = tag_.close;
        if (isStyle) {
            styleBegin_ = styleEnd_ = tag_.close + 1;
        }
        for (const Wanted& wanted : wanted_) {
            const AttributeSpan* span = Find(wanted.name);
            if (span != nullptr && span->valueEnd > span->valueBegin) {
                links_.slots.push_back({span->valueBegin, span->valueEnd, true,
                                        ValueOf(*span, wanted.value), wanted.syntax, wanted.use});
            }
        }
        if (isBase) {
            if (const AttributeSpan* href = Find("href")) {
                links_.baseHref = ValueOf(*href, Attribute(attributes, "href"));
                links_.baseBegin = href->nameBegin;
                links_.baseEnd = href->valueEnd;
            }
        }
    }

    void End(std::string_view name) {
        if (HoldsNoLinks(name) && noLinksDepth_ > 0) {
            --noLinksDepth_;
        } else if (name == "style" && styleBegin_) {
            if (styleEnd_ > *styleBegin_) {
                links_.slots.push_back(
                    {*styleBegin_, styleEnd_, false,
                     std::string(page_.substr(*styleBegin_, styleEnd_ - *styleBegin_)),
                     SlotSyntax::Css, LinkUse::Resource});
            }
            styleBegin_.reset();
        }
    }

    // Finds the tag the parser just read: the first "<name" since the last place known to be
    // outside a tag that reads as a tag ending where the parser stands. Reading is bounded
    // in all, so a page of unclosed look-alikes costs no more than a few readings of it.
    bool Locate(std::string_view name, std::size_t at) {
        const std::size_t limit = std::min(at + 2, page_.size());
        for (std::size_t open = page_.find('<', searchFrom_); open < at && budget_ > 0;
             open = page_.find('<', open + 1)) {
            const std::size_t after = open + 1 + name.size();
            if (after >= page_.size() || !SameName(page_.substr(open + 1, name.size()), name) ||
                !(IsBlank(page_[after]) || page_[after] == '/' || page_[after] == '>')) {
                continue;
            }
            const bool read = ReadStartTag(page_, open, limit, tag_);
            budget_ -= static_cast<long long>((read ? tag_.close : limit) - open);
            if (read && (tag_.close == at || (tag_.close == at + 1 && page_[at] == '/'))) {
                return true;
            }
        }
        return false;
    }

    const AttributeSpan* Find(std::string_view name) const {
        for (const AttributeSpan& attribute : tag_.attributes) {
            if (SameName(attribute.name, name)) {
                return &attribute;
            }
        }
        return nullptr;
    }

    // The page's own bytes when it has no character references, so a link in another
    // encoding stays as written; else as the parser decoded it.
    std::string ValueOf(const AttributeSpan& span, const char* decoded) const {
        std::string_view raw = page_.substr(span.valueBegin, span.valueEnd - span.valueBegin);
        if (!raw.empty() && (raw.front() == '"' || raw.front() == '\'')) {
            raw = raw.substr(1, raw.size() - 2);
        }
        return raw.find('&') == std::string_view::npos ? std::string(raw) : std::string(decoded);
    }

    std::string_view page_;
    htmlParserCtxtPtr context_ = nullptr;
    HtmlLinks links_;
    std::size_t searchFrom_ = 0;
    long long budget_ = 4 * static_cast<long long>(page_.size()) + 4096;
    int noLinksDepth_ = 0;
    std::optional<std::size_t> styleBegin_;
    std::size_t styleEnd_ = 0;
    std::vector<Wanted> wanted_;
    StartTag tag_;
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
    const std::string lower = AsciiLowercase(value);
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
    return Collector(page).Run();
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
