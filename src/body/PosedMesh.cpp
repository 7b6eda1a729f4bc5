#include "body/PosedMesh.h"

#include "mesh/MeshGroups.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double LowestY(const Mesh& mesh) {
    double lowest = std::numeric_limits<double>::infinity();
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        lowest = std::min(lowest, double(mesh.vertices[3 * size_t(v) + 1]));
    }
    return std::isfinite(lowest) ? lowest : 0.0;
}

// Without parts the body is carried as one piece by the pelvis.
void PoseWhole(const BodyModel& model, const SegmentPoses& segments, Mesh& posed) {
    const Mesh& rest = model.GetMesh();
    BodySkin::Weights whole{};
    whole[0] = {skeleton::Segment::Pelvis, 1.0f};
    posed.vertices = rest.vertices;
    posed.normals = rest.normals;
    const Vec3 toRest = model.MeshToRest();
    for (uint32_t v = 1; v <= rest.vertexCount; ++v) {
        float* p = &posed.vertices[3 * size_t(v)];
        const Vec3 moved =
            PoseWithWeights(whole, segments, {p[0] + toRest.x, p[1] + toRest.y, p[2] + toRest.z});
        p[0] = static_cast<float>(moved.x - toRest.x);
        p[1] = static_cast<float>(moved.y - toRest.y);
        p[2] = static_cast<float>(moved.z - toRest.z);
    }
    const Matrix4& turn = segments[skeleton::Segment::Pelvis];
    for (uint32_t n = 1; n <= rest.normalCount && !posed.normals.empty(); ++n) {
        float* normal = &posed.normals[3 * size_t(n)];
        const Vec3 turned = turn.TransformVector({normal[0], normal[1], normal[2]});
        normal[0] = static_cast<float>(turned.x);
        normal[1] = static_cast<float>(turned.y);
        normal[2] = static_cast<float>(turned.z);
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
    for (uint32_t v = 1; v <= posed->vertexCount; ++v) {
        float& y = posed->vertices[3 * size_t(v) + 1];
        y = static_cast<float>(y + lift);
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
    surfaceStatus = built->Build(mesh, mesh.vertices);
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
