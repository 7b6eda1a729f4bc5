#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class RegularFile;
struct evp_md_ctx_st;

// SHA-256 of bytes fed in any number of pieces, for the layers below Qt: a reader hashes the very
// bytes it parsed, so that what a report cites is what was read. The rounds are OpenSSL's
// (libcrypto), which use the processor's SHA instructions where it has them; the Qt layers hash
// with QCryptographicHash, which gives the same digest.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(std::string_view bytes);
    // Feeds the file's bytes, read through its open descriptor in blocks; false when the file no
    // longer holds the size it was opened with (the hash is then of no use).
    bool UpdateFromFile(const RegularFile& file);
    // The digest as 64 lower-case hexadecimal digits. The hash is finished: feed no more.
    std::string FinishHex();

private:
    struct FreeContext {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, FreeContext> context_;
};

// The SHA-256 of `bytes`, in lower-case hexadecimal.
std::string Sha256Hex(std::string_view bytes);

// The SHA-256 of the file's bytes, read through its open descriptor in blocks (the file is never
// held whole in memory); nothing when the file no longer holds the size it was opened with. The
// caller checks RegularFile::Unchanged afterwards to know the bytes are the ones it read before.
std::optional<std::string> Sha256HexOfFile(const RegularFile& file);
