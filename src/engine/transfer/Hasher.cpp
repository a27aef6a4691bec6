#include "engine/transfer/Hasher.h"

#include <openssl/evp.h>

namespace tarnwick {

struct Hasher::Impl {
    const EVP_MD* digest = nullptr;
    EVP_MD_CTX* context = nullptr;
};

Hasher::Hasher(ChecksumAlgorithm algorithm) : impl_(std::make_unique<Impl>()) {
    impl_->digest = algorithm == ChecksumAlgorithm::Md5 ? EVP_md5() : EVP_sha256();
    impl_->context = EVP_MD_CTX_new();
    Reset();
}

Hasher::~Hasher() {
    EVP_MD_CTX_free(impl_->context);
}

void Hasher::Reset() {
    if (impl_->context != nullptr) {
        EVP_DigestInit_ex(impl_->context, impl_->digest, nullptr);
    }
}

void Hasher::Update(std::string_view data) {
    if (impl_->context != nullptr && !data.empty()) {
        EVP_DigestUpdate(impl_->context, data.data(), data.size());
    }
}

std::string Hasher::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (impl_->context == nullptr || EVP_DigestFinal_ex(impl_->context, digest, &length) != 1) {
        return {};
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(kDigits[digest[i] >> 4]);
        hex.push_back(kDigits[digest[i] & 0x0f]);
    }
    Reset();
    return hex;
}

}  // namespace tarnwick
