#include "base/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsSign(char c) {
    return c == '+' || c == '-';
}

// The number at the start of [begin, end), without a sign; 0 when none converts.
double ParseUnsigned(const char* begin, const char* end) {
    if (begin == end || IsSign(*begin)) {
        return 0;
    }
    double value = 0;
    const bool hexadecimal =
        end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X');
    if (hexadecimal && !IsSign(begin[2])) {
        if (std::from_chars(begin + 2, end, value, std::chars_format::hex).ec != std::errc()) {
            value = 0; // "0x" with nothing after it reads as the 0 in front
        }
        return value;
    }
    if (std::from_chars(begin, end, value, std::chars_format::general).ec != std::errc()) {
        return 0;
    }
    return value;
}

} // namespace

std::string FormatFixed(double value, int width, int precision) {
    // One spelling for values that are not numbers, whatever their sign bit says.
    if (std::isnan(value)) {
        return PadLeft("nan", static_cast<size_t>(width));
    }
    // Room for the largest double written out in full (309 digits), a sign, a point and the
    // decimals.
    std::string text(static_cast<size_t>(precision) + 320, '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, precision);
    text.resize(result.ec == std::errc() ? static_cast<size_t>(result.ptr - text.data()) : 0);
    return PadLeft(text, static_cast<size_t>(width));
}

std::string FormatInteger(long long value, int width) {
    return PadLeft(std::to_string(value), static_cast<size_t>(width));
}

std::string PadLeft(std::string_view text, size_t width) {
    std::string padded;
    if (text.size() < width) {
        padded.assign(width - text.size(), ' ');
    }
    padded.append(text);
    return padded;
}

double ParseLenientNumber(std::string_view text) {
    size_t position = 0;
    while (position < text.size() && IsWhiteSpace(text[position])) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && IsSign(text[position])) {
        negative = text[position] == '-';
        ++position;
    }
    const double magnitude = ParseUnsigned(text.data() + position, text.data() + text.size());
    if (!std::isfinite(magnitude)) {
        return 0;
    }
    return negative ? -magnitude : magnitude;
}
