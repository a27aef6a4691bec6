#include "engine/files/PartialProgress.h"

#include <algorithm>

#include "engine/files/FtpLocation.h"
#include "engine/transfer/PartialFile.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {
constexpr std::size_t kMetadataLimit = 64 * 1024;
}

std::string LocalFileNameFor(const std::string& url) {
    if (url.find("ftp://") != std::string::npos) {
        FtpLocation location;
        return ParseFtpUrl(url, location) ? location.fileName : std::string();
    }
    const std::size_t slash = url.rfind('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

namespace {

struct Held {
    PartialNames names;
    TransferMetadata metadata;
};

// The partial download in Files/, when its metadata is this URL's.
std::optional<Held> HeldFor(ConfinedFolder& files, const std::string& url) {
    const std::string name = LocalFileNameFor(url);
    if (!ConfinedFolder::IsPlainName(name) || !files.Open(false)) {
        return std::nullopt;
    }
    const PartialNames names = PartialNamesFor(name);
    const auto text = files.ReadSmallFile(names.metadata, kMetadataLimit);
    const auto metadata = text ? ParseTransferMetadata(*text) : std::nullopt;
    if (!metadata || metadata->url != url) {
        return std::nullopt;
    }
    return Held{names, *metadata};
}

}  // namespace

void DiscardPartial(const DownloadFolder& folder, const std::string& url) {
    ConfinedFolder files(folder.base, folder.below);
    if (const auto held = HeldFor(files, url)) {
        files.Remove(held->names.data);
        files.Remove(held->names.metadata);
        files.Sync();
    }
}

std::optional<TransferSnapshot> PartialProgress(const DownloadFolder& folder,
                                                const std::string& url) {
    ConfinedFolder files(folder.base, folder.below);
    const auto held = HeldFor(files, url);
    const auto size = held ? files.SizeOf(held->names.data) : std::nullopt;
    if (!size) {
        return std::nullopt;
    }
    TransferSnapshot snapshot;
    snapshot.done = std::min(*size, held->metadata.committed);
    snapshot.total = held->metadata.length;
    return snapshot;
}

}  // namespace tarnwick
