#include "session/WorkOrderText.h"

#include <array>
#include <vector>

#include "model/ListFileFormat.h"
#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr std::string_view kMagic = "tarnwick-order 3\n";
// The order's file options travel in their file's own format, under this name.
constexpr const char* kEveryFile = "every file";

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
    const auto length =
        WholeNumber<std::size_t>(text.substr(label.size() + 1, end - label.size() - 1));
    if (!length || *length > text.size() - end - 1) {
        return std::nullopt;
    }
    const std::string_view bytes = text.substr(end + 1, *length);
    text.remove_prefix(end + 1 + *length);
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

// The web record of the list file leaves these out; the order carries them beside it.
std::array<std::string*, 3> TextsBeyondTheRecord(WebProject& project) {
    return {&project.otherTypes, &project.userName, &project.password};
}
std::array<const std::string*, 3> TextsBeyondTheRecord(const WebProject& project) {
    return {&project.otherTypes, &project.userName, &project.password};
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
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
    AddSection(out, "fileoptions", RenderFileRequestOptions({{kEveryFile, order.fileOptions}}));
    records.clear();
    for (const WebProject& project : order.webProjects) {
        RenderWebRecord(project, records);
    }
    AddSection(out, "webs", records);
    AddSection(out, "weboptions", RenderWebProjectOptionChanges(order.webOptions));
    records.clear();
    for (const WebProject& project : order.webProjects) {
        for (const std::string* text : TextsBeyondTheRecord(project)) {
            records.append(OneLine(*text)).append("\n");
        }
    }
    AddSection(out, "webtexts", records);
    records.clear();
    for (const SearchProject& project : order.searchProjects) {
        RenderSearchRecord(project, records);
    }
    AddSection(out, "searches", records);
    records.clear();
    // The engines beyond the flags, tab-separated, one line per search project.
    for (const SearchProject& project : order.searchProjects) {
        for (std::size_t i = 0; i < project.otherEngines.size(); ++i) {
            records.append(i == 0 ? "" : "\t").append(OneLine(project.otherEngines[i]));
        }
        records.append("\n");
    }
    AddSection(out, "engines", records);
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
    const auto fileOptions = TakeSection(text, "fileoptions");
    const auto webs = TakeSection(text, "webs");
    const auto webOptionsText = TakeSection(text, "weboptions");
    const auto webOptions =
        webOptionsText ? ParseWebProjectOptionChanges(*webOptionsText) : std::nullopt;
    const auto webTexts = TakeSection(text, "webtexts");
    const auto searches = TakeSection(text, "searches");
    const auto engines = TakeSection(text, "engines");
    const auto names = TakeSection(text, "names");
    if (!start || !all || !files || !fileOptions || !webs || !webOptions || !webTexts ||
        !searches || !engines || !names || !text.empty()) {
        return std::nullopt;
    }
    order.start = *start;
    order.runAll = *all;
    order.webOptions = *webOptions;
    ParseFileRecords(*files, "", [&](FileEntry&& entry) { order.fileUrls.push_back(entry.url); });
    const FileRequestOptionsFile options = ParseFileRequestOptions(*fileOptions);
    if (const auto every = options.find(kEveryFile); every != options.end()) {
        order.fileOptions = every->second;
    }
    ParseWebRecords(*webs, "",
                    [&](WebProject&& project) { order.webProjects.push_back(std::move(project)); });
    const std::vector<std::string_view> texts = Lines(*webTexts);
    if (texts.size() != order.webProjects.size() * 3) {
        return std::nullopt;
    }
    for (std::size_t index = 0; index < texts.size(); ++index) {
        *TextsBeyondTheRecord(order.webProjects[index / 3])[index % 3] = texts[index];
    }
    ParseSearchRecords(*searches, [&](SearchProject&& project) {
        order.searchProjects.push_back(std::move(project));
    });
    const std::vector<std::string_view> engineLines = Lines(*engines);
    if (engineLines.size() != order.searchProjects.size()) {
        return std::nullopt;
    }
    for (std::size_t index = 0; index < engineLines.size(); ++index) {
        for (std::string_view line = engineLines[index]; !line.empty();) {
            const std::size_t tab = line.find('\t');
            order.searchProjects[index].otherEngines.emplace_back(line.substr(0, tab));
            line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
        }
    }
    for (std::string_view name : Lines(*names)) {
        order.runNames.emplace_back(name);
    }
    return order;
}

}  // namespace tarnwick
