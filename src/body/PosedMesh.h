#pragma once

#include "body/BodyModel.h"
#include "body/Posture.h"
#include "body/SegmentPoses.h"
#include "mesh/Mesh.h"
#include "mesh/SurfaceRayCaster.h"

#include <memory>
#include <mutex>
#include <optional>

// A body model's mesh in a posture, made once and then only read: the skin carried by the
// skeleton's segments and set down so that its lowest point stays where the standing body's is.
// A model in the anatomical position, or one without parts the skeleton knows and not turned as
// a whole, is its own mesh. The search structure for rays is built on the first ray, from any
// thread.
class PosedMesh {
public:
    // The model in the posture. `reuse` is handed back when it was made for the same model and
    // posture, so that a change of anything else keeps the mesh (and its drawing caches).
    static std::shared_ptr<const PosedMesh> Make(std::shared_ptr<const BodyModel> model,
                                                 const Posture& posture,
                                                 std::shared_ptr<const PosedMesh> reuse = nullptr);

    PosedMesh(const PosedMesh&) = delete;
    PosedMesh& operator=(const PosedMesh&) = delete;
    ~PosedMesh();

    const BodyModel& GetModel() const { return *model; }
    const Posture& GetPosture() const { return posture; }
    // The mesh to draw and to cast rays against, in the fitted mesh's frame.
    const Mesh& GetMesh() const { return posed ? *posed : model->GetMesh(); }
    // Whether the posture moved the mesh (it is then a copy of the model's).
    bool Moved() const { return posed != nullptr; }
    // Where the posture puts each segment (rest frame), the support that sets the body down
    // included.
    const SegmentPoses& RestSegments() const { return segments; }
    // How far the support raised the body (rest frame, metres).
    double Lift() const { return lift; }

    // The nearest hit of `ray` on the mesh carried by `placement` (the body as drawn); empty when
    // it misses. Builds the search structure first when needed.
    std::optional<SurfaceHit> Cast(const SurfaceRay& ray, const Matrix4& placement) const;
    // Builds the search structure now (it is otherwise built by the first ray).
    Status PrepareSurface() const;

private:
    PosedMesh(std::shared_ptr<const BodyModel> model, const Posture& posture);
    void Pose();

    std::shared_ptr<const BodyModel> model;
    Posture posture;
    std::unique_ptr<Mesh> posed; // none when nothing moves
    SegmentPoses segments;
    double lift = 0;

    mutable std::mutex surfaceMutex;
    mutable std::unique_ptr<SurfaceRayCaster> caster;
    mutable Status surfaceStatus = Status::Ok();
};
