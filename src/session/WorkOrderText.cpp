#include "session/WorkOrderText.h"

#include <charconv>

#include "model/ListFileFormat.h"

namespace tarnwick {

namespace {

constexpr std::string_view kMagic = "tarnwick-order 1\n";

void AddSection(std::string& out, std::string_view label, std::string_view bytes) {
    out.append(label).append(" ").append(std::to_string(bytes.size())).append("\n");
    out.append(bytes);
}

// Reads "label N\n" and then N bytes; nothing when the text does not hold them.
std::optional<std::string_view> TakeSection(std::string_view& text, std::string_view label) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos || !text.starts_with(label) || end <= label.size() ||
        text[label.size()] != ' ') {
        return std::nullopt;
    }
    std::size_t length = 0;
    const char* first = text.data() + label.size() + 1;
    const auto [last, error] = std::from_chars(first, text.data() + end, length);
    if (error != std::errc{} || last != text.data() + end || length > text.size() - end - 1) {
        return std::nullopt;
    }
    const std::string_view bytes = text.substr(end + 1, length);
    text.remove_prefix(end + 1 + length);
    return bytes;
}

std::optional<bool> TakeFlag(std::string_view& text, std::string_view label) {
    for (std::string_view value : {"0", "1"}) {
        const std::string line = std::string(label) + " " + std::string(value) + "\n";
        if (text.starts_with(line)) {
            text.remove_prefix(line.size());
            return value == "1";
        }
    }
    return std::nullopt;
}

}  // namespace

std::string EncodeWorkOrder(const WorkOrder& order) {
    std::string out(kMagic);
    out.append("start ").append(order.start ? "1" : "0").append("\n");
    out.append("all ").append(order.runAll ? "1" : "0").append("\n");
    std::string records;
    for (const std::string& url : order.fileUrls) {
        RenderFileRecord(FileEntry{url, {}}, records);
    }
    AddSection(out, "files", records);
    records.clear();
    for (const WebProject& project : order.webProjects) {
        RenderWebRecord(project, records);
    }
    AddSection(out, "webs", records);
    records.clear();
    for (const SearchProject& project : order.searchProjects) {
        RenderSearchRecord(project, records);
    }
    AddSection(out, "searches", records);
    records.clear();
    for (const std::string& name : order.runNames) {
        records.append(name).append("\n");
    }
    AddSection(out, "names", records);
    return out;
}

std::optional<WorkOrder> DecodeWorkOrder(std::string_view text) {
    if (!text.starts_with(kMagic)) {
        return std::nullopt;
    }
    text.remove_prefix(kMagic.size());
    WorkOrder order;
    const std::optional<bool> start = TakeFlag(text, "start");
    const std::optional<bool> all = TakeFlag(text, "all");
    const auto files = TakeSection(text, "files");
    const auto webs = TakeSection(text, "webs");
    const auto searches = TakeSection(text, "searches");
    const auto names = TakeSection(text, "names");
    if (!start || !all || !files || !webs || !searches || !names || !text.empty()) {
        return std::nullopt;
    }
    order.start = *start;
    order.runAll = *all;
    ParseFileRecords(*files, "", [&](FileEntry&& entry) { order.fileUrls.push_back(entry.url); });
    ParseWebRecords(*webs, "",
                    [&](WebProject&& project) { order.webProjects.push_back(std::move(project)); });
    ParseSearchRecords(*searches, [&](SearchProject&& project) {
        order.searchProjects.push_back(std::move(project));
    });
    std::string_view rest = *names;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        order.runNames.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return order;
}

}  // namespace tarnwick
