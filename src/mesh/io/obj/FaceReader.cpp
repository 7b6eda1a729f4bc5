#include "mesh/io/obj/FaceReader.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') <= 9;
}

bool StartsLikeCorner(const char* p, const char* end) {
    if (p == end) {
        return false;
    }
    if (*p == '-' || *p == '+') {
        return end - p > 1 && IsDigit(p[1]);
    }
    return IsDigit(*p);
}

// Steps over `c` at `p`; nullptr when it is not there.
const char* Expect(const char* p, const char* end, char c) {
    return p && p < end && *p == c ? p + 1 : nullptr;
}

// The form of the first corner, the word at `start`.
CornerForm FormOf(const char* start, const char* end) {
    for (const char* c = start; c < end && !ObjTextCursor::IsBlank(*c); ++c) {
        if (*c == '/' && c + 1 < end && c[1] == '/') {
            return CornerForm::VertexNormal;
        }
    }
    long long value = 0;
    const char* p = ParseInteger(start, end, value);
    p = Expect(p, end, '/');
    p = p ? ParseInteger(p, end, value) : nullptr;
    if (!p) {
        return CornerForm::Vertex;
    }
    p = Expect(p, end, '/');
    return p && ParseInteger(p, end, value) ? CornerForm::VertexTexCoordNormal
                                            : CornerForm::VertexTexCoord;
}

// Reads the fields of the face's form from the corner at `p`; fields it does not give keep the
// values of the corner read before. Returns where the parse stopped.
const char* ParseCorner(const char* p, const char* end, CornerForm form, FaceCorner& corner) {
    p = ParseInteger(p, end, corner.vertex);
    switch (form) {
    case CornerForm::Vertex:
        return p;
    case CornerForm::VertexNormal:
        p = Expect(Expect(p, end, '/'), end, '/');
        return p ? ParseInteger(p, end, corner.normal) : nullptr;
    case CornerForm::VertexTexCoord:
        p = Expect(p, end, '/');
        return p ? ParseInteger(p, end, corner.texCoord) : nullptr;
    case CornerForm::VertexTexCoordNormal:
        p = Expect(p, end, '/');
        p = p ? ParseInteger(p, end, corner.texCoord) : nullptr;
        p = Expect(p, end, '/');
        return p ? ParseInteger(p, end, corner.normal) : nullptr;
    }
    return p;
}

// The number of set bits of a 16-bit mask (no processor instruction needed).
std::size_t CountBits(unsigned mask) {
    mask = mask - ((mask >> 1) & 0x5555u);
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0F0Fu;
    return (mask + (mask >> 8)) & 0x1Fu;
}

// Counts the words from `p` to the end of its line when each of them starts with a digit, and
// moves `p` to the line break (or the end); SIZE_MAX when a word does not start with a digit
// (the careful per-word scan then decides). Almost every face line qualifies, so this runs
// sixteen characters at a time where the processor allows.
std::size_t CountDigitWords(const char*& p, const char* end) {
    std::size_t words = 0;
    unsigned bad = 0;
    unsigned previousBlank = 1;
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i belowTab = _mm_set1_epi8('\t' - 1);
    const __m128i aboveReturn = _mm_set1_epi8('\r' + 1);
    const __m128i belowZero = _mm_set1_epi8('0' - 1);
    const __m128i aboveNine = _mm_set1_epi8('9' + 1);
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i control =
            _mm_and_si128(_mm_cmpgt_epi8(chunk, belowTab), _mm_cmplt_epi8(chunk, aboveReturn));
        const auto blank = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, space), control)));
        const auto digit = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpgt_epi8(chunk, belowZero), _mm_cmplt_epi8(chunk, aboveNine))));
        const auto breaks = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn))));
        const unsigned beforeBreak = breaks ? (breaks & (0u - breaks)) - 1u : 0xFFFFu;
        const unsigned starts = ~blank & ((blank << 1) | previousBlank) & beforeBreak;
        bad |= starts & ~digit;
        words += CountBits(starts);
        if (breaks) {
            p += __builtin_ctz(breaks);
            return bad ? SIZE_MAX : words;
        }
        previousBlank = (blank >> 15) & 1u;
    }
#endif
    for (; p < end && !ObjTextCursor::IsLineBreak(*p); ++p) {
        const char c = *p;
        const unsigned blank = ObjTextCursor::IsBlank(c);
        const unsigned start = previousBlank & (blank ^ 1u);
        words += start;
        bad |= start & (IsDigit(c) ? 0u : 1u);
        previousBlank = blank;
    }
    return bad ? SIZE_MAX : words;
}

std::size_t CountCornersWordByWord(ObjTextCursor& cursor) {
    std::size_t count = 0;
    for (cursor.SkipBlanks(); StartsLikeCorner(cursor.Here(), cursor.End()); cursor.SkipBlanks()) {
        cursor.SkipWord();
        ++count;
    }
    return count;
}

} // namespace

std::size_t FaceReader::CountCorners(ObjTextCursor& cursor) {
    std::size_t count = 0;
    // The corners may go on over the next lines, for as long as the words start like corners.
    for (cursor.SkipBlanks(); StartsLikeCorner(cursor.Here(), cursor.End()); cursor.SkipBlanks()) {
        const char* lineStart = cursor.Here();
        const char* p = lineStart;
        const std::size_t words = CountDigitWords(p, cursor.End());
        if (words == SIZE_MAX) {
            return count + CountCornersWordByWord(cursor);
        }
        count += words;
        cursor.MoveTo(p);
    }
    return count;
}

bool FaceReader::Next(ObjTextCursor& cursor) {
    cursor.SkipBlanks();
    if (!StartsLikeCorner(cursor.Here(), cursor.End())) {
        return false;
    }
    if (count_++ == 0) {
        form_ = FormOf(cursor.Here(), cursor.End());
    }
    if (const char* stop = ParseCorner(cursor.Here(), cursor.End(), form_, corner_)) {
        cursor.MoveTo(stop);
    }
    cursor.SkipWord();
    return true;
}
