#pragma once

#include "budget/TrackSampler.h"
#include "world/OriginDraws.h"

#include <mutex>
#include <optional>
#include <span>
#include <vector>

// A trajectory's reach at each muzzle height, gathered block by block as the uncertainty budget
// draws its tracks, so that the tracks themselves are never all kept. Blocks may come from
// several threads at once and in any order: the figures are the same.
//
// A draw reaches a height as the nominal back line does (going back along its own line, see
// DrawnBackLine and BackLineReach, and beyond its own farthest hole), and counts only where it
// reaches it no farther from the nominal line's start than `farthest` (the surface the nominal
// back line meets first): its shooter would otherwise stand behind that surface. Each draw's own
// line is not searched against the scene.
struct Trajectory;

class OriginReachTally {
public:
    // Counts the draws of `draws` of `trajectory` from `nominalStart`, where the nominal back
    // line starts (scene frame, m).
    OriginReachTally(const OriginDraws& draws, const Trajectory& trajectory,
                     const Vec3& nominalStart, std::optional<double> farthest);

    // The drawn tracks of draws `first` on (body frame, posed).
    void Add(int first, std::span<const DrawnTrack> tracks);

    // The reach of the draws added; none when none was. With `levelWithin95` (the budget's
    // 95 % elevation interval reaches the horizontal) and no surface to stop them, the
    // intervals have no upper end: a draw near the horizontal reaches a height at any distance.
    std::optional<OriginReach> Finish(bool levelWithin95);

private:
    const OriginDraws& draws;
    const Trajectory& trajectory;
    Vec3 nominalIn;
    std::optional<double> farthest;
    std::mutex mutex;
    int counted = 0;
    std::vector<std::vector<double>> distances; // per height, of the reaching draws
};
