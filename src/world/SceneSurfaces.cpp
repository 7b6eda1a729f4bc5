#include "world/SceneSurfaces.h"

#include "mesh/Mesh.h"

#include <cmath>

namespace {

// Beyond a hole, the search starts again a little past it, so that it does not find the same
// triangle; a few holes in a row (double glazing, a car's two doors) are passed.
constexpr double kStepPastHole = 1e-4; // m
constexpr int kMostHoles = 16;

bool NearAHole(const Vec3& point, const std::vector<Vec3>& holes) {
    for (const Vec3& hole : holes) {
        const Vec3 off = Minus(point, hole);
        if (Dot(off, off) <= SceneSurfaces::kHoleRadius * SceneSurfaces::kHoleRadius) {
            return true;
        }
    }
    return false;
}

} // namespace

Status SceneSurfaces::Build(const Mesh& mesh, const ScenePlacement& scenePlacement) {
    placement = scenePlacement.ToScene();
    return caster.Build(mesh, mesh.positions);
}

std::optional<BackLineObstacle> SceneSurfaces::FirstAlong(const Vec3& start, const Vec3& direction,
                                                          double tMax,
                                                          const std::vector<Vec3>& holes) const {
    if (!caster.IsBuilt()) {
        return std::nullopt;
    }
    double from = 0;
    for (int passed = 0; passed <= kMostHoles && from < tMax; ++passed) {
        const SurfaceRay ray{{start.x + from * direction.x, start.y + from * direction.y,
                              start.z + from * direction.z},
                             direction,
                             tMax - from};
        const std::optional<SurfaceHit> hit = caster.Cast(ray, placement);
        if (!hit) {
            return std::nullopt;
        }
        if (!NearAHole(hit->point, holes)) {
            return BackLineObstacle{hit->group.empty() ? "the scene model" : hit->group,
                                    from + hit->t};
        }
        from += hit->t + kStepPastHole;
    }
    return std::nullopt;
}
