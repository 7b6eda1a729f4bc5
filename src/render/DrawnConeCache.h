#pragma once

#include "body/Body.h"
#include "budget/UncertaintyCone.h"
#include "case/Trajectory.h"

#include <optional>
#include <vector>

class PosedCase;

// The drawn uncertainty cones, kept until what they are drawn from changes (the trajectory, or
// the body's posture, scales, mesh or uncertainty model): each is the 95 % cone of thousands of
// draws, too many to make again for every frame. Trajectories are named by the user's numbers.
class DrawnConeCache {
public:
    const std::optional<UncertaintyConeShape>& ConeOf(const PosedCase& posed, int number);
    // Takes the 95 % cone (degrees) of trajectory `number` as the case is now from elsewhere (a
    // report's budget, drawn many more times), so that the picture shows the figure printed
    // beside it and is not drawn again.
    void Keep(const PosedCase& posed, int number, std::optional<double> cone95);

private:
    struct Entry {
        Body body;
        Trajectory trajectory;
        std::optional<UncertaintyConeShape> cone;
    };
    // The entry of trajectory `number`, made room for.
    std::optional<Entry>& EntryOf(int number);

    std::vector<std::optional<Entry>> entries; // in the case's order
};
