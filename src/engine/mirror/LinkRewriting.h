#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/mirror/HtmlLinks.h"
#include "engine/mirror/LinkSpan.h"

namespace tarnwick {

// What a link, as written, is to become; nothing leaves it as it is.
using LinkMapping = std::function<std::optional<std::string>(std::string_view link, LinkUse use)>;

// The style sheet with its links replaced.
std::string RewriteCss(std::string_view css, const LinkMapping& mapping);

// The page with the links of its slots replaced and its <base href> dropped (the links made
// relative are relative to the stored page). Everything else stays byte for byte.
std::string RewriteHtml(std::string_view page, const HtmlLinks& links, const LinkMapping& mapping);

}  // namespace tarnwick
