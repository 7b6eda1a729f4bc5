#include "world/OriginReachTally.h"

#include "world/DrawnBackLine.h"
#include "world/OriginZones.h"

#include <algorithm>
#include <cmath>

namespace {

// The horizontal distance from `from` at which the back line from `in` along `back` reaches
// `height`; none when it does not, only nearer than `notBefore` along it (a hole the bullet
// passed lies farther), or only farther than `farthest`.
std::optional<double> DistanceAt(const Vec3& in, const Vec3& back, double height, const Vec3& from,
                                 std::optional<double> farthest, double notBefore) {
    const std::optional<double> t = BackLineReach(in, back, height);
    if (!t || *t < notBefore) {
        return std::nullopt;
    }
    const double dx = in.x + *t * back.x - from.x, dz = in.z + *t * back.z - from.z;
    const double distance = std::sqrt(dx * dx + dz * dz);
    // A line all but level meets the height farther than a number can say: it does not reach it.
    if (!std::isfinite(distance) || (farthest && distance > *farthest)) {
        return std::nullopt;
    }
    return distance;
}

// The q-quantile of `values` (reordered) by the nearest rank, as the budget takes its own.
double Quantile(std::vector<double>& values, double q) {
    const size_t rank =
        std::min(values.size() - 1,
                 static_cast<size_t>(std::ceil(q * double(values.size()))) - (q > 0 ? 1 : 0));
    std::nth_element(values.begin(), values.begin() + static_cast<long>(rank), values.end());
    return values[rank];
}

} // namespace

OriginReachTally::OriginReachTally(const OriginDraws& placedDraws,
                                   const Trajectory& drawnTrajectory, const Vec3& nominalStart,
                                   std::optional<double> limit)
    : draws(placedDraws), trajectory(drawnTrajectory), nominalIn(nominalStart), farthest(limit),
      distances(placedDraws.Heights().size()) {}

void OriginReachTally::Add(int first, std::span<const DrawnTrack> tracks) {
    const std::vector<double>& heights = draws.Heights();
    const int count = std::clamp(draws.Count() - first, 0, static_cast<int>(tracks.size()));
    std::vector<std::vector<double>> found(heights.size());
    for (int i = 0; i < count; ++i) {
        const DrawnTrack& track = tracks[size_t(i)];
        const std::optional<DrawnLine> line =
            DrawnBackLine(trajectory, first + i, draws.Place(first + i, track.in),
                          draws.Place(first + i, track.out));
        if (!line) {
            continue; // a draw whose points fell together has no line
        }
        for (size_t h = 0; h < heights.size(); ++h) {
            if (const auto distance = DistanceAt(line->start, line->back, heights[h], nominalIn,
                                                 farthest, line->from)) {
                found[h].push_back(*distance);
            }
        }
    }
    const std::lock_guard<std::mutex> lock(mutex);
    counted += count;
    for (size_t h = 0; h < heights.size(); ++h) {
        distances[h].insert(distances[h].end(), found[h].begin(), found[h].end());
    }
}

std::optional<OriginReach> OriginReachTally::Finish(bool levelWithin95) {
    if (counted == 0) {
        return std::nullopt;
    }
    OriginReach reach;
    reach.draws = counted;
    const std::vector<double>& heights = draws.Heights();
    for (size_t h = 0; h < heights.size(); ++h) {
        std::vector<double>& reaching = distances[h];
        HeightReach height{heights[h], double(reaching.size()) / double(counted),
                           static_cast<int>(reaching.size()), std::nullopt, false};
        if (height.reaching >= kFewestReachingDraws) {
            height.distance95 =
                std::array<double, 2>{Quantile(reaching, 0.025), Quantile(reaching, 0.975)};
            height.unbounded = levelWithin95 && !farthest;
        }
        reach.heights.push_back(height);
        reaching = {};
    }
    return reach;
}
