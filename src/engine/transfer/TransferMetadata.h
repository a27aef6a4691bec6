#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// What the metadata file beside a partial download (Files/<name>.part.meta) keeps, so that
// a later run can tell whether the bytes held still belong to the file on the server.
struct TransferMetadata {
    std::string url;
    std::string etag;             // as the server sent it; "W/" marks a weak one
    std::string lastModified;     // the HTTP date as sent
    std::int64_t modified = -1;   // FTP: MDTM as seconds since 1970; -1 unknown
    std::int64_t length = -1;     // the whole file's length; -1 unknown
    std::uint64_t committed = 0;  // bytes of the partial file written when this was saved
    std::string failedChecksum;   // the checksum the complete bytes did not match, if any
};

// The file's text: a comment, "version=1", then one "key=value" line per known field.
std::string FormatTransferMetadata(const TransferMetadata& metadata);
// Nothing for another version, a missing url or committed, or a value that is not a number
// where one belongs; unknown keys are skipped, so a later version can add some.
std::optional<TransferMetadata> ParseTransferMetadata(std::string_view text);

// What a resume sends as If-Range: the strong ETag, else the Last-Modified date, else empty
// (a weak ETag may not be used for a range).
std::string IfRangeValidator(const TransferMetadata& metadata);

}  // namespace tarnwick
