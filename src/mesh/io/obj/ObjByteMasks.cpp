#include "mesh/io/obj/ObjByteMasks.h"

#include "mesh/io/obj/ObjTextCursor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Processors that have AVX2 (nearly every x86-64 one in use) classify 32 bytes a step; the
// program itself is built for the x86-64 baseline, so the choice is made when it runs.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RUVO_OBJ_WIDE_CLASSES 1
#include <immintrin.h>
#endif

ObjByteMasks::Block ObjByteMasks::ClassifyBytes(const char* bytes, std::size_t count) {
    Block block;
    for (std::size_t i = 0; i < count; ++i) {
        const uint64_t bit = uint64_t{1} << i;
        block.blank |= ObjTextCursor::IsBlank(bytes[i]) ? bit : 0;
        block.lineBreak |= ObjTextCursor::IsLineBreak(bytes[i]) ? bit : 0;
        block.digit |= static_cast<unsigned char>(bytes[i] - '0') <= 9 ? bit : 0;
    }
    return block;
}

#if defined(__SSE2__)
namespace {

// The classes of sixteen bytes, one bit a byte.
struct SixteenClasses {
    uint64_t blank, lineBreak, digit;
};

// Unsigned ranges by subtraction: a byte is in [low, low + width] when byte - low, taken without
// sign, is no more than width, that is when the minimum of the two is itself.
inline SixteenClasses ClassifySixteen(const char* bytes) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i control = _mm_sub_epi8(chunk, _mm_set1_epi8('\t'));
    const __m128i blank =
        _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(control, _mm_set1_epi8('\r' - '\t')), control),
                     _mm_cmpeq_epi8(chunk, _mm_set1_epi8(' ')));
    const __m128i lineBreak = _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')),
                                           _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r')));
    const __m128i digitOffset = _mm_sub_epi8(chunk, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(digitOffset, _mm_set1_epi8(9)), digitOffset);
    return {static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(blank))),
            static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(lineBreak))),
            static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(digit)))};
}

} // namespace

ObjByteMasks::Block ObjByteMasks::ClassifySixtyFour(const char* bytes) {
    const SixteenClasses a = ClassifySixteen(bytes);
    const SixteenClasses b = ClassifySixteen(bytes + 16);
    const SixteenClasses c = ClassifySixteen(bytes + 32);
    const SixteenClasses d = ClassifySixteen(bytes + 48);
    return {a.blank | (b.blank << 16) | (c.blank << 32) | (d.blank << 48),
            a.lineBreak | (b.lineBreak << 16) | (c.lineBreak << 32) | (d.lineBreak << 48),
            a.digit | (b.digit << 16) | (c.digit << 32) | (d.digit << 48)};
}
#endif

#if defined(RUVO_OBJ_WIDE_CLASSES)
namespace {

// The classes of 32 bytes, one bit a byte (as ClassifySixteen).
struct ThirtyTwoClasses {
    uint64_t blank, lineBreak, digit;
};

__attribute__((target("avx2"))) inline ThirtyTwoClasses ClassifyThirtyTwo(const char* bytes) {
    const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
    const __m256i control = _mm256_sub_epi8(chunk, _mm256_set1_epi8('\t'));
    const __m256i blank = _mm256_or_si256(
        _mm256_cmpeq_epi8(_mm256_min_epu8(control, _mm256_set1_epi8('\r' - '\t')), control),
        _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8(' ')));
    const __m256i lineBreak = _mm256_or_si256(_mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('\n')),
                                              _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('\r')));
    const __m256i digitOffset = _mm256_sub_epi8(chunk, _mm256_set1_epi8('0'));
    const __m256i digit =
        _mm256_cmpeq_epi8(_mm256_min_epu8(digitOffset, _mm256_set1_epi8(9)), digitOffset);
    return {static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(blank))),
            static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(lineBreak))),
            static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(digit)))};
}

} // namespace

__attribute__((target("avx2"))) std::size_t ObjByteMasks::ClassifyWide(const char* text) {
    const std::size_t whole = size_ / 64;
    for (std::size_t index = 0; index < whole; ++index) {
        const ThirtyTwoClasses low = ClassifyThirtyTwo(text + 64 * index);
        const ThirtyTwoClasses high = ClassifyThirtyTwo(text + 64 * index + 32);
        blocks_[index] = {low.blank | (high.blank << 32), low.lineBreak | (high.lineBreak << 32),
                          low.digit | (high.digit << 32)};
    }
    return whole;
}

bool ObjByteMasks::CanClassifyWide() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}
#else
std::size_t ObjByteMasks::ClassifyWide(const char*) {
    return 0;
}

bool ObjByteMasks::CanClassifyWide() {
    return false;
}
#endif

void ObjByteMasks::Classify(std::string_view text, Step step) {
    size_ = text.size();
    blockCount_ = (size_ + 63) / 64;
    blocks_.resize(blockCount_ + 1);
    blocks_[blockCount_] = Block();
    std::size_t index = step == Step::Widest && CanClassifyWide() ? ClassifyWide(text.data()) : 0;
#if defined(__SSE2__)
    for (; step != Step::One && (index + 1) * 64 <= size_; ++index) {
        blocks_[index] = ClassifySixtyFour(text.data() + index * 64);
    }
#endif
    for (; index < blockCount_; ++index) {
        blocks_[index] =
            ClassifyBytes(text.data() + index * 64, std::min<std::size_t>(64, size_ - index * 64));
    }
}
