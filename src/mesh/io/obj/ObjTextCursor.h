#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Walks Wavefront text (OBJ or MTL) as blank-separated words and lines. Words and lines are read
// whole whatever their length; nothing is ever read beyond the end of the text.
class ObjTextCursor {
public:
    explicit ObjTextCursor(std::string_view text)
        : begin_(text.data()), position_(text.data()), end_(text.data() + text.size()) {}

    static bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    // Lines end in LF, CR LF or a lone CR (old Mac exports); CR LF is a CR break followed by a
    // blank LF.
    static bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

    // A blank within a line: space, tab, vertical tab or form feed.
    static bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

    // The first line break in [from, end), or end.
    static const char* FindLineBreak(const char* from, const char* end);

    // The number of lines that end before `stop` in [from, stop); `previous` is the character
    // before `from` (0 when there is none), so that a CR LF split across calls counts once.
    static std::size_t CountLineBreaks(const char* from, const char* stop, char previous);

    // Direct access for the scanners of face corners.
    const char* Here() const { return position_; }
    const char* End() const { return end_; }
    void MoveTo(const char* position) { position_ = position; }

    // Skips blanks and line breaks.
    void SkipBlanks() {
        while (position_ < end_ && IsBlank(*position_)) {
            ++position_;
        }
    }

    // Skips the characters of the word at the cursor.
    void SkipWord() {
        while (position_ < end_ && !IsBlank(*position_)) {
            ++position_;
        }
    }

    // The next word, skipping blanks and line breaks before it; empty at the end of the text.
    std::string_view NextWord() {
        SkipBlanks();
        const char* start = position_;
        SkipWord();
        return {start, static_cast<std::size_t>(position_ - start)};
    }

    // The next word on the current line without consuming it; empty when the line has no more.
    std::string_view PeekWordOnLine() const;

    // The next word, crossing line breaks, without consuming it.
    std::string_view PeekWord() const;

    // Moves just past the word returned by PeekWord / PeekWordOnLine.
    void Consume(std::string_view peekedWord) { position_ = peekedWord.data() + peekedWord.size(); }

    // Skips the rest of the current line including its line break (for CR LF, the CR).
    void SkipLine();

    // The rest of the current line (without its line break); the cursor moves to the next line.
    std::string_view RestOfLine();

    // Reads one decimal number from the current line; false (nothing consumed) when the line
    // holds no further number.
    inline bool ReadFloatOnLine(float& value);

    std::size_t Offset() const { return static_cast<std::size_t>(position_ - begin_); }
    std::size_t Size() const { return static_cast<std::size_t>(end_ - begin_); }

    // The 1-based number of the line holding the character at `offset`.
    std::size_t LineNumberAt(std::size_t offset) const;

private:
    const char* begin_;
    const char* position_;
    const char* end_;
};

// Reads up to eight digits at `text` at once (there must be eight readable characters): returns
// how many digits lead the eight characters, and their value in `value`.
inline int ParseEightDigits(const char* text, uint64_t& value) {
    uint64_t chunk;
    std::memcpy(&chunk, text, sizeof chunk);
    // The lowest byte that is not a digit gets its high bit set; bytes after it do not matter.
    const uint64_t notDigit =
        ((chunk + 0x4646464646464646ull) | (chunk - 0x3030303030303030ull)) & 0x8080808080808080ull;
    const int digits = notDigit ? __builtin_ctzll(notDigit) / 8 : 8;
    if (digits == 0) {
        return 0;
    }
    // Keep the digits, moved to the top so that the empty places read as leading zeros.
    uint64_t packed = (chunk & 0x0F0F0F0F0F0F0F0Full) << (8 * (8 - digits));
    packed = (packed * 10 + (packed >> 8)) & 0x00FF00FF00FF00FFull;
    packed = (packed * 100 + (packed >> 16)) & 0x0000FFFF0000FFFFull;
    value = (packed * 10000 + (packed >> 32)) & 0xFFFFFFFFull;
    return digits;
}

namespace objtext {

// Powers of ten that a float holds exactly.
inline constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                              1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
inline constexpr uint64_t kPowersOfTenAsIntegers[] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000, 10000000000};

// The common short forms ("-0.123456", "12.5") read eight characters at a time: digits, a point
// and digits, with room to read past the number. When the digits fit a float's mantissa exactly
// and the scale is an exact power of ten, one division rounds correctly. Returns 0 when the text
// is not of that form.
inline std::size_t ParseShortFloatInChunks(std::string_view text, float& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    i += negative ? 1 : 0;
    if (text.size() < i + 18) {
        return 0;
    }
    uint64_t whole = 0, fraction = 0;
    int wholeDigits = 1;
    // Coordinates of a model in metres or a unit box mostly have a single whole digit.
    if (static_cast<unsigned char>(text[i] - '0') <= 9 && text[i + 1] == '.') {
        whole = static_cast<uint64_t>(text[i] - '0');
    } else {
        wholeDigits = ParseEightDigits(text.data() + i, whole);
    }
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

} // namespace objtext

// Every number ParseFloat does not take in its short path.
std::size_t ParseFloatCarefully(std::string_view text, float& value);

// Parses a decimal number at the start of `text` the way a C library reads "%f" (optional sign,
// digits, fraction, exponent, "inf", "nan"); returns the characters used, 0 when there is none.
// The short forms of nearly every model are read here, inline in the readers' loops.
inline std::size_t ParseFloat(std::string_view text, float& value) {
    if constexpr (std::endian::native == std::endian::little) {
        if (const std::size_t used = objtext::ParseShortFloatInChunks(text, value)) {
            return used;
        }
    }
    return ParseFloatCarefully(text, value);
}

inline bool ObjTextCursor::ReadFloatOnLine(float& value) {
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

// Parses an optionally signed decimal integer at `text`, saturating far beyond the 32-bit range;
// returns the position after it, or nullptr (value untouched) when there is none.
inline const char* ParseInteger(const char* text, const char* end, long long& value) {
    constexpr long long kLimit = 1'000'000'000'000LL;
    bool negative = false;
    if (text < end && (*text == '-' || *text == '+')) {
        negative = *text == '-';
        ++text;
    }
    long long magnitude = 0;
    bool anyDigit = false;
    if constexpr (std::endian::native == std::endian::little) {
        uint64_t leading = 0;
        if (end - text >= 8) {
            const int digits = ParseEightDigits(text, leading);
            if (digits == 0) {
                return nullptr;
            }
            magnitude = static_cast<long long>(leading);
            anyDigit = true;
            text += digits;
            if (digits < 8) {
                value = negative ? -magnitude : magnitude;
                return text;
            }
        }
    }
    if (!anyDigit && (text == end || static_cast<unsigned char>(*text - '0') > 9)) {
        return nullptr;
    }
    while (text < end && static_cast<unsigned char>(*text - '0') <= 9) {
        magnitude = magnitude < kLimit ? magnitude * 10 + (*text - '0') : kLimit;
        ++text;
    }
    value = negative ? -magnitude : magnitude;
    return text;
}

// The argument of mtllib, usemtl and newmtl: the first word of the rest of the line, or its second
// word when there is one.
std::string_view NameArgument(std::string_view restOfLine);
