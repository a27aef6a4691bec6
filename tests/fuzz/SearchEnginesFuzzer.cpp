// Reads the input as a searchengines.conf and, for every engine it yields, as that engine's
// result page, as a search run does. Whatever the input, an accepted link is an absolute http
// or https address that a list line can carry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/search/ResultLink.h"
#include "engine/search/SearchEngineCatalog.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool StartsWithWebScheme(std::string_view link) {
    std::string lower(link.substr(0, 8));
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return lower.starts_with("http://") || lower.starts_with("https://");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tarnwick::SearchEngineCatalog catalog = tarnwick::ParseSearchEngines(text);
    for (const tarnwick::SearchEngineQuery& engine : catalog.engines) {
        const std::string page = engine.PageUrl(text.substr(0, 64), 1);
        engine.results.ForEachLink(text, [&](std::string_view found) {
            const std::string decoded = tarnwick::PercentDecoded(tarnwick::HtmlDecoded(found));
            if (const auto link = tarnwick::AbsoluteResultLink(page, decoded)) {
                Require(StartsWithWebScheme(*link));
                for (const char c : *link) {
                    Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && c != ' ');
                }
            }
            return true;
        });
    }
    return 0;
}
