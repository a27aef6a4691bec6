#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tarnwick {

// Where one attribute of a start tag stands in the page.
struct AttributeSpan {
    std::string_view name;  // as written
    std::size_t nameBegin = 0;
    std::size_t valueBegin = 0;  // the value with its quotes, if it has any; empty when the
    std::size_t valueEnd = 0;    // attribute has no value
};

struct StartTag {
    std::size_t close = 0;  // the '>' that ends it
    std::vector<AttributeSpan> attributes;
};

// Reads the start tag that opens at `open` (its '<') by the HTML tokenizer's rules for
// attributes, looking no further than `limit`. The parser knows which tags there are; this
// says where their attributes stand, so links can be replaced in place. False when no tag
// closes before the limit.
bool ReadStartTag(std::string_view page, std::size_t open, std::size_t limit, StartTag& tag);

}  // namespace tarnwick
