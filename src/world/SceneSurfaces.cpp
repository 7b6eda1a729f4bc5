#include "world/SceneSurfaces.h"

#include "mesh/Mesh.h"

#include <cmath>

namespace {

// Beyond a surface, the search starts again a little past it, so that it does not find the same
// triangle.
constexpr double kStepPastSurface = 1e-4; // m
// A back line crosses a few walls of a building at most; a scene that puts more in its way than
// this is searched no farther.
constexpr size_t kMostCrossings = 64;

std::string SurfaceName(const std::string& group) {
    return group.empty() ? "the scene model" : group;
}

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

std::vector<SceneSurfaces::Crossing>
SceneSurfaces::CrossingsAlong(const Vec3& start, const Vec3& direction, double tMax) const {
    std::vector<Crossing> crossings;
    double from = 0;
    while (crossings.size() < kMostCrossings && from < tMax) {
        const SurfaceRay ray{{start.x + from * direction.x, start.y + from * direction.y,
                              start.z + from * direction.z},
                             direction,
                             tMax - from};
        const std::optional<SurfaceHit> hit = caster.Cast(ray, placement);
        if (!hit) {
            break;
        }
        crossings.push_back({from + hit->t, hit->point, hit->group});
        from += hit->t + kStepPastSurface;
    }
    return crossings;
}

std::optional<BackLineObstacle> SceneSurfaces::FirstAlong(const Vec3& start, const Vec3& direction,
                                                          double tMax,
                                                          const std::vector<Vec3>& holes) const {
    if (!caster.IsBuilt()) {
        return std::nullopt;
    }
    if (holes.empty()) {
        const std::optional<SurfaceHit> hit = caster.Cast({start, direction, tMax}, placement);
        if (!hit) {
            return std::nullopt;
        }
        return BackLineObstacle{SurfaceName(hit->group), hit->t};
    }
    const std::vector<Crossing> crossings = CrossingsAlong(start, direction, tMax);
    std::vector<bool> passed(crossings.size(), false);
    const auto follows = [&crossings](size_t a, size_t b) {
        return crossings[a].group == crossings[b].group &&
               std::fabs(crossings[b].t - crossings[a].t) <= kPassageGap;
    };
    for (size_t i = 0; i < crossings.size(); ++i) {
        if (!NearAHole(crossings[i].point, holes)) {
            continue;
        }
        passed[i] = true;
        for (size_t j = i; j + 1 < crossings.size() && follows(j, j + 1); ++j) {
            passed[j + 1] = true;
        }
        for (size_t j = i; j > 0 && follows(j, j - 1); --j) {
            passed[j - 1] = true;
        }
    }
    for (size_t i = 0; i < crossings.size(); ++i) {
        if (!passed[i]) {
            return BackLineObstacle{SurfaceName(crossings[i].group), crossings[i].t};
        }
    }
    return std::nullopt;
}
