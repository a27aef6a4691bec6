#include "model/Checksum.h"

#include <cctype>

namespace tarnwick {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<Checksum> ParseChecksum(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = text.substr(0, equals);
    const std::string_view digits = text.substr(equals + 1);
    Checksum checksum;
    std::size_t wanted = 0;
    if (EqualsIgnoringCase(name, "sha256")) {
        checksum.algorithm = ChecksumAlgorithm::Sha256;
        wanted = 64;
    } else if (EqualsIgnoringCase(name, "md5")) {
        checksum.algorithm = ChecksumAlgorithm::Md5;
        wanted = 32;
    } else {
        return std::nullopt;
    }
    if (digits.size() != wanted) {
        return std::nullopt;
    }
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        checksum.hex.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return checksum;
}

const char* ChecksumAlgorithmName(ChecksumAlgorithm algorithm) {
    return algorithm == ChecksumAlgorithm::Md5 ? "md5" : "sha256";
}

std::string ChecksumText(const Checksum& checksum) {
    return std::string(ChecksumAlgorithmName(checksum.algorithm)) + "=" + checksum.hex;
}

}  // namespace tarnwick
