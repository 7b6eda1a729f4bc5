#pragma once

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

// Reads a number the way atof does: leading white space skipped, then the longest valid prefix
// (sign, digits, decimal point, exponent, or a 0x hexadecimal form); 0 when there is none. A value
// beyond the range of double, an infinity or a NaN also reads as 0, so that no such value reaches
// the case.
double ParseLenientNumber(std::string_view text);
