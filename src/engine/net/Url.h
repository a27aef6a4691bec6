#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// An absolute http, https or ftp URL, parsed by libcurl's URL API and normalised the way
// browsers compare addresses: scheme and host in lower case, the default port left out, an
// empty path made "/", dot segments removed, and the bytes a browser escapes (blanks, controls,
// non-ASCII, '"', '<', '>', '`') percent-encoded in path, query and fragment. User information
// is left out: what is fetched, stored and compared is the address alone.
class Url {
public:
    // Nothing when the text is not an absolute http, https or ftp URL with a host.
    static std::optional<Url> Parse(std::string_view text);

    // A reference found in a page resolved against this URL (RFC 3986 section 5.2), after
    // dropping the blanks and line breaks browsers drop; '\' counts as '/'. Nothing for
    // references that lead to no http, https or ftp URL (mailto:, javascript:, an empty host).
    std::optional<Url> Resolve(std::string_view reference) const;

    const std::string& Scheme() const { return scheme_; }
    const std::string& Host() const { return host_; }
    const std::string& Port() const { return port_; }    // empty for the scheme's default
    const std::string& Path() const { return path_; }    // starts with '/'
    const std::string& Query() const { return query_; }  // without '?'
    bool HasQuery() const { return hasQuery_; }
    const std::string& Fragment() const { return fragment_; }  // without '#'
    bool HasFragment() const { return hasFragment_; }
    // http or https: what a web site is made of.
    bool IsWeb() const { return scheme_ == "http" || scheme_ == "https"; }

    // Scheme, host and port: what "the same site" compares.
    std::string_view Origin() const { return std::string_view(text_).substr(0, originLength_); }
    // The whole address without the fragment: what is fetched, stored and compared.
    const std::string& Text() const { return text_; }
    // With the fragment, if it has one: what a page links to.
    std::string TextWithFragment() const;

private:
    Url() = default;
    // absolute: scheme, authority, path and query, already escaped.
    static std::optional<Url> Normalised(const std::string& absolute,
                                         std::optional<std::string_view> fragment);
    void SetQueryAndFragment(std::optional<std::string> query,
                             std::optional<std::string_view> fragment);

    std::string scheme_;
    std::string host_;
    std::string port_;
    std::string path_;
    std::string query_;
    std::string fragment_;
    bool hasQuery_ = false;
    bool hasFragment_ = false;
    std::string text_;  // without the fragment
    std::size_t originLength_ = 0;
};

}  // namespace tarnwick
