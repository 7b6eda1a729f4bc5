#pragma once

#include "base/Status.h"
#include "case/ScenePlacement.h"
#include "mesh/SurfaceRayCaster.h"
#include "world/OriginZones.h"

#include <optional>
#include <vector>

struct Mesh;

// The scene model's surfaces placed in the scene, searched along back lines (Embree, as the
// surface picking is): the first wall, floor or car door a line meets. Built once per model and
// placement.
class SceneSurfaces {
public:
    // A surface hit within this distance of an exterior point made before entry is the hole the
    // bullet passed through, not a surface that stopped the line.
    static constexpr double kHoleRadius = 0.05; // m

    Status Build(const Mesh& mesh, const ScenePlacement& placement);
    bool IsBuilt() const { return caster.IsBuilt(); }

    // The first surface along the line from `start` in the unit direction `direction` up to
    // `tMax` metres, passing through the holes at `holes` (scene frame).
    std::optional<BackLineObstacle> FirstAlong(const Vec3& start, const Vec3& direction,
                                               double tMax, const std::vector<Vec3>& holes) const;

private:
    SurfaceRayCaster caster;
    Matrix4 placement;
};
