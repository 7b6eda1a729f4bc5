#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "base/Utf8Text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string Printf(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

} // namespace

TEST(NumberText, FormatsLikePrintfInEveryLocale) {
    for (const double value :
         {0.0, -0.0, 0.5, 127.5, 1.0 / 3, -2.675, 0.00005, 1234567.891, 1e300, -1e-9}) {
        EXPECT_EQ(FormatFixed(value, 5, 4), Printf("%5.4f", value)) << value;
        EXPECT_EQ(FormatFixed(value, 5, 2), Printf("%5.2f", value)) << value;
        EXPECT_EQ(FormatFixed(value, 5, 0), Printf("%5.0f", value)) << value;
    }
    EXPECT_EQ(FormatInteger(7, 2), " 7");
    EXPECT_EQ(FormatInteger(-1234567, 5), "-1234567");
    EXPECT_EQ(PadLeft("ab", 5), "   ab");
    EXPECT_EQ(PadLeft("abcdef", 5), "abcdef");

    // The desktop program runs under the user's locale; the file must still use points.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(FormatFixed(1.5, 5, 2), " 1.50");
        EXPECT_EQ(ParseNumberToken("1.5"), 1.5);
        std::setlocale(LC_NUMERIC, previous.c_str());
    }
}

// A hand-edited "45,5" used to read as 45, "1O" as 1 and "0,015" as 0, without a word.
TEST(NumberText, ReadsOnlyAWholeNumberTokenAndNeverInfinity) {
    EXPECT_EQ(ParseNumberToken("  0.12"), 0.12);
    EXPECT_EQ(ParseNumberToken("\t\r\n -3.5e2 "), -350);
    EXPECT_EQ(ParseNumberToken("+.5"), 0.5);
    EXPECT_EQ(ParseNumberToken("12."), 12);
    EXPECT_EQ(ParseNumberToken("1E-3"), 0.001);
    EXPECT_TRUE(std::signbit(ParseNumberToken("-0").value_or(1)));
    // What the writer makes reads back exactly.
    for (const double value : {0.1234, -10.0, 1.75, 0.015, 255.0, 1e-4}) {
        EXPECT_EQ(ParseNumberToken(FormatFixed(value, 6, 4)), std::stod(FormatFixed(value, 0, 4)));
    }
    for (const char* none : {"",     " ",    "abc", "--1",    "+-2",  "- 1",       ".",   "1e999",
                             "-inf", "inf",  "nan", "1e-999", "45,5", "1O",        "2,5", "0,015",
                             "1e",   "0x1A", "0x",  "1.5.2",  "1 2",  "-3.5e2xyz", "1e+"}) {
        EXPECT_EQ(ParseNumberToken(none), std::nullopt) << none;
    }
}

TEST(TextEscaping, EscapesTheFiveCharactersAndReadsOldTextsAsTheyWere) {
    const std::string text = "a&b<c>d\r\ne &amp; f";
    EXPECT_EQ(EscapeText(text), "a&amp;b&lt;c&gt;d&#13;&#10;e &amp;amp; f");
    EXPECT_EQ(UnescapeText(EscapeText(text)), text);
    EXPECT_EQ(UnescapeText("&quot;x&#9;&amp"), "&quot;x&#9;&amp");
    EXPECT_EQ(UnescapeText("a > b < c"), "a > b < c");
}

TEST(PrintableTextTest, ControlsAndLayoutCharactersAreEscapedAndEveryScriptStays) {
    // ESC, BEL and NUL would act on the terminal; a line break would start a row of its own.
    EXPECT_EQ(PrintableText(std::string("a\x1b[2Jb\x07\0c", 9)), "a\\x1b[2Jb\\x07\\x00c");
    EXPECT_EQ(PrintableText("zone\r\n  150 cm\tforged"), "zone\\r\\n  150 cm\\tforged");
    // The right-to-left override, the line separator, a C1 control, a noncharacter, a lone byte.
    EXPECT_EQ(PrintableText("D\u202eX\u2028Y"), "D\\u202eX\\u2028Y");
    EXPECT_EQ(PrintableText("a\xc2\x9b"
                            "b\xef\xbf\xbe"),
              "a\\u009bb\\ufffe");
    EXPECT_EQ(PrintableText("caf\xe9 \xed\xa0\x80"), "caf\\xe9 \\xed\\xa0\\x80");
    const std::string scripts = "Ж\u05d0\u6f64 \U0001F600 \u00e9 a&b <c> \\n";
    EXPECT_EQ(PrintableText(scripts), scripts);
    EXPECT_EQ(PrintableText(""), "");
}

TEST(PrintableTextTest, LengthsCountCharactersNotBytes) {
    const std::string cyrillic50 = [] {
        std::string text;
        for (int i = 0; i < 50; ++i) {
            text += "\u0416";
        }
        return text;
    }();
    EXPECT_EQ(cyrillic50.size(), 100u);
    EXPECT_EQ(CountCharacters(cyrillic50), 50u);
    EXPECT_EQ(CountCharacters("a\U0001F600b"), 3u);
    EXPECT_EQ(CountCharacters("\xff\xfe"), 2u) << "a byte that is not UTF-8 counts as one";
    // Cutting never splits a character.
    EXPECT_EQ(FirstCharacters("\u0416\u0416\u0416", 2), "\u0416\u0416");
    EXPECT_EQ(FirstCharacters("ab", 5), "ab");
}
