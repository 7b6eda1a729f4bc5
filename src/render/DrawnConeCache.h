#pragma once

#include "body/Body.h"
#include "budget/UncertaintyCone.h"
#include "case/Trajectory.h"

#include <optional>
#include <vector>

class Case;

// The drawn uncertainty cones, kept until what they are drawn from changes (the trajectory, or
// the body's posture, scales, mesh or uncertainty model): each is the 95 % cone of thousands of
// draws, too many to make again for every frame.
class DrawnConeCache {
public:
    const std::optional<UncertaintyConeShape>& ConeOf(const Case& theCase, int number);
    // Takes the 95 % cone (degrees) of trajectory `number` as the case is now from elsewhere (a
    // report's budget, drawn many more times), so that the picture shows the figure printed
    // beside it and is not drawn again.
    void Keep(const Case& theCase, int number, std::optional<double> cone95);

private:
    struct Entry {
        Body body;
        Trajectory trajectory;
        std::optional<UncertaintyConeShape> cone;
    };
    std::vector<std::optional<Entry>> entries; // by trajectory number - 1
};
