#include "BodyModel.h"

#include "BodyShape.h"
#include "ObjWriter.h"
#include "SurfaceNets.h"
#include "SurfaceRelaxation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Box {
    Vec3 min{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
             std::numeric_limits<double>::max()};
    Vec3 max{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest(),
             std::numeric_limits<double>::lowest()};
};

Box BoundingBox(const TriMesh& mesh) {
    Box box;
    for (const Vec3& v : mesh.vertices) {
        box.min = {std::min(box.min.x, v.x), std::min(box.min.y, v.y), std::min(box.min.z, v.z)};
        box.max = {std::max(box.max.x, v.x), std::max(box.max.y, v.y), std::max(box.max.z, v.z)};
    }
    return box;
}

// Scales uniformly to 2 m and moves the feet to y = 0, the back to z = 0 and the middle of the
// x extent to 0. The shape is built to these measures, so the change is a fraction of a
// millimetre; it only makes the written extremes exact.
Vec3 PlaceExactly(TriMesh& mesh, std::vector<BodyLandmark>& landmarks) {
    const Box box = BoundingBox(mesh);
    const Vec3 anchor = {0.5 * (box.min.x + box.max.x), box.min.y, box.min.z};
    const double scale = 2.0 / (box.max.y - box.min.y);
    for (Vec3& v : mesh.vertices) {
        v = (v - anchor) * scale;
    }
    for (BodyLandmark& landmark : landmarks) {
        landmark.position = (landmark.position - anchor) * scale;
    }
    RoundToFileResolution(mesh);
    // Rounding may leave the x extremes one unit apart; move the outermost vertex on
    // the wider side in by that unit.
    const Box rounded = BoundingBox(mesh);
    const double excess = rounded.max.x + rounded.min.x;
    if (std::fabs(excess) > 1e-9) {
        for (Vec3& v : mesh.vertices) {
            if (excess > 0 && v.x == rounded.max.x) {
                v.x = -rounded.min.x;
            } else if (excess < 0 && v.x == rounded.min.x) {
                v.x = -rounded.max.x;
            }
        }
    }
    const Vec3 pivot = BodyShape::kRightShoulder;
    return (pivot - anchor) * scale - pivot;
}

// Each triangle goes to the part nearest its centre.
void GroupByPart(TriMesh& mesh) {
    for (int part = 0; part < BodyShape::kPartCount; ++part) {
        mesh.groupNames.push_back(BodyShape::PartName(static_cast<BodyShape::Part>(part)));
    }
    mesh.triangleGroups.reserve(mesh.triangles.size());
    for (const auto& t : mesh.triangles) {
        const Vec3 centre =
            (mesh.vertices[t[0]] + mesh.vertices[t[1]] + mesh.vertices[t[2]]) * (1.0 / 3.0);
        mesh.triangleGroups.push_back(static_cast<int>(BodyShape::PartAt(centre)));
    }
}

} // namespace

BodyModel BuildBodyModel(const BodyModelSettings& settings) {
    QuadMesh quads = PolygoniseSurfaceNets(BodyShape::Evaluate, BodyShape::kBoundsMin,
                                           BodyShape::kBoundsMax, settings.gridStep);
    RelaxOntoSurface(quads, BodyShape::Evaluate, BodyShape::Gradient, settings.relaxationRounds);
    BodyModel model;
    model.mesh = Triangulate(quads);
    GroupByPart(model.mesh);
    model.landmarks = FindBodyLandmarks();
    model.pivotShift = Length(PlaceExactly(model.mesh, model.landmarks));
    return model;
}
