#pragma once

#include <array>
#include <cstdint>

// The 8 x 13 bitmap font of the labels: one glyph for each character code 32..126, in order. Each
// glyph is 13 bytes, the bottom row first, one byte per row, bit 7 the leftmost pixel; the two
// bottom rows are the descender space.
using FontGlyph = std::array<uint8_t, 13>;
extern const std::array<FontGlyph, 95> kFontGlyphs;
