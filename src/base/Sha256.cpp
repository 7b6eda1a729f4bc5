#include "base/Sha256.h"

#include "base/RegularFile.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// The block in which a file is read for its digest.
constexpr std::size_t kFileBlockBytes = std::size_t{1} << 20;

} // namespace

void Sha256::FreeContext::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

// A context that cannot be made or started (out of memory) is held as none: Update then does
// nothing and the digest is empty, which the report states as no digest.
Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1) {
        context_.reset();
    }
}

Sha256::~Sha256() = default;

void Sha256::Update(std::string_view bytes) {
    if (context_ && EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1) {
        context_.reset();
    }
}

std::string Sha256::FinishHex() {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    if (!context_ || EVP_DigestFinal_ex(context_.get(), digest.data(), &size) != 1) {
        return {};
    }
    context_.reset();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * static_cast<std::size_t>(size));
    for (unsigned int i = 0; i < size; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0xF];
    }
    return hex;
}

std::string Sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.Update(bytes);
    return hash.FinishHex();
}

bool Sha256::UpdateFromFile(const RegularFile& file) {
    std::string block(std::min(file.Size(), kFileBlockBytes), '\0');
    for (std::size_t offset = 0; offset < file.Size(); offset += block.size()) {
        const std::size_t length = std::min(block.size(), file.Size() - offset);
        if (!file.ReadAt(offset, length, block.data())) {
            return false;
        }
        Update(std::string_view(block.data(), length));
    }
    return true;
}

std::optional<std::string> Sha256HexOfFile(const RegularFile& file) {
    Sha256 hash;
    if (!hash.UpdateFromFile(file)) {
        return std::nullopt;
    }
    return hash.FinishHex();
}
