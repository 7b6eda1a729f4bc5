#pragma once

#include "render/LabelLayout.h"

#include <array>
#include <string>
#include <vector>

// The 8 x 13 bitmap font of the labels. Labels are queued where they are placed (at the current
// raster position, in the raster colour) and drawn together by Flush: one batch of textured quads
// from one glyph texture, giving the same pixels as one glBitmap per character would, at a fraction
// of the cost. The texture belongs to the context that was current when Build ran.
//
// No two labels of a frame overlap: a label whose place is taken by one queued before it in the
// same frame goes to the nearest free place (LabelLayout), with a leader line back to its point.
// Labels are placed when they are flushed, against what has been drawn by then: a label whose
// point lies behind something drawn (the body, a wall) would be hidden at its point, so it is
// drawn beside it in front of everything, outlined, with a leader line to the point.
class BitmapFont {
public:
    static constexpr int kAdvance = 10;    // pixels from one character to the next
    static constexpr int kLineHeight = 13; // pixels from one text line to the next
    static constexpr int kGlyphWidth = 8;
    static constexpr int kGlyphHeight = 13;
    static constexpr int kBaselineOffset = 2; // rows of the glyph below the raster position

    // Builds the glyph texture; sets the unpack alignment to 1, which stays in force. False when
    // the context could not make the texture.
    bool Build();
    // Deletes the texture (the context must be current) and forgets what was queued.
    void Release();

    // Queues the text at the current raster position in the raster colour, as glBitmap would draw
    // it: each text line ("\n" or "\r\n") under the one before; characters outside 32..126 draw
    // nothing and take no room. Nothing is queued while the raster position is invalid or while the
    // context is in selection mode (the raster position itself still makes its hit there).
    void DrawText(const std::string& text) const { DrawText(text, Depth::AtRasterPosition); }
    // The same, optionally in front of everything drawn (a name the caller knows to be seen, which
    // the skin around its point must not cut).
    enum class Depth { AtRasterPosition, InFront };
    void DrawText(const std::string& text, Depth depth) const;
    // Draws everything queued since the last flush, then forgets it. GL state is left as it was.
    void Flush();
    bool HasQueued() const { return !glyphs.empty() || !pending.empty(); }

    // A new frame: the places taken by the last frame's labels are free again. With `outlined`
    // every glyph of the frame is drawn over a dark outline one pixel wide.
    void BeginFrame(bool outlined = false);

    // The labels flushed since BeginFrame, with the boxes they were given (window pixels) and
    // whether each was lifted in front of what hid its point.
    struct PlacedLabel {
        std::string text;
        LabelBox box;
        bool lifted = false;
    };
    const std::vector<PlacedLabel>& PlacedLabels() const { return placed; }

    // How far a lifted label is first asked to stand from its point, in pixels (right, up).
    static constexpr int kLiftX = 14;
    static constexpr int kLiftY = 12;

private:
    struct QueuedGlyph {
        int x = 0; // window position of the glyph's lower-left pixel
        int y = 0;
        float depth = 0;
        std::array<float, 4> color{};
        unsigned char code = 0;
        bool outlined = false; // a lifted label's glyph, outlined whatever the frame says
    };

    // A label asked for and not yet placed: its point in window coordinates and depth.
    struct PendingLabel {
        std::string text;
        float x = 0, y = 0, depth = 0;
        std::array<float, 4> color{};
        Depth mode = Depth::AtRasterPosition;
    };

    struct LeaderLine {
        float fromX = 0, fromY = 0, toX = 0, toY = 0;
        float depth = 0;
        std::array<float, 4> color{};
    };

    void PlacePending();
    void PlaceLabel(const PendingLabel& label);
    void QueueLine(const std::string& line, double x, double y, float depth,
                   const std::array<float, 4>& color, bool outline) const;
    void DrawQueued() const;
    void DrawOutlines() const;
    void DrawLeaderLines() const;

    unsigned texture = 0;
    // The queue is the frame's pending output, not the font's state: the passes that place labels
    // hold the font as const.
    mutable std::vector<PendingLabel> pending;
    mutable std::vector<QueuedGlyph> glyphs;
    mutable std::vector<LeaderLine> leaders;
    mutable LabelLayout layout;
    mutable std::vector<PlacedLabel> placed;
    bool outlined = false;
};
