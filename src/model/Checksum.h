#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

enum class ChecksumAlgorithm { Sha256, Md5 };

// A file's expected digest, as the user gives it: "sha256=HEX" or "md5=HEX".
struct Checksum {
    ChecksumAlgorithm algorithm = ChecksumAlgorithm::Sha256;
    std::string hex;  // lower case, 64 digits for sha256, 32 for md5
};

// The checksum a text stands for, or nothing when it is not one: the algorithm's name
// (either case), '=', and exactly its number of hexadecimal digits (either case); blanks
// around the whole are ignored. The command line and the Add File(s) dialog refuse what
// this refuses.
std::optional<Checksum> ParseChecksum(std::string_view text);

// "sha256" or "md5".
const char* ChecksumAlgorithmName(ChecksumAlgorithm algorithm);
// "sha256=hex", the form ParseChecksum reads.
std::string ChecksumText(const Checksum& checksum);

}  // namespace tarnwick
