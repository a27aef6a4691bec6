#include "model/UrlsInText.h"

#include <array>

#include "model/Records.h"

namespace tarnwick {

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

template <typename Each>
void ForEachPiece(std::string_view text, std::string_view separators, Each each) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > start) {
            each(text.substr(start, end - start));
        }
        start = end + 1;
    }
}

bool HasWebScheme(std::string_view word) {
    constexpr std::array<std::string_view, 3> kSchemes = {"http://", "https://", "ftp://"};
    for (const std::string_view scheme : kSchemes) {
        if (word.size() > scheme.size() &&
            EqualsIgnoreCase(word.substr(0, scheme.size()), scheme)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> UrlLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachPiece(text, "\r\n", [&lines](std::string_view line) {
        const std::size_t first = line.find_first_not_of(kBlanks);
        if (first != std::string_view::npos) {
            lines.emplace_back(line.substr(first, line.find_last_not_of(kBlanks) - first + 1));
        }
    });
    return lines;
}

std::vector<std::string> UrlsInText(std::string_view text) {
    // Marks that wrap an address in prose, markup or a list, never its last character.
    constexpr std::string_view kLeading = "\"'<([{";
    constexpr std::string_view kTrailing = "\"'>)]},;.!?";
    std::vector<std::string> urls;
    ForEachPiece(text, kBlanks, [&](std::string_view word) {
        const std::size_t first = word.find_first_not_of(kLeading);
        if (first == std::string_view::npos) {
            return;
        }
        word.remove_prefix(first);
        const std::size_t last = word.find_last_not_of(kTrailing);
        if (last == std::string_view::npos) {
            return;
        }
        word = word.substr(0, last + 1);
        if (HasWebScheme(word)) {
            urls.emplace_back(word);
        }
    });
    return urls;
}

}  // namespace tarnwick
