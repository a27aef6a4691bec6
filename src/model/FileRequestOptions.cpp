#include "model/FileRequestOptions.h"

#include <optional>

#include "model/ByteRate.h"
#include "model/Checksum.h"
#include "model/IniLines.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick requested file options, version 1\n";

}  // namespace

bool IsChecksumText(std::string_view text) {
    return ParseChecksum(text).has_value();
}

FileRequestOptionsFile ParseFileRequestOptions(std::string_view text) {
    FileRequestOptionsFile options;
    FileRequestOptions* current = nullptr;
    ForEachIniLine(text, [&](const IniLine& line) {
        if (line.isSection) {
            current = &options[std::string(line.name)];
        } else if (current != nullptr && line.name == "checksum") {
            current->checksum = line.value;
        } else if (current != nullptr && line.name == "limit-rate") {
            current->limitBytesPerSecond = ParseByteRate(line.value).value_or(0);
        }
    });
    std::erase_if(options, [](const auto& entry) { return entry.second == FileRequestOptions{}; });
    return options;
}

std::string RenderFileRequestOptions(const FileRequestOptionsFile& options) {
    std::string text = kHeader;
    for (const auto& [url, file] : options) {
        if (file == FileRequestOptions{}) {
            continue;
        }
        text += "\n[" + url + "]\n";
        if (!file.checksum.empty()) {
            text += "checksum=" + file.checksum + "\n";
        }
        if (file.limitBytesPerSecond != 0) {
            text += "limit-rate=" + ByteRateText(file.limitBytesPerSecond) + "\n";
        }
    }
    return text;
}

FileRequestOptionsFile LoadFileRequestOptions(const std::filesystem::path& folder) {
    const std::optional<std::string> text =
        ConfinedFolder(folder).ReadSmallFile(kFileRequestOptionsFileName);
    return text ? ParseFileRequestOptions(*text) : FileRequestOptionsFile{};
}

bool StoreFileRequestOptions(const std::filesystem::path& folder,
                             const FileRequestOptionsFile& options) {
    return ConfinedFolder(folder).ReplaceFile(kFileRequestOptionsFileName,
                                              RenderFileRequestOptions(options));
}

}  // namespace tarnwick
