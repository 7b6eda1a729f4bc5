#include "body/PosedMesh.h"

#include "mesh/MeshGroups.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double LowestY(const Mesh& mesh) {
    double lowest = std::numeric_limits<double>::infinity();
    for (const Vec3f& position : mesh.positions) {
        lowest = std::min(lowest, double(position.y));
    }
    return std::isfinite(lowest) ? lowest : 0.0;
}

// Without parts the body is carried as one piece by the pelvis.
void PoseWhole(const BodyModel& model, const SegmentPoses& segments, Mesh& posed) {
    const Mesh& rest = model.GetMesh();
    BodySkin::Weights whole{};
    whole[0] = {skeleton::Segment::Pelvis, 1.0f};
    posed.positions = rest.positions;
    posed.normals = rest.normals;
    const Vec3 toRest = model.MeshToRest();
    for (Vec3f& p : posed.positions) {
        const Vec3 moved =
            PoseWithWeights(whole, segments, {p.x + toRest.x, p.y + toRest.y, p.z + toRest.z});
        p = ToVec3f(Minus(moved, toRest));
    }
    const Matrix4& turn = segments[skeleton::Segment::Pelvis];
    for (Vec3f& normal : posed.normals) {
        normal = ToVec3f(turn.TransformVector(ToVec3(normal)));
    }
}

} // namespace

std::shared_ptr<const PosedMesh> PosedMesh::Make(std::shared_ptr<const BodyModel> model,
                                                 const Posture& posture,
                                                 std::shared_ptr<const PosedMesh> reuse) {
    if (reuse && reuse->model == model && reuse->posture == posture) {
        return reuse;
    }
    if (!model) {
        return nullptr;
    }
    std::shared_ptr<PosedMesh> made(new PosedMesh(std::move(model), posture));
    made->Pose();
    return made;
}

PosedMesh::PosedMesh(std::shared_ptr<const BodyModel> bodyModel, const Posture& pose)
    : model(std::move(bodyModel)), posture(pose), segments(pose, model->GetPivots()) {}

PosedMesh::~PosedMesh() = default;

void PosedMesh::Pose() {
    const BodySkin* skin = model->Skin();
    // A mesh without parts moves only when the whole body turns.
    if (posture.IsAnatomical() || (!skin && posture.GetBodyTurn() == JointAngles{})) {
        return;
    }
    const Mesh& rest = model->GetMesh();
    posed = std::make_unique<Mesh>(rest);
    if (skin) {
        skin->Pose(rest, segments, *posed);
    } else {
        PoseWhole(*model, segments, *posed);
    }
    // Set the posed body down: its lowest point where the standing body's lowest point is.
    lift = model->RestLowest() - LowestY(*posed);
    for (Vec3f& position : posed->positions) {
        position.y = static_cast<float>(position.y + lift);
    }
    segments.Raise(lift);
    ComputeMeshBoxes(*posed);
    posed->revision = NextMeshRevision();
}

Status PosedMesh::PrepareSurface() const {
    const std::lock_guard<std::mutex> lock(surfaceMutex);
    if (caster || !surfaceStatus) {
        return surfaceStatus;
    }
    const Mesh& mesh = GetMesh();
    auto built = std::make_unique<SurfaceRayCaster>();
    surfaceStatus = built->Build(mesh, mesh.positions);
    if (surfaceStatus) {
        caster = std::move(built);
    }
    return surfaceStatus;
}

std::optional<SurfaceHit> PosedMesh::Cast(const SurfaceRay& ray, const Matrix4& placement) const {
    if (!PrepareSurface()) {
        return std::nullopt;
    }
    std::optional<SurfaceHit> hit = caster->Cast(ray, placement);
    // The named parts (the arm, the forearm) say more than the material a triangle is drawn with.
    const MeshParts& parts = model->GetParts();
    if (hit && hit->triangle < parts.triangleParts.size()) {
        const uint32_t part = parts.triangleParts[hit->triangle];
        if (part < parts.names.size()) {
            hit->group = parts.names[part];
        }
    }
    return hit;
}
