#pragma once

#include "case/Body.h"
#include "case/Trajectory.h"
#include "case/UncertaintyCone.h"

#include <optional>
#include <vector>

class Case;

// The drawn uncertainty cones, kept until what they are drawn from changes (the trajectory, or
// the body's posture, scales, mesh or uncertainty model): each is the 95 % cone of thousands of
// draws, too many to make again for every frame.
class DrawnConeCache {
public:
    const std::optional<UncertaintyConeShape>& ConeOf(const Case& theCase, int number);

private:
    struct Entry {
        Body body;
        Trajectory trajectory;
        std::optional<UncertaintyConeShape> cone;
    };
    std::vector<std::optional<Entry>> entries; // by trajectory number - 1
};
