#include "engine/transfer/PartialFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace tarnwick {

namespace {

constexpr const char* kDataSuffix = ".part";
constexpr const char* kMetadataSuffix = ".part.meta";
constexpr std::size_t kMetadataLimit = 64 * 1024;
// The metadata is fsynced this often, not with every block: it costs a journal commit.
constexpr auto kCommitInterval = std::chrono::seconds(1);
constexpr std::size_t kHashBlock = 256 * 1024;

}  // namespace

PartialNames PartialNamesFor(const std::string& name) {
    // A name too long for the suffixes: a cut of it, told apart from other cuts by a hash.
    const std::string stem =
        ConfinedFolder::StemWithRoomFor(name, std::char_traits<char>::length(kMetadataSuffix));
    return {stem + kDataSuffix, stem + kMetadataSuffix};
}

PartialFile::PartialFile(ConfinedFolder& folder, std::string name, std::string url,
                         std::optional<Checksum> checksum)
    : folder_(folder),
      name_(std::move(name)),
      names_(PartialNamesFor(name_)),
      checksum_(std::move(checksum)) {
    metadata_.url = std::move(url);
    if (checksum_) {
        hasher_.emplace(checksum_->algorithm);
    }
}

void PartialFile::Load() {
    const std::string url = metadata_.url;
    const auto text = folder_.ReadSmallFile(names_.metadata, kMetadataLimit);
    std::optional<TransferMetadata> loaded;
    if (text) {
        loaded = ParseTransferMetadata(*text);
    }
    const auto size = folder_.SizeOf(names_.data);
    // Bytes past the committed count were never vouched for (after a power loss they may be
    // missing); within it, the file system keeps size and data in order.
    if (!loaded || loaded->url != url || !size) {
        return;
    }
    // The same bytes already failed this very checksum: fetch them again.
    if (checksum_ && loaded->failedChecksum == ChecksumText(*checksum_)) {
        return;
    }
    metadata_ = *loaded;
    metadata_.failedChecksum.clear();
    held_ = std::min(*size, metadata_.committed);
}

std::uint64_t PartialFile::Held() const {
    return writer_.IsOpen() ? writer_.Position() : held_;
}

bool PartialFile::TargetIsReplaceable() {
    return folder_.KindOf(name_) != ConfinedFolder::EntryKind::Other &&
           folder_.KindOf(names_.data) != ConfinedFolder::EntryKind::Other &&
           folder_.KindOf(names_.metadata) != ConfinedFolder::EntryKind::Other;
}

bool PartialFile::HashHeldBytes(int fd, std::uint64_t count) {
    std::vector<char> block(kHashBlock);
    std::uint64_t offset = 0;
    while (offset < count) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), count - offset));
        const ssize_t got = ::pread(fd, block.data(), wanted, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        hasher_->Update(std::string_view(block.data(), static_cast<std::size_t>(got)));
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool PartialFile::EnsureOpen() {
    if (writer_.IsOpen()) {
        return true;
    }
    if (createFailed_) {
        return false;
    }
    const int fd = folder_.OpenFile(names_.data, true);
    if (fd < 0) {
        createFailed_ = true;
        return false;
    }
    writer_ = FileWriter(fd);
    if (hasher_) {
        hasher_->Reset();
        if (!HashHeldBytes(fd, held_)) {
            held_ = 0;  // what cannot be read back cannot be vouched for
        }
    }
    if (!writer_.TruncateTo(held_)) {
        return false;
    }
    if (!committedOnce_) {
        Commit();
    }
    return true;
}

bool PartialFile::Restart() {
    held_ = 0;
    const std::string url = metadata_.url;
    metadata_ = TransferMetadata();
    metadata_.url = url;
    if (hasher_) {
        hasher_->Reset();
    }
    if (writer_.IsOpen()) {
        if (!writer_.TruncateTo(0)) {
            return false;
        }
        Commit();
    }
    return true;
}

void PartialFile::SetRemote(std::int64_t length, const std::string& etag,
                            const std::string& lastModified, std::int64_t modified) {
    metadata_.length = length;
    metadata_.etag = etag;
    metadata_.lastModified = lastModified;
    metadata_.modified = modified;
    if (writer_.IsOpen()) {
        Commit();
    }
}

bool PartialFile::Append(std::string_view data) {
    if (!EnsureOpen() || !writer_.Write(data)) {
        return false;
    }
    if (hasher_) {
        hasher_->Update(data);
    }
    return true;
}

void PartialFile::Commit() {
    if (!writer_.IsOpen()) {
        return;
    }
    // The count saved never runs ahead of the bytes handed to the file.
    writer_.Flush();
    metadata_.committed = writer_.Position();
    folder_.ReplaceFile(names_.metadata, FormatTransferMetadata(metadata_));
    committedOnce_ = true;
    lastCommit_ = std::chrono::steady_clock::now();
}

void PartialFile::CommitIfDue() {
    if (writer_.IsOpen() && std::chrono::steady_clock::now() - lastCommit_ >= kCommitInterval) {
        Commit();
    }
}

PartialFile::Finished PartialFile::Finish() {
    // An empty body still makes its (empty) file.
    if (!EnsureOpen()) {
        return createFailed_ ? Finished::CreateFailed : Finished::WriteFailed;
    }
    if (!writer_.Flush()) {
        return Finished::WriteFailed;
    }
    if (checksum_) {
        const std::string got = hasher_->FinishHex();
        if (got != checksum_->hex) {
            mismatchText_ = std::string(ChecksumAlgorithmName(checksum_->algorithm)) +
                            " expected " + checksum_->hex + ", got " + got;
            metadata_.failedChecksum = ChecksumText(*checksum_);
            Commit();
            writer_.Close();
            return Finished::ChecksumMismatch;
        }
    }
    if (!writer_.Close()) {
        return Finished::WriteFailed;
    }
    if (folder_.KindOf(name_) == ConfinedFolder::EntryKind::Other ||
        !folder_.Rename(names_.data, name_)) {
        return Finished::CreateFailed;
    }
    folder_.Remove(names_.metadata);
    folder_.Sync();
    return Finished::Done;
}

}  // namespace tarnwick
