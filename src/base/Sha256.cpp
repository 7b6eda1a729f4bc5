#include "base/Sha256.h"

#include "base/RegularFile.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RUVO_SHA_EXTENSIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

constexpr std::size_t kBlockBytes = 64;

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
alignas(16) constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// The first 32 bits of the fractional parts of the square roots of the first 8 primes.
constexpr std::array<uint32_t, 8> kInitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

// Blocks hashed from a file per read: large enough that the system calls cost nothing, small
// enough that hashing a large model takes no memory to speak of.
constexpr std::size_t kFileBlockBytes = std::size_t{1} << 20;

uint32_t RotateRight(uint32_t value, int bits) {
    return (value >> bits) | (value << (32 - bits));
}

uint32_t BigEndianWord(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

// The 64 rounds in plain C++, block after block.
void CompressPlain(std::array<uint32_t, 8>& state, const unsigned char* data, std::size_t blocks) {
    for (std::size_t b = 0; b < blocks; ++b, data += kBlockBytes) {
        uint32_t w[64];
        for (int t = 0; t < 16; ++t) {
            w[t] = BigEndianWord(data + 4 * t);
        }
        for (int t = 16; t < 64; ++t) {
            const uint32_t s0 =
                RotateRight(w[t - 15], 7) ^ RotateRight(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const uint32_t s1 =
                RotateRight(w[t - 2], 17) ^ RotateRight(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        uint32_t a = state[0], b1 = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            const uint32_t sum1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
            const uint32_t choice = (e & f) ^ (~e & g);
            const uint32_t t1 = h + sum1 + choice + kRoundConstants[t] + w[t];
            const uint32_t sum0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
            const uint32_t majority = (a & b1) ^ (a & c) ^ (b1 & c);
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b1;
            b1 = a;
            a = t1 + sum0 + majority;
        }
        state[0] += a;
        state[1] += b1;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef RUVO_SHA_EXTENSIONS

bool ProcessorHasShaExtensions() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    const bool ssse3 = (ecx & (1u << 9)) != 0;
    const bool sse41 = (ecx & (1u << 19)) != 0;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    const bool sha = (ebx & (1u << 29)) != 0;
    return ssse3 && sse41 && sha;
}

// The same rounds with the SHA extensions. The state is kept as the instructions want it: one
// register holds A, B, E, F and the other C, D, G, H. Each step does four rounds; the message
// schedule keeps the last sixteen words in four registers.
__attribute__((target("sha,sse4.1,ssse3"))) void
CompressWithExtensions(std::array<uint32_t, 8>& state, const unsigned char* data,
                       std::size_t blocks) {
    // Turns each big-endian word of the message around.
    const __m128i byteOrder = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (std::size_t b = 0; b < blocks; ++b, data += kBlockBytes) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i words[4];
        for (int step = 0; step < 16; ++step) {
            __m128i& current = words[step % 4];
            if (step < 4) {
                current = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * step)), byteOrder);
            } else {
                // W[t] = s1(W[t-2]) + W[t-7] + s0(W[t-15]) + W[t-16] for four t at once.
                const __m128i& next = words[(step + 1) % 4];
                const __m128i& older = words[(step + 2) % 4];
                const __m128i& latest = words[(step + 3) % 4];
                const __m128i partial = _mm_add_epi32(_mm_sha256msg1_epu32(current, next),
                                                      _mm_alignr_epi8(latest, older, 4));
                current = _mm_sha256msg2_epu32(partial, latest);
            }
            __m128i message = _mm_add_epi32(
                current,
                _mm_load_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * step])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

#else

bool ProcessorHasShaExtensions() {
    return false;
}

void CompressWithExtensions(std::array<uint32_t, 8>& state, const unsigned char* data,
                            std::size_t blocks) {
    CompressPlain(state, data, blocks);
}

#endif

std::string Hex(const std::array<uint32_t, 8>& state) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (uint32_t word : state) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            hex += kDigits[(word >> shift) & 0xF];
        }
    }
    return hex;
}

} // namespace

Sha256::Sha256(Engine engine)
    : state_(kInitialState), extensions_(engine == Engine::Fastest && HasShaExtensions()) {}

bool Sha256::HasShaExtensions() {
    static const bool has = ProcessorHasShaExtensions();
    return has;
}

void Sha256::Compress(const unsigned char* blocks, std::size_t count) {
    if (extensions_) {
        CompressWithExtensions(state_, blocks, count);
    } else {
        CompressPlain(state_, blocks, count);
    }
}

void Sha256::Update(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    totalBytes_ += size;
    if (pendingSize_ > 0) {
        const std::size_t taken = std::min(size, kBlockBytes - pendingSize_);
        std::memcpy(pending_.data() + pendingSize_, data, taken);
        pendingSize_ += taken;
        data += taken;
        size -= taken;
        if (pendingSize_ < kBlockBytes) {
            return;
        }
        Compress(pending_.data(), 1);
        pendingSize_ = 0;
    }
    const std::size_t whole = size / kBlockBytes;
    if (whole > 0) {
        Compress(data, whole);
    }
    pendingSize_ = size - whole * kBlockBytes;
    if (pendingSize_ > 0) {
        std::memcpy(pending_.data(), data + whole * kBlockBytes, pendingSize_);
    }
}

std::string Sha256::FinishHex() {
    // The message is padded with a 1 bit, zeros, and its length in bits as 64 big-endian bits.
    const uint64_t bits = totalBytes_ * 8;
    std::array<unsigned char, 2 * kBlockBytes> tail{};
    std::memcpy(tail.data(), pending_.data(), pendingSize_);
    tail[pendingSize_] = 0x80;
    const std::size_t length = pendingSize_ + 9 <= kBlockBytes ? kBlockBytes : 2 * kBlockBytes;
    for (int i = 0; i < 8; ++i) {
        tail[length - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    }
    Compress(tail.data(), length / kBlockBytes);
    pendingSize_ = 0;
    return Hex(state_);
}

std::string Sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.Update(bytes);
    return hash.FinishHex();
}

std::optional<std::string> Sha256HexOfFile(const RegularFile& file) {
    Sha256 hash;
    std::string block(std::min(file.Size(), kFileBlockBytes), '\0');
    for (std::size_t offset = 0; offset < file.Size(); offset += block.size()) {
        const std::size_t length = std::min(block.size(), file.Size() - offset);
        if (!file.ReadAt(offset, length, block.data())) {
            return std::nullopt;
        }
        hash.Update(std::string_view(block.data(), length));
    }
    return hash.FinishHex();
}
