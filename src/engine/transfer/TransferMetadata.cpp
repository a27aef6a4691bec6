#include "engine/transfer/TransferMetadata.h"

#include "model/IniLines.h"
#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr std::string_view kVersion = "1";

// A header value never holds a line end, but the file must not be bent by one.
std::string OneLine(std::string_view value) {
    std::string line;
    for (const char c : value) {
        if (c != '\r' && c != '\n') {
            line.push_back(c);
        }
    }
    return line;
}

}  // namespace

std::string FormatTransferMetadata(const TransferMetadata& metadata) {
    std::string text = "# Tarnwick partial download; delete it with the .part file to start over\n";
    text += "version=" + std::string(kVersion);
    text += "\nurl=" + OneLine(metadata.url) + "\n";
    if (!metadata.etag.empty()) {
        text += "etag=" + OneLine(metadata.etag) + "\n";
    }
    if (!metadata.lastModified.empty()) {
        text += "last-modified=" + OneLine(metadata.lastModified) + "\n";
    }
    if (metadata.modified >= 0) {
        text += "modified=" + std::to_string(metadata.modified) + "\n";
    }
    if (metadata.length >= 0) {
        text += "length=" + std::to_string(metadata.length) + "\n";
    }
    text += "committed=" + std::to_string(metadata.committed) + "\n";
    if (!metadata.failedChecksum.empty()) {
        text += "failed-checksum=" + OneLine(metadata.failedChecksum) + "\n";
    }
    return text;
}

std::optional<TransferMetadata> ParseTransferMetadata(std::string_view text) {
    TransferMetadata metadata;
    bool damaged = false;
    bool versioned = false;
    bool hasUrl = false;
    bool hasCommitted = false;
    const auto number = [&damaged](std::string_view value) {
        const std::optional<std::int64_t> parsed = WholeNumber<std::int64_t>(value);
        damaged = damaged || !parsed;
        return parsed.value_or(0);
    };
    const auto take = [&](const IniLine& line) {
        const std::string_view key = line.name;
        const std::string_view value = line.value;
        if (line.isBare) {
            damaged = true;
        } else if (key == "version") {
            damaged = damaged || value != kVersion;
            versioned = true;
        } else if (key == "url") {
            metadata.url = value;
            hasUrl = !value.empty();
        } else if (key == "etag") {
            metadata.etag = value;
        } else if (key == "last-modified") {
            metadata.lastModified = value;
        } else if (key == "failed-checksum") {
            metadata.failedChecksum = value;
        } else if (key == "modified") {
            metadata.modified = number(value);
        } else if (key == "length") {
            metadata.length = number(value);
        } else if (key == "committed") {
            metadata.committed = static_cast<std::uint64_t>(number(value));
            hasCommitted = true;
        }
    };
    ForEachIniLine(text, take, {.separator = '=', .verbatim = true});
    if (damaged || !versioned || !hasUrl || !hasCommitted) {
        return std::nullopt;
    }
    return metadata;
}

std::string IfRangeValidator(const TransferMetadata& metadata) {
    if (!metadata.etag.empty() && !metadata.etag.starts_with("W/")) {
        return metadata.etag;
    }
    return metadata.lastModified;
}

}  // namespace tarnwick
