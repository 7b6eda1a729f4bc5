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
    // A hole is a passage through a surface, not a point on one of its faces. A surface the back
    // line meets within this distance of one of the track's own holes before entry is the one the
    // hole pierces; the line passes it, and passes every further hit on the same surface (the
    // same group of the scene model) that follows on from it with no other surface between and
    // no more than kPassageGap between two hits: the far face of a door or a wall, however
    // obliquely the bullet crossed it. Another surface, or the same one farther on (the other
    // side of the room), stops the line.
    static constexpr double kHoleRadius = 0.10; // m
    static constexpr double kPassageGap = 1.0;  // m along the line

    Status Build(const Mesh& mesh, const ScenePlacement& placement);
    bool IsBuilt() const { return caster.IsBuilt(); }

    // The first surface along the line from `start` in the unit direction `direction` up to
    // `tMax` metres, passing through the holes at `holes` (scene frame).
    std::optional<BackLineObstacle> FirstAlong(const Vec3& start, const Vec3& direction,
                                               double tMax, const std::vector<Vec3>& holes) const;

private:
    struct Crossing {
        double t = 0; // along the line, m
        Vec3 point;
        std::string group;
    };
    // Every surface along the line up to `tMax`, nearest first (at most kMostCrossings).
    std::vector<Crossing> CrossingsAlong(const Vec3& start, const Vec3& direction,
                                         double tMax) const;

    SurfaceRayCaster caster;
    Matrix4 placement;
};
