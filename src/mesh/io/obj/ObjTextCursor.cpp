#include "mesh/io/obj/ObjTextCursor.h"

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
    const float magnitude =
        static_cast<float>(mantissa) / objtext::kExactPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return i;
}

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a decimal number (sign, digits, point, fraction, exponent) is 1 or more in magnitude,
// read from its digits alone: a number out of a float's range overflows when it is and
// underflows when it is not, whatever its exponent's sign ("1000e-1" is 100).
bool AtLeastOne(std::string_view number) {
    std::size_t at = number.starts_with('-') || number.starts_with('+') ? 1 : 0;
    const auto skipDigits = [&number, &at] {
        while (at < number.size() && IsDecimalDigit(number[at])) {
            ++at;
        }
    };
    while (at < number.size() && number[at] == '0') {
        ++at;
    }
    const std::size_t firstInteger = at;
    skipDigits();
    // The power of ten of the first significant digit.
    long long power = static_cast<long long>(at - firstInteger) - 1;
    if (at < number.size() && number[at] == '.') {
        ++at;
        if (power < 0) {
            const std::size_t firstFraction = at;
            while (at < number.size() && number[at] == '0') {
                ++at;
            }
            if (at == number.size() || !IsDecimalDigit(number[at])) {
                return false; // no significant digit: zero
            }
            power = -static_cast<long long>(at - firstFraction) - 1;
        }
        skipDigits();
    } else if (power < 0) {
        return false;
    }
    long long exponent = 0;
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        const bool negative = at < number.size() && number[at] == '-';
        if (at < number.size() && (number[at] == '-' || number[at] == '+')) {
            ++at;
        }
        for (; at < number.size() && IsDecimalDigit(number[at]); ++at) {
            exponent = std::min<long long>(exponent * 10 + (number[at] - '0'), 1'000'000'000);
        }
        exponent = negative ? -exponent : exponent;
    }
    return power + exponent >= 0;
}

} // namespace

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

std::size_t ObjTextCursor::LineNumberAt(std::size_t offset) const {
    return 1 + CountLineBreaks(begin_, begin_ + std::min(offset, Size()), 0);
}

std::size_t ParseFloatCarefully(std::string_view text, float& value) {
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
        const float magnitude = AtLeastOne(number) ? std::numeric_limits<float>::infinity() : 0.0f;
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
