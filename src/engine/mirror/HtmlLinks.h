#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/mirror/LinkSpan.h"

namespace tarnwick {

// How the links stand inside one place of a page.
enum class SlotSyntax {
    Url,      // the whole value is one link
    Srcset,   // image candidates: links each followed by a width or density
    Refresh,  // a meta refresh: "5; url=next.html"
    Css,      // a style attribute or a <style> block
};

// One place in a page that holds links: an attribute value, or the text of a <style> block.
struct HtmlLinkSlot {
    std::size_t begin = 0;    // the span in the page: an attribute value with its quotes, or
    std::size_t end = 0;      // a <style> block's text
    bool isAttribute = true;  // a value is written back quoted, with '&' and '"' escaped
    std::string value;        // as the browser reads it: entities decoded
    SlotSyntax syntax = SlotSyntax::Url;
    LinkUse use = LinkUse::Navigation;  // of Url, Srcset and Refresh slots
};

// Every link of an HTML page, whatever its layout, as an HTML5 browser parses the page.
struct HtmlLinks {
    std::optional<std::string> baseHref;  // of the first <base href>, entities decoded
    std::size_t baseBegin = 0;            // that attribute, name to value: a copy whose
    std::size_t baseEnd = 0;              // links are made relative drops it
    std::vector<HtmlLinkSlot> slots;      // in the order they stand in the page
};

HtmlLinks FindHtmlLinks(std::string_view page);

// The links inside a slot's value, as offsets in that value.
std::vector<LinkSpan> LinksOf(const HtmlLinkSlot& slot);

}  // namespace tarnwick
