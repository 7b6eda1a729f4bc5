#include "render/FontGlyphs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const FontGlyph& GlyphOf(char c) {
    return kFontGlyphs[static_cast<unsigned char>(c) - 32];
}

bool HasInk(const FontGlyph& glyph, int firstRow, int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row)
        if (glyph[row] != 0)
            return true;
    return false;
}

} // namespace

TEST(FontGlyphsTest, TableHoldsTheFixedGlyphsAndInkForEveryPrintableCharacter) {
    const FontGlyph capitalA = {0x00, 0x00, 0xc3, 0xc3, 0xc3, 0xc3, 0xff,
                                0xc3, 0xc3, 0xc3, 0x66, 0x3c, 0x18};
    EXPECT_EQ(GlyphOf('A'), capitalA);
    EXPECT_EQ(GlyphOf(' '), FontGlyph{});

    for (int code = 33; code <= 126; ++code)
        EXPECT_TRUE(HasInk(kFontGlyphs[code - 32], 0, 12)) << "code " << code;

    // Capitals and digits stand on the baseline: nothing in the two descender rows.
    for (char c : std::string("ABEHMNRTWXZ0123456789"))
        EXPECT_FALSE(HasInk(GlyphOf(c), 0, 1)) << c;
    // The tails of the descending lower-case letters stay visible.
    for (char c : std::string("gjpqy"))
        EXPECT_TRUE(HasInk(GlyphOf(c), 0, 1)) << c;
    // Distinct characters never share a bitmap (a shifted or duplicated table shows here).
    for (int a = 33; a <= 126; ++a)
        for (int b = a + 1; b <= 126; ++b)
            EXPECT_NE(kFontGlyphs[a - 32], kFontGlyphs[b - 32]) << a << " and " << b;
}
