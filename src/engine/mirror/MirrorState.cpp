#include "engine/mirror/MirrorState.h"

#include <array>
#include <optional>

#include "model/IniLines.h"

namespace tarnwick {

namespace {

constexpr std::string_view kHeader = "# Tarnwick mirror state, version 1";
// A large site's links make a large file; far beyond this it is no state of ours.
constexpr std::size_t kStateLimit = 256u << 20;

constexpr std::array<std::pair<StoredKind, std::string_view>, 3> kKindNames{
    {{StoredKind::Page, "page"}, {StoredKind::StyleSheet, "css"}, {StoredKind::Other, "other"}}};
constexpr std::array<std::pair<LinkUse, std::string_view>, 4> kUseNames{
    {{LinkUse::Navigation, "nav"},
     {LinkUse::Frame, "frame"},
     {LinkUse::StyleSheet, "css"},
     {LinkUse::Resource, "res"}}};

template <typename Value, std::size_t N>
std::optional<Value> ValueNamed(const std::array<std::pair<Value, std::string_view>, N>& names,
                                std::string_view name) {
    for (const auto& [value, text] : names) {
        if (text == name) {
            return value;
        }
    }
    return std::nullopt;
}

template <typename Value, std::size_t N>
std::string_view NameOf(const std::array<std::pair<Value, std::string_view>, N>& names,
                        Value value) {
    for (const auto& [each, text] : names) {
        if (each == value) {
            return text;
        }
    }
    return names.front().second;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A record whose text would break its lines is not kept; that address is fetched whole next time.
bool Writable(const std::string& address, const StoredRecord& record) {
    if (HasLineBreak(address) || HasLineBreak(record.storedName) ||
        HasLineBreak(record.validators.etag) || HasLineBreak(record.validators.lastModified)) {
        return false;
    }
    for (const auto& link : record.links) {
        if (HasLineBreak(link.first)) {
            return false;
        }
    }
    return true;
}

}  // namespace

MirrorState MirrorState::Parse(std::string_view text) {
    std::string_view first = text.substr(0, text.find('\n'));
    if (first.ends_with('\r')) {
        first.remove_suffix(1);
    }
    if (first != kHeader) {
        return {};
    }
    MirrorState state;
    std::string address;
    std::optional<StoredRecord> record;
    const auto take = [&](const IniLine& line) {
        const std::string_view key = line.name;
        const std::string_view value = line.value;
        if (key == "url") {
            address = value;
            record.emplace();
        } else if (!record) {
            return;
        } else if (key == "file") {
            record->storedName = value;
        } else if (key == "kind") {
            record->kind = ValueNamed(kKindNames, value).value_or(record->kind);
        } else if (key == "etag") {
            record->validators.etag = value;
        } else if (key == "modified") {
            record->validators.lastModified = value;
        } else if (key == "link") {
            const std::size_t gap = value.find(' ');
            if (const auto use = ValueNamed(kUseNames, value.substr(0, gap));
                use && gap != std::string_view::npos) {
                record->links.emplace_back(std::string(value.substr(gap + 1)), *use);
            }
        } else if (key == "end") {
            if (!record->storedName.empty()) {
                state.Put(address, std::move(*record));
            }
            record.reset();
        }
    };
    ForEachIniLine(text, take, {.separator = ' ', .verbatim = true});
    return state;
}

std::string MirrorState::Render() const {
    std::string text = std::string(kHeader) + "\n";
    for (const std::string& address : order_) {
        const StoredRecord& record = records_.at(address);
        if (!Writable(address, record)) {
            continue;
        }
        text += "url " + address + "\nfile " + record.storedName + "\nkind " +
                std::string(NameOf(kKindNames, record.kind)) + "\n";
        if (!record.validators.etag.empty()) {
            text += "etag " + record.validators.etag + "\n";
        }
        if (!record.validators.lastModified.empty()) {
            text += "modified " + record.validators.lastModified + "\n";
        }
        for (const auto& [link, use] : record.links) {
            text += "link " + std::string(NameOf(kUseNames, use)) + " " + link + "\n";
        }
        text += "end\n";
    }
    return text;
}

MirrorState MirrorState::Load(ConfinedFolder& siteFolder) {
    const std::optional<std::string> text =
        siteFolder.ReadSmallFile(std::string(kStateFileName), kStateLimit);
    return text ? Parse(*text) : MirrorState();
}

bool MirrorState::Save(ConfinedFolder& siteFolder) const {
    return siteFolder.ReplaceFile(std::string(kStateFileName), Render());
}

const StoredRecord* MirrorState::Find(const std::string& address) const {
    const auto found = records_.find(address);
    return found == records_.end() ? nullptr : &found->second;
}

StoredRecord* MirrorState::Find(const std::string& address) {
    const auto found = records_.find(address);
    return found == records_.end() ? nullptr : &found->second;
}

void MirrorState::Put(const std::string& address, StoredRecord record) {
    const auto [found, added] = records_.insert_or_assign(address, std::move(record));
    if (added) {
        order_.push_back(address);
    }
}

}  // namespace tarnwick
