#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// An absolute http or https address split into its RFC 3986 parts, normalised the way
// browsers compare them: scheme and host in lower case, the default port left out, an empty
// path made "/", dot segments removed.
struct WebAddress {
    std::string scheme;  // "http" or "https"
    std::string host;
    std::string port;   // empty for the scheme's default
    std::string path;   // starts with '/'
    std::string query;  // without '?'
    std::string fragment;
    bool hasQuery = false;
    bool hasFragment = false;

    // Scheme, host and port: what "the same site" compares.
    std::string Origin() const;
    // The whole address; withFragment false leaves the fragment out, which is what is fetched.
    std::string Text(bool withFragment = false) const;
};

// Nothing when the text is not an absolute http or https address with a host.
std::optional<WebAddress> ParseWebAddress(std::string_view text);

// Resolves a reference found in a page against the page's base address (RFC 3986 section
// 5.2), after dropping the blanks and line breaks browsers drop; '\' counts as '/'. Nothing
// for references that lead to no web address (mailto:, javascript:, data:, an empty host).
std::optional<WebAddress> ResolveReference(const WebAddress& base, std::string_view reference);

// RFC 3986 section 5.2.4.
std::string RemoveDotSegments(std::string_view path);

}  // namespace tarnwick
