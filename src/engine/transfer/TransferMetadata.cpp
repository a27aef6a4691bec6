#include "engine/transfer/TransferMetadata.h"

#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr std::string_view kVersionLine = "version=1";

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
    text += kVersionLine;
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
    bool versioned = false;
    bool hasUrl = false;
    bool hasCommitted = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == "version") {
            if (line != kVersionLine) {
                return std::nullopt;
            }
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
        } else if (key == "modified" || key == "length" || key == "committed") {
            const std::optional<std::int64_t> parsed = WholeNumber<std::int64_t>(value);
            if (!parsed) {
                return std::nullopt;
            }
            if (key == "modified") {
                metadata.modified = *parsed;
            } else if (key == "length") {
                metadata.length = *parsed;
            } else {
                metadata.committed = static_cast<std::uint64_t>(*parsed);
                hasCommitted = true;
            }
        }
    }
    if (!versioned || !hasUrl || !hasCommitted) {
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
