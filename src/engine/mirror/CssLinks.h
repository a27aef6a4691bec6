#pragma once

#include <string_view>
#include <vector>

#include "engine/mirror/LinkSpan.h"

namespace tarnwick {

// The links of a style sheet, a <style> block or a style attribute: every url(...) and every
// @import, in the order they stand, outside comments. An @import is a style sheet, any other
// url() a resource. Empty links are left out.
std::vector<LinkSpan> FindCssLinks(std::string_view css);

}  // namespace tarnwick
