#include "base/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view WithoutBlanks(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
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

std::optional<double> ParseNumberToken(std::string_view text) {
    text = WithoutBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || negative)) {
        text.remove_prefix(1);
    }
    // from_chars alone would also take "inf", "nan" and a second sign; the token starts with a
    // digit or a point.
    if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) {
        return std::nullopt;
    }
    double magnitude = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] =
        std::from_chars(text.data(), end, magnitude, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(magnitude)) {
        return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}
