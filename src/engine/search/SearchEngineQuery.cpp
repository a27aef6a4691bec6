#include "engine/search/SearchEngineQuery.h"

namespace tarnwick {

namespace {

// ASCII only, whatever the locale says of the bytes above it.
bool IsUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void ReplaceAll(std::string& text, std::string_view placeholder, std::string_view value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

}  // namespace

std::string QueryEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(c)) {
            encoded += c;
        } else if (c == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string SearchEngineQuery::PageUrl(std::string_view searchString, int page) const {
    std::string address = url;
    ReplaceAll(address, "{query}", QueryEncoded(searchString));
    ReplaceAll(address, "{start}", std::to_string(first + page * step));
    return address;
}

}  // namespace tarnwick
