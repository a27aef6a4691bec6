#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The text of an HTML attribute with its character references decoded by libxml2's table of
// HTML's named ones (&amp; &eacute;), and numeric ones (&#39; &#x2F;). Others stay as written.
std::string HtmlDecoded(std::string_view text);

// %XX sequences decoded, for links carried as a parameter of an engine's redirect.
std::string PercentDecoded(std::string_view text);

// The link as an absolute http or https address, resolved against the page it was found on as
// a browser would and normalised as Url does; nothing for other schemes, an empty link or one
// holding control characters, which no list line could carry.
std::optional<std::string> AbsoluteResultLink(std::string_view pageUrl, std::string_view link);

}  // namespace tarnwick
