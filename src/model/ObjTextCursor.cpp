#include "model/ObjTextCursor.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLineBlank(char c) {
    return !ObjTextCursor::IsLineBreak(c) && ObjTextCursor::IsBlank(c);
}

// Powers of ten that a float holds exactly.
constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr uint64_t kPowersOfTenAsIntegers[] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000, 10000000000};

// The common short forms read eight characters at a time: digits, a point and digits, with
// room to read past the number. Returns 0 when the text is not of that form.
std::size_t ParseShortFloatInChunks(std::string_view text, float& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    i += negative ? 1 : 0;
    if (text.size() < i + 18) {
        return 0;
    }
    uint64_t whole = 0, fraction = 0;
    const int wholeDigits = ParseEightDigits(text.data() + i, whole);
    if (wholeDigits == 0 || wholeDigits == 8 || text[i + wholeDigits] != '.') {
        return 0;
    }
    i += static_cast<std::size_t>(wholeDigits) + 1;
    const int fractionDigits = ParseEightDigits(text.data() + i, fraction);
    if (fractionDigits == 0 || fractionDigits == 8 || wholeDigits + fractionDigits > 9) {
        return 0;
    }
    i += static_cast<std::size_t>(fractionDigits);
    if (text[i] == 'e' || text[i] == 'E' || text[i] == '.') {
        return 0;
    }
    const uint64_t mantissa = whole * kPowersOfTenAsIntegers[fractionDigits] + fraction;
    if (mantissa > (1u << 24)) {
        return 0;
    }
    const float magnitude = static_cast<float>(mantissa) / kExactPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return i;
}

// The common short forms ("-0.123456", "12.5"): when the digits fit a float's mantissa exactly
// and the scale is an exact power of ten, one division rounds correctly. Returns 0 otherwise.
std::size_t ParseShortFloat(std::string_view text, float& value) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) {
        ++i;
    }
    uint32_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    while (i < text.size() && IsDigit(text[i]) && digits < 9) {
        mantissa = mantissa * 10 + static_cast<uint32_t>(text[i] - '0');
        ++digits;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]) && digits < 9) {
            mantissa = mantissa * 10 + static_cast<uint32_t>(text[i] - '0');
            ++digits;
            ++fractionDigits;
            ++i;
        }
    }
    const bool moreToRead =
        i < text.size() && (IsDigit(text[i]) || text[i] == 'e' || text[i] == 'E' || text[i] == '.');
    if (digits == 0 || moreToRead || mantissa > (1u << 24)) {
        return 0;
    }
    const float magnitude = static_cast<float>(mantissa) / kExactPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return i;
}

bool HasNegativeExponent(std::string_view number) {
    const std::size_t e = number.find_first_of("eE");
    return e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
}

} // namespace

std::string_view ObjTextCursor::NextWord() {
    SkipBlanks();
    const char* start = position_;
    SkipWord();
    return {start, static_cast<std::size_t>(position_ - start)};
}

std::string_view ObjTextCursor::PeekWordOnLine() const {
    const char* start = position_;
    while (start < end_ && IsLineBlank(*start)) {
        ++start;
    }
    const char* stop = start;
    while (stop < end_ && !IsBlank(*stop)) {
        ++stop;
    }
    return {start, static_cast<std::size_t>(stop - start)};
}

std::string_view ObjTextCursor::PeekWord() const {
    const char* start = position_;
    while (start < end_ && IsBlank(*start)) {
        ++start;
    }
    const char* stop = start;
    while (stop < end_ && !IsBlank(*stop)) {
        ++stop;
    }
    return {start, static_cast<std::size_t>(stop - start)};
}

const char* ObjTextCursor::FindLineBreak(const char* from, const char* end) {
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    for (; end - from >= 16; from += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const auto breaks = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn))));
        if (breaks) {
            return from + __builtin_ctz(breaks);
        }
    }
#endif
    while (from < end && !IsLineBreak(*from)) {
        ++from;
    }
    return from;
}

std::size_t ObjTextCursor::CountLineBreaks(const char* from, const char* stop, char previous) {
    // Every CR ends a line, and every LF that does not follow a CR.
    std::size_t count = 0;
    for (; from < stop; previous = *from++) {
        count += *from == '\r' || (*from == '\n' && previous != '\r');
    }
    return count;
}

void ObjTextCursor::SkipLine() {
    // Most lines are done with by the time they are skipped: only their line break is left.
    if (position_ < end_ && IsLineBreak(*position_)) {
        ++position_;
        return;
    }
    const char* lineBreak = FindLineBreak(position_, end_);
    position_ = lineBreak < end_ ? lineBreak + 1 : end_;
}

std::string_view ObjTextCursor::RestOfLine() {
    const char* start = position_;
    SkipLine();
    const char* stop = position_;
    if (stop > start && IsLineBreak(stop[-1])) {
        --stop;
    }
    return {start, static_cast<std::size_t>(stop - start)};
}

bool ObjTextCursor::ReadFloatOnLine(float& value) {
    const char* start = position_;
    while (start < end_ && IsLineBlank(*start)) {
        ++start;
    }
    const std::size_t used = ParseFloat({start, static_cast<std::size_t>(end_ - start)}, value);
    if (used == 0) {
        return false;
    }
    position_ = start + used;
    return true;
}

std::size_t ObjTextCursor::LineNumberAt(std::size_t offset) const {
    return 1 + CountLineBreaks(begin_, begin_ + std::min(offset, Size()), 0);
}

std::size_t ParseFloat(std::string_view text, float& value) {
    if constexpr (std::endian::native == std::endian::little) {
        if (const std::size_t used = ParseShortFloatInChunks(text, value)) {
            return used;
        }
    }
    if (const std::size_t used = ParseShortFloat(text, value)) {
        return used;
    }
    std::size_t skipped = 0;
    if (!text.empty() && text[0] == '+') {
        if (text.size() < 2 || text[1] == '-' || text[1] == '+') {
            return 0;
        }
        skipped = 1;
    }
    const char* first = text.data() + skipped;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) {
        const std::string_view number(first, static_cast<std::size_t>(end - first));
        const bool negative = number.starts_with('-');
        const float magnitude =
            HasNegativeExponent(number) ? 0.0f : std::numeric_limits<float>::infinity();
        value = negative ? -magnitude : magnitude;
    } else if (error != std::errc()) {
        return 0;
    }
    return static_cast<std::size_t>(end - text.data());
}

std::string_view NameArgument(std::string_view restOfLine) {
    ObjTextCursor words(restOfLine);
    const std::string_view first = words.NextWord();
    const std::string_view second = words.NextWord();
    return second.empty() ? first : second;
}
