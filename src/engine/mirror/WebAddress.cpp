#include "engine/mirror/WebAddress.h"

#include <cctype>

namespace tarnwick {

namespace {

constexpr std::size_t npos = std::string_view::npos;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = Lower(c);
    }
    return lower;
}

// Bytes a browser escapes before sending a path or a query: controls, blanks, non-ASCII.
std::string Escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// The reference as a browser reads it from an attribute.
std::string Cleaned(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    std::string cleaned;
    cleaned.reserve(text.size());
    for (const char c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            continue;
        }
        cleaned += c == '\\' ? '/' : c;
    }
    return cleaned;
}

struct Reference {
    std::optional<std::string> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

Reference Split(std::string_view text) {
    Reference ref;
    if (const std::size_t hash = text.find('#'); hash != npos) {
        ref.fragment = text.substr(hash + 1);
        text = text.substr(0, hash);
    }
    if (const std::size_t question = text.find('?'); question != npos) {
        ref.query = text.substr(question + 1);
        text = text.substr(0, question);
    }
    const std::size_t colon = text.find(':');
    if (colon != npos && colon > 0 && std::isalpha(static_cast<unsigned char>(text[0]))) {
        bool isScheme = true;
        for (std::size_t i = 1; i < colon; ++i) {
            const char c = text[i];
            isScheme = isScheme && (std::isalnum(static_cast<unsigned char>(c)) || c == '+' ||
                                    c == '-' || c == '.');
        }
        if (isScheme) {
            ref.scheme = Lowercase(text.substr(0, colon));
            text = text.substr(colon + 1);
        }
    }
    if (text.starts_with("//")) {
        const std::size_t slash = text.find('/', 2);
        ref.authority = text.substr(2, slash == npos ? npos : slash - 2);
        text = slash == npos ? std::string_view() : text.substr(slash);
    }
    ref.path = text;
    return ref;
}

// Host and port from an authority; user information is left out.
bool SetAuthority(std::string_view authority, const std::string& scheme, WebAddress& address) {
    if (const std::size_t at = authority.rfind('@'); at != npos) {
        authority = authority.substr(at + 1);
    }
    std::string_view host = authority;
    std::string_view port;
    const std::size_t bracket = authority.rfind(']');
    const std::size_t colon = authority.rfind(':');
    if (colon != npos && (bracket == npos || colon > bracket)) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    for (const char c : port) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    while (port.size() > 1 && port.front() == '0') {
        port.remove_prefix(1);
    }
    if (host.empty() || port.size() > 5) {
        return false;
    }
    address.host = Lowercase(host);
    const bool isDefault =
        port.empty() || (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
    address.port = isDefault ? std::string() : std::string(port);
    return true;
}

std::string MergedPath(const WebAddress& base, std::string_view path) {
    const std::size_t slash = base.path.rfind('/');
    return base.path.substr(0, slash == std::string::npos ? 0 : slash + 1) + std::string(path);
}

void SetQueryAndFragment(const Reference& ref, WebAddress& address) {
    if (ref.query) {
        address.hasQuery = true;
        address.query = Escaped(*ref.query);
    }
    address.hasFragment = ref.fragment.has_value();
    address.fragment = ref.fragment ? std::string(*ref.fragment) : std::string();
}

}  // namespace

std::string WebAddress::Origin() const {
    return scheme + "://" + host + (port.empty() ? "" : ":" + port);
}

std::string WebAddress::Text(bool withFragment) const {
    std::string text = Origin() + path;
    if (hasQuery) {
        text += '?' + query;
    }
    if (withFragment && hasFragment) {
        text += '#' + fragment;
    }
    return text;
}

std::string RemoveDotSegments(std::string_view path) {
    std::string output;
    while (!path.empty()) {
        if (path.starts_with("../")) {
            path.remove_prefix(3);
        } else if (path.starts_with("./")) {
            path.remove_prefix(2);
        } else if (path.starts_with("/./")) {
            path.remove_prefix(2);
        } else if (path == "/.") {
            path = "/";
        } else if (path.starts_with("/../") || path == "/..") {
            path = path.size() == 3 ? std::string_view("/") : path.substr(3);
            const std::size_t last = output.rfind('/');
            output.erase(last == std::string::npos ? 0 : last);
        } else if (path == "." || path == "..") {
            path = {};
        } else {
            const std::size_t next = path.find('/', 1);
            const std::size_t length = next == npos ? path.size() : next;
            output.append(path.substr(0, length));
            path.remove_prefix(length);
        }
    }
    return output;
}

std::optional<WebAddress> ParseWebAddress(std::string_view text) {
    const std::string cleaned = Cleaned(text);
    const Reference ref = Split(cleaned);
    if (!ref.scheme || (*ref.scheme != "http" && *ref.scheme != "https") || !ref.authority) {
        return std::nullopt;
    }
    WebAddress address;
    address.scheme = *ref.scheme;
    if (!SetAuthority(*ref.authority, address.scheme, address)) {
        return std::nullopt;
    }
    address.path = Escaped(RemoveDotSegments(ref.path));
    if (address.path.empty()) {
        address.path = "/";
    }
    SetQueryAndFragment(ref, address);
    return address;
}

std::optional<WebAddress> ResolveReference(const WebAddress& base, std::string_view reference) {
    const std::string cleaned = Cleaned(reference);
    const Reference ref = Split(cleaned);
    if (ref.scheme) {
        return ParseWebAddress(cleaned);
    }
    WebAddress target;
    target.scheme = base.scheme;
    if (ref.authority) {
        if (!SetAuthority(*ref.authority, target.scheme, target)) {
            return std::nullopt;
        }
        target.path = RemoveDotSegments(ref.path);
        SetQueryAndFragment(ref, target);
    } else {
        target.host = base.host;
        target.port = base.port;
        if (ref.path.empty()) {
            target.path = base.path;
            SetQueryAndFragment(ref, target);
            if (!ref.query) {
                target.hasQuery = base.hasQuery;
                target.query = base.query;
            }
            return target;
        }
        target.path = RemoveDotSegments(ref.path.starts_with('/') ? std::string(ref.path)
                                                                  : MergedPath(base, ref.path));
        SetQueryAndFragment(ref, target);
    }
    target.path = Escaped(target.path);
    if (target.path.empty()) {
        target.path = "/";
    }
    return target;
}

}  // namespace tarnwick
