#pragma once

#include <optional>
#include <vector>

// A label's box on the screen in window pixels: left and bottom edges, width and height.
struct LabelBox {
    int left = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;

    bool Overlaps(const LabelBox& other) const;
    bool operator==(const LabelBox&) const = default;
};

// Where the labels of one frame go: each where it asks to be when no label placed before it is
// there, otherwise at the free place nearest to it, so that no two labels overlap and each stays
// close to the point it names. Labels placed first keep their places.
class LabelLayout {
public:
    // How far a label may be moved from the place it asked for, in pixels.
    static constexpr int kMaxShift = 160;

    // Forgets every place taken (a new frame).
    void Clear() { taken.clear(); }

    // Takes and returns the box for a label that asks for `wanted`: `wanted` itself when it is
    // free, else the free box of the same size nearest to it; nothing when every box within
    // kMaxShift is taken (the label is then not drawn).
    std::optional<LabelBox> Place(const LabelBox& wanted);

    const std::vector<LabelBox>& Taken() const { return taken; }

private:
    bool IsFree(const LabelBox& box) const;

    std::vector<LabelBox> taken;
};
