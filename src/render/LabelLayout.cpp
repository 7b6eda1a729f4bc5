#include "render/LabelLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

bool LabelBox::Overlaps(const LabelBox& other) const {
    return left < other.left + other.width && other.left < left + width &&
           bottom < other.bottom + other.height && other.bottom < bottom + height;
}

bool LabelLayout::IsFree(const LabelBox& box) const {
    return std::none_of(taken.begin(), taken.end(),
                        [&box](const LabelBox& other) { return box.Overlaps(other); });
}

std::optional<LabelBox> LabelLayout::Place(const LabelBox& wanted) {
    if (IsFree(wanted)) {
        taken.push_back(wanted);
        return wanted;
    }
    // Rings of growing radius around the wanted place, a line's height apart; on each ring the
    // directions are tried from straight up, so that a label moved for one beside it prefers to
    // stack above or below rather than to jump sideways.
    const int step = std::max(4, std::min(wanted.height, 16));
    for (int radius = step; radius <= kMaxShift; radius += step) {
        const int directions = std::max(8, static_cast<int>(2 * std::numbers::pi * radius / step));
        for (int i = 0; i < directions; ++i) {
            // 0, +1, -1, +2, -2, ... steps around from straight up.
            const int turn = (i + 1) / 2 * (i % 2 == 1 ? 1 : -1);
            const double angle = std::numbers::pi / 2 + 2 * std::numbers::pi * turn / directions;
            LabelBox box = wanted;
            box.left += static_cast<int>(std::lround(radius * std::cos(angle)));
            box.bottom += static_cast<int>(std::lround(radius * std::sin(angle)));
            if (IsFree(box)) {
                taken.push_back(box);
                return box;
            }
        }
    }
    return std::nullopt;
}
