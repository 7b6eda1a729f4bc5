#pragma once

#include <string>

// The 8 x 13 bitmap font of the labels: 128 display lists, list base + c drawing the glyph of
// character code c (32..126) and moving the raster position 10 pixels to the right. The lists
// belong to the context that was current when Build ran.
class BitmapFont {
public:
    static constexpr int kAdvance = 10;    // pixels from one character to the next
    static constexpr int kLineHeight = 13; // pixels from one text line to the next

    // Builds the lists; sets the unpack alignment to 1, which stays in force. False when the
    // context has no lists left.
    bool Build();
    // Deletes the lists (the context must be current).
    void Release();
    unsigned Base() const { return base; }

    // Draws the text from the current raster position in the colour that was current when the
    // raster position was set. Each text line ("\n" or "\r\n") is drawn under the one before;
    // characters outside 32..126 draw nothing and do not move the raster position.
    void DrawText(const std::string& text) const;

private:
    unsigned base = 0;
};
