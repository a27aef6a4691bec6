#include "engine/search/ResultLink.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

#include "engine/net/HexDigit.h"

namespace tarnwick {

namespace {

void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character a reference stands for ("amp", "#39", "#x2F"), or nothing.
std::optional<std::uint32_t> ReferencedCharacter(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> kNamed = {{
        {"amp", '&'},
        {"lt", '<'},
        {"gt", '>'},
        {"quot", '"'},
        {"apos", '\''},
    }};
    for (const auto& [text, character] : kNamed) {
        if (name == text) {
            return static_cast<std::uint32_t>(character);
        }
    }
    if (name.size() < 2 || name[0] != '#') {
        return std::nullopt;
    }
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    std::uint32_t code = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
    // NUL, surrogates and values beyond Unicode stand for nothing a link may hold.
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return code;
}

bool IsSchemeCharacter(char c, bool first) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// The scheme of an absolute reference, lowercased; empty for a relative one.
std::string SchemeOf(std::string_view link) {
    std::string scheme;
    for (std::size_t i = 0; i < link.size(); ++i) {
        if (link[i] == ':') {
            return scheme;
        }
        if (!IsSchemeCharacter(link[i], i == 0)) {
            return {};
        }
        scheme += static_cast<char>(link[i] >= 'A' && link[i] <= 'Z' ? link[i] + 32 : link[i]);
    }
    return {};
}

// RFC 3986's remove_dot_segments for an absolute path.
std::string WithoutDotSegments(std::string_view path) {
    std::string out;
    while (!path.empty()) {
        if (path.starts_with("/./") || path == "/.") {
            path = path.size() > 2 ? path.substr(2) : "/";
        } else if (path.starts_with("/../") || path == "/..") {
            path = path.size() > 3 ? path.substr(3) : "/";
            const std::size_t slash = out.rfind('/');
            out.erase(slash == std::string::npos ? 0 : slash);
        } else {
            const std::size_t next = path.find('/', 1);
            out += path.substr(0, next);
            path = next == std::string_view::npos ? std::string_view{} : path.substr(next);
        }
    }
    return out;
}

// The parts of an absolute http(s) address that relative links build on.
struct BaseParts {
    std::string_view scheme;     // "https"
    std::string_view authority;  // "host:port"
    std::string_view path;       // "/dir/page", maybe empty
    std::string_view query;      // "?q=x", maybe empty
};

std::optional<BaseParts> PartsOf(std::string_view url) {
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    BaseParts parts;
    parts.scheme = url.substr(0, colon);
    std::string_view rest = url.substr(colon + 3);
    rest = rest.substr(0, rest.find('#'));
    const std::size_t authorityEnd = rest.find_first_of("/?");
    parts.authority = rest.substr(0, authorityEnd);
    rest = authorityEnd == std::string_view::npos ? std::string_view{} : rest.substr(authorityEnd);
    const std::size_t question = rest.find('?');
    parts.path = rest.substr(0, question);
    parts.query = question == std::string_view::npos ? std::string_view{} : rest.substr(question);
    return parts;
}

std::string Resolved(const BaseParts& base, std::string_view link) {
    const std::string origin = std::string(base.scheme) + "://" + std::string(base.authority);
    if (link.starts_with("//")) {
        return std::string(base.scheme) + ":" + std::string(link);
    }
    // The reference's own query and fragment stay as written; only its path is merged.
    const std::size_t pathEnd = std::min(link.find_first_of("?#"), link.size());
    const std::string_view path = link.substr(0, pathEnd);
    const std::string_view tail = link.substr(pathEnd);
    if (path.empty()) {
        const std::string basePath = base.path.empty() ? "/" : std::string(base.path);
        return origin + basePath + std::string(tail.starts_with('#') ? base.query : "") +
               std::string(tail);
    }
    if (path.starts_with('/')) {
        return origin + WithoutDotSegments(path) + std::string(tail);
    }
    const std::size_t slash = base.path.rfind('/');
    const std::string folder =
        slash == std::string_view::npos ? "/" : std::string(base.path.substr(0, slash + 1));
    return origin + WithoutDotSegments(folder + std::string(path)) + std::string(tail);
}

std::string_view TrimmedBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string HtmlDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t semicolon = text[i] == '&' ? text.find(';', i + 1) : std::string::npos;
        // References are short; a far semicolon belongs to something else.
        if (semicolon != std::string::npos && semicolon - i <= 10) {
            if (const auto code = ReferencedCharacter(text.substr(i + 1, semicolon - i - 1))) {
                AppendUtf8(*code, out);
                i = semicolon;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<std::string> AbsoluteResultLink(std::string_view pageUrl, std::string_view link) {
    link = TrimmedBlanks(link);
    if (link.empty()) {
        return std::nullopt;
    }
    std::string absolute;
    const std::string scheme = SchemeOf(link);
    if (!scheme.empty()) {
        if ((scheme != "http" && scheme != "https") ||
            !link.substr(scheme.size() + 1).starts_with("//")) {
            return std::nullopt;
        }
        absolute = link;
    } else {
        const std::optional<BaseParts> base = PartsOf(pageUrl);
        if (!base) {
            return std::nullopt;
        }
        absolute = Resolved(*base, link);
    }
    // Checked whole, since the page's own address goes into a relative link.
    std::string spaced;
    for (const char c : absolute) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return std::nullopt;
        }
        spaced += c == ' ' ? std::string("%20") : std::string(1, c);
    }
    return spaced;
}

}  // namespace tarnwick
