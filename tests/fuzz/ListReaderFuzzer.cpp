// Feeds arbitrary bytes to the three list-file readers and checks that what they read
// fits its fields and survives a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/ListFileFormat.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <typename Record, typename Parse, typename Render>
void RoundTrip(std::string_view data, Parse parse, Render render) {
    std::vector<Record> first;
    parse(data, [&first](Record&& record) { first.push_back(std::move(record)); });
    std::string written;
    for (const Record& record : first) {
        render(record, written);
    }
    std::vector<Record> second;
    parse(written, [&second](Record&& record) { second.push_back(std::move(record)); });
    std::string rewritten;
    for (const Record& record : second) {
        render(record, rewritten);
    }
    // Once written by us, a list reads back to the same bytes.
    Require(written == rewritten);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace tarnwick;
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    RoundTrip<FileEntry>(
        data,
        [](std::string_view d, const auto& add) {
            ParseFileRecords(d, "Success", [&add](FileEntry&& e) {
                Require(e.url.size() < kUrlWidth && !e.url.empty());
                add(std::move(e));
            });
        },
        RenderFileRecord);
    RoundTrip<WebProject>(
        data,
        [](std::string_view d, const auto& add) {
            ParseWebRecords(d, "Success", [&add](WebProject&& p) {
                Require(p.name.size() < kNameWidth && p.startUrl.size() < kStartUrlWidth);
                add(std::move(p));
            });
        },
        RenderWebRecord);
    RoundTrip<SearchProject>(
        data,
        [](std::string_view d, const auto& add) {
            ParseSearchRecords(d, [&add](SearchProject&& p) {
                Require(p.name.size() < kNameWidth && p.searchString.size() < kSearchStringWidth);
                add(std::move(p));
            });
        },
        RenderSearchRecord);
    return 0;
}
