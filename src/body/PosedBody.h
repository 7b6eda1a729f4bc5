#pragma once

#include "base/Matrix4.h"
#include "body/Body.h"
#include "body/LandmarkTable.h"
#include "body/PosedMesh.h"
#include "body/Skeleton.h"
#include "mesh/SurfaceRayCaster.h"

#include <memory>
#include <optional>
#include <string_view>

// A body in its posture at its height and stretches: where the posture carries the mesh, each
// segment, each measured point and each landmark, in the body frame (metres). A measured point
// moves rigidly with the bone of its part, so that two points of one part keep their distance
// exactly; the skin's blending near the joints is for the drawn surface and the landmarks on it.
class PosedBody {
public:
    PosedBody();
    // Poses `body`; the mesh of `previous` is kept when it was made for the same model and
    // posture.
    explicit PosedBody(const Body& body, const PosedBody* previous = nullptr);

    const Body& GetBody() const { return body; }
    // The mesh as drawn (carried by the body's DrawTransform); nullptr without a model.
    const Mesh* GetMesh() const { return mesh ? &mesh->GetMesh() : nullptr; }
    const std::shared_ptr<const PosedMesh>& GetPosedMesh() const { return mesh; }

    // Where the posture puts each segment in the rest frame (the body frame at the default height
    // and scales), the support that sets the body down included.
    SegmentPoses RestSegments() const;
    // Where the posture carries segment `segment`, in the body frame.
    Matrix4 SegmentTransform(skeleton::Segment segment) const;
    // Where a measured point of the named part lies on the posed body.
    Vec3 PosePoint(const Vec3& point, std::string_view part) const;
    // How an older file's trajectory is carried: not at all when it does not move with the arm,
    // with the upper arm when it enters above the elbow (an upper-arm wound must not swing with
    // the forearm), otherwise with the forearm.
    Matrix4 OlderFilePose(bool withArm, const Vec3& entry) const;
    // The model's landmarks where the posed skin carries them.
    LandmarkTable PosedLandmarks() const;

    // The first point of the surface as drawn along a ray given in the body frame, with the
    // triangle and the part it lies on. Empty when the ray misses or no model is loaded.
    std::optional<SurfaceHit> FirstSurfaceHit(const SurfaceRay& ray) const;
    // Where a hit on the body as drawn lies on the body at rest: the same place on the same
    // triangle. A measured point is kept at rest and posed with its part.
    Vec3 RestPointOf(const SurfaceHit& hit) const;
    // Builds the search structure for rays now (it is otherwise built by the first ray).
    Status PrepareSurface() const;

private:
    Body body;
    std::shared_ptr<const PosedMesh> mesh;
};
