#include "engine/mirror/StoredNames.h"

#include <vector>

#include "engine/net/HexDigit.h"

namespace tarnwick {

namespace {

// Escapes are decoded, except those of '/' and NUL, which no file name can hold.
std::string Decoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '%' ? HexDigitValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
        const int byte = high * 16 + low;
        if (high < 0 || low < 0 || byte == '/' || byte == 0) {
            decoded += text[i];
            continue;
        }
        decoded += static_cast<char>(byte);
        i += 2;
    }
    return decoded;
}

std::vector<std::string_view> Segments(std::string_view path) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        segments.push_back(
            path.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos) {
            return segments;
        }
        start = slash + 1;
    }
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    for (std::size_t i = 0; i < ending.size(); ++i) {
        char c = text[text.size() - ending.size() + i];
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (c != ending[i]) {
            return false;
        }
    }
    return true;
}

bool IsPlainUrlChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~!$&'()*+,;=:@").find(c) != std::string_view::npos;
}

std::string EscapedSegment(std::string_view segment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : segment) {
        if (IsPlainUrlChar(c)) {
            escaped += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        }
    }
    return escaped;
}

}  // namespace

std::string StoredNameOf(const Url& address, StoredKind kind) {
    std::string_view path = address.Path();
    if (path.starts_with('/')) {
        path.remove_prefix(1);
    }
    const std::vector<std::string_view> segments = Segments(path);
    std::string name;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::string segment = Decoded(segments[i]);
        const bool last = i + 1 == segments.size();
        if (segment.empty()) {
            segment = last ? "index.html" : "%";
        } else if (segment == "." || segment == "..") {
            segment.insert(0, "%");
        }
        if (last && address.HasQuery()) {
            segment += '@';
            for (const char c : Decoded(address.Query())) {
                segment += c == '/' ? std::string("%2F") : std::string(1, c);
            }
        }
        if (segments.size() == 1 && (segment == kReportPageName || segment == kReportDataName ||
                                     segment == kStateFileName)) {
            segment += '_';
        }
        if (i > 0) {
            name += '/';
        }
        name += segment;
    }
    if (kind == StoredKind::Page && !EndsWithIgnoreCase(name, ".html") &&
        !EndsWithIgnoreCase(name, ".htm")) {
        name += ".html";
    } else if (kind == StoredKind::StyleSheet && !EndsWithIgnoreCase(name, ".css")) {
        name += ".css";
    }
    return name;
}

std::string RelativeLink(std::string_view fromName, std::string_view toName, bool hasFragment,
                         std::string_view fragment) {
    const std::vector<std::string_view> from = Segments(fromName);
    const std::vector<std::string_view> to = Segments(toName);
    std::size_t common = 0;
    while (common + 1 < from.size() && common + 1 < to.size() && from[common] == to[common]) {
        ++common;
    }
    std::string link;
    for (std::size_t i = common; i + 1 < from.size(); ++i) {
        link += "../";
    }
    for (std::size_t i = common; i < to.size(); ++i) {
        link += EscapedSegment(to[i]);
        if (i + 1 < to.size()) {
            link += '/';
        }
    }
    // A first segment with ':' would read as a scheme.
    const std::size_t colon = link.find(':');
    if (colon != std::string::npos && link.find('/') > colon) {
        link.insert(0, "./");
    }
    if (hasFragment) {
        link += '#';
        link += fragment;
    }
    return link;
}

}  // namespace tarnwick
