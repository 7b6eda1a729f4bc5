#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class RegularFile;

// SHA-256 (FIPS 180-4) of bytes fed in any number of pieces, for the layers below Qt: a reader
// hashes the very bytes it parsed, so that what a report cites is what was read. On processors
// with the SHA extensions the blocks are compressed by them (about ten times faster, which keeps
// hashing a 100 MB model well under the time taken to read it); elsewhere by plain C++. Both give
// the same digest.
class Sha256 {
public:
    enum class Engine {
        Fastest,  // the SHA extensions when the processor has them
        PlainCode // always the plain C++ rounds (to test one against the other)
    };

    explicit Sha256(Engine engine = Engine::Fastest);

    void Update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits. The hash is finished: feed no more.
    std::string FinishHex();

    // Whether Engine::Fastest uses the SHA extensions on this processor.
    static bool HasShaExtensions();

private:
    void Compress(const unsigned char* blocks, std::size_t count);

    std::array<uint32_t, 8> state_;
    std::array<unsigned char, 64> pending_{}; // the bytes of an incomplete block
    std::size_t pendingSize_ = 0;
    uint64_t totalBytes_ = 0;
    bool extensions_ = false;
};

// The SHA-256 of `bytes`, in lower-case hexadecimal.
std::string Sha256Hex(std::string_view bytes);

// The SHA-256 of the file's bytes, read through its open descriptor in blocks (the file is never
// held whole in memory); nothing when the file no longer holds the size it was opened with. The
// caller checks RegularFile::Unchanged afterwards to know the bytes are the ones it read before.
std::optional<std::string> Sha256HexOfFile(const RegularFile& file);
