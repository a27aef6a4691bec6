#include "engine/search/ResultLink.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>

#include "engine/net/HexDigit.h"
#include "engine/net/Url.h"

namespace tarnwick {

namespace {

// The character a reference stands for ("amp", "#39", "#x2F"), or nothing.
std::optional<std::uint32_t> ReferencedCharacter(std::string_view name) {
    if (!name.starts_with('#')) {
        std::array<char, 16> zeroEnded{};
        if (name.size() >= zeroEnded.size() || name.find('\0') != std::string_view::npos) {
            return std::nullopt;
        }
        std::copy(name.begin(), name.end(), zeroEnded.begin());
        const htmlEntityDesc* entity =
            htmlEntityLookup(reinterpret_cast<const xmlChar*>(zeroEnded.data()));
        return entity ? std::optional<std::uint32_t>(entity->value) : std::nullopt;
    }
    // libxml2 reads numeric references only inside its parser, from the page it parses.
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
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

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
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
                std::array<xmlChar, 8> utf8{};
                const int length = xmlCopyCharMultiByte(utf8.data(), static_cast<int>(*code));
                out.append(reinterpret_cast<const char*>(utf8.data()),
                           static_cast<std::size_t>(std::max(length, 0)));
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
    if (link.empty() || HasControlCharacter(link)) {
        return std::nullopt;
    }
    // A page whose address no list line could carry resolves no relative link.
    const std::optional<Url> page =
        HasControlCharacter(pageUrl) ? std::nullopt : Url::Parse(pageUrl);
    const std::optional<Url> absolute = page ? page->Resolve(link) : Url::Parse(link);
    if (!absolute || !absolute->IsWeb()) {
        return std::nullopt;
    }
    return absolute->TextWithFragment();
}

}  // namespace tarnwick
