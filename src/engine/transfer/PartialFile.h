#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/transfer/BackgroundHasher.h"
#include "engine/transfer/TransferMetadata.h"
#include "model/Checksum.h"
#include "storage/ConfinedFolder.h"
#include "storage/FileWriter.h"

namespace tarnwick {

// The names a download of name is kept under until it is complete: name.part and
// name.part.meta, or for a name too long to take the suffix, a shortened name with a hash.
struct PartialNames {
    std::string data;
    std::string metadata;
};
PartialNames PartialNamesFor(const std::string& name);

// One download being received into the folder: the bytes go to the partial file, the
// metadata file beside it says what they are (URL, validator, length, bytes committed), and
// the finished file is renamed into place only when its length and checksum are right.
// Neither file is made before the first byte is kept, so a transfer that fails before any
// data leaves nothing behind.
class PartialFile {
public:
    PartialFile(ConfinedFolder& folder, std::string name, std::string url,
                std::optional<Checksum> checksum);

    // Takes up what an earlier run left for this URL: the metadata, and as many bytes of the
    // partial file as it had committed. Anything else found under the names is started over.
    void Load();

    const std::string& Name() const { return name_; }
    const TransferMetadata& Metadata() const { return metadata_; }
    // Bytes held: where the next byte goes.
    std::uint64_t Held() const;

    // The target name is free or a plain file that may be replaced.
    bool TargetIsReplaceable();

    // Drops every byte held and what was known of the remote file.
    bool Restart();
    // What the server said of the file, saved at once.
    void SetRemote(std::int64_t length, const std::string& etag, const std::string& lastModified,
                   std::int64_t modified);

    // Appends a block (opening the partial file first if needed); false when the file cannot
    // be made (CreateFailed) or written (ErrorNumber tells why).
    bool Append(std::string_view data);
    bool CreateFailed() const { return createFailed_; }
    int ErrorNumber() const { return writer_.ErrorNumber(); }

    // Saves the metadata with the bytes written so far; CommitIfDue only every few seconds.
    void Commit();
    void CommitIfDue();

    enum class Finished { Done, CreateFailed, WriteFailed, ChecksumMismatch };
    // Checks the checksum and renames the file into place, removing the metadata. On a
    // mismatch the partial file stays for inspection and mismatchText says what differed.
    Finished Finish();
    const std::string& MismatchText() const { return mismatchText_; }

private:
    bool EnsureOpen();
    bool HashHeldBytes(int fd, std::uint64_t count);

    ConfinedFolder& folder_;
    std::string name_;
    PartialNames names_;
    std::optional<Checksum> checksum_;
    std::optional<BackgroundHasher> hasher_;
    TransferMetadata metadata_;
    std::uint64_t held_ = 0;  // bytes kept from an earlier run, until the file is open
    FileWriter writer_;
    bool createFailed_ = false;
    bool committedOnce_ = false;
    std::chrono::steady_clock::time_point lastCommit_{};
    std::string mismatchText_;
};

}  // namespace tarnwick
