#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/Checksum.h"

namespace tarnwick {

// A digest computed as the bytes go by (OpenSSL's EVP), so that checking a finished file
// never reads it again.
class Hasher {
public:
    explicit Hasher(ChecksumAlgorithm algorithm);
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    void Update(std::string_view data);
    // Lower-case hex of everything given since the start or the last Reset.
    std::string FinishHex();
    void Reset();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarnwick
