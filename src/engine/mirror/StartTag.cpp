#include "engine/mirror/StartTag.h"

namespace tarnwick {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

}  // namespace

bool ReadStartTag(std::string_view page, std::size_t open, std::size_t limit, StartTag& tag) {
    const std::string_view text = page.substr(0, limit);
    tag.attributes.clear();
    std::size_t at = open + 1;
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '/' && text[at] != '>') {
        ++at;
    }
    const auto skipBlanks = [&] {
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
    };
    while (true) {
        while (at < text.size() && (IsBlank(text[at]) || text[at] == '/')) {
            ++at;
        }
        if (at >= text.size()) {
            return false;
        }
        if (text[at] == '>') {
            tag.close = at;
            return true;
        }
        AttributeSpan attribute;
        attribute.nameBegin = at++;  // a first '=' belongs to the name
        while (at < text.size() && !IsBlank(text[at]) && text[at] != '/' && text[at] != '>' &&
               text[at] != '=') {
            ++at;
        }
        attribute.name = text.substr(attribute.nameBegin, at - attribute.nameBegin);
        skipBlanks();
        attribute.valueBegin = attribute.valueEnd = at;
        if (at < text.size() && text[at] == '=') {
            ++at;
            skipBlanks();
            if (at >= text.size()) {
                return false;
            }
            attribute.valueBegin = at;
            if (text[at] == '"' || text[at] == '\'') {
                const std::size_t closing = text.find(text[at], at + 1);
                if (closing == std::string_view::npos) {
                    return false;
                }
                at = closing + 1;
            } else {
                while (at < text.size() && !IsBlank(text[at]) && text[at] != '>') {
                    ++at;
                }
            }
            attribute.valueEnd = at;
        }
        tag.attributes.push_back(attribute);
    }
}

}  // namespace tarnwick
