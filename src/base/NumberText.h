#pragma once

#include <optional>
#include <string>
#include <string_view>

// Number texts of the data file and the summary. They never depend on the process locale: the
// desktop program runs under the user's locale, but these texts always use a decimal point.

// As printf "%<width>.<precision>f": right-aligned with blanks in at least `width` characters.
std::string FormatFixed(double value, int width, int precision);

// As printf "%<width>d".
std::string FormatInteger(long long value, int width);

// As printf "%<width>s": the whole text, right-aligned with blanks in at least `width` characters.
std::string PadLeft(std::string_view text, size_t width);

// Reads a number written as one whole token, the way the data file and the tables write them:
// blanks around it, then an optional sign, decimal digits with at most one decimal point, and an
// optional exponent with its digits. Anything else is no number, nothing read from its front:
// "45,5", "1O", "0x1A", "1e", "nan", "inf", an empty text, and a value beyond the range of double.
std::optional<double> ParseNumberToken(std::string_view text);
