#include "world/SceneFraming.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "world/OriginAnalysis.h"

#include <algorithm>
#include <cmath>

namespace {

// A box grown point by point.
struct Box {
    Vec3 min{1e300, 1e300, 1e300};
    Vec3 max{-1e300, -1e300, -1e300};
    void Add(const Vec3& p) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
    }
};

} // namespace

SceneFraming FrameScene(const PosedCase& posed) {
    const CaseWorld& world = posed.GetCase().world;
    Box box;
    box.Add(world.body.Place({0, 0, 0}));
    box.Add(world.body.Place({0, 1.8, 0}));
    if (world.sceneMesh) {
        const std::array<float, 6>& b = world.sceneMesh->box;
        for (const float x : {b[0], b[3]}) {
            for (const float y : {b[1], b[4]}) {
                for (const float z : {b[2], b[5]}) {
                    box.Add(world.scene.Place({x, y, z}));
                }
            }
        }
    } else {
        for (const TrajectoryOrigin& origin : AnalyseOrigins(posed).trajectories) {
            for (const OriginZone& zone : origin.zones) {
                if (zone.reached && zone.nominalDistance < kBackLineReach) {
                    box.Add(zone.nominalPoint);
                }
            }
        }
    }
    const Vec3 centre{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2,
                      (box.min.z + box.max.z) / 2};
    const Vec3 half = Minus(box.max, centre);
    return {world.body.Unplace(centre), std::max(0.5, std::sqrt(Dot(half, half)))};
}
