#include "body/PosedBody.h"

#include <cmath>
#include <vector>

using skeleton::Segment;

namespace {

Vec3 VertexOf(const Mesh& mesh, uint32_t vertex) {
    return ToVec3(mesh.positions[vertex]);
}

} // namespace

PosedBody::PosedBody() = default;

PosedBody::PosedBody(const Body& source, const PosedBody* previous)
    : body(source), mesh(PosedMesh::Make(source.GetBodyModel(), source.GetPosture(),
                                         previous ? previous->mesh : nullptr)) {}

SegmentPoses PosedBody::RestSegments() const {
    return mesh ? mesh->RestSegments() : SegmentPoses(body.GetPosture(), body.GetPivots());
}

Matrix4 PosedBody::SegmentTransform(Segment segment) const {
    // The rest frame is the body frame shrunk by the body's scales; the segment turns there.
    const double scale = body.GetScale();
    const Matrix4 toBody =
        Matrix4::Scaling(scale * body.GetScaleX(), scale, scale * body.GetScaleZ());
    const Matrix4 toRest =
        Matrix4::Scaling(1 / (scale * body.GetScaleX()), 1 / scale, 1 / (scale * body.GetScaleZ()));
    const SegmentPoses segments = RestSegments();
    return toBody * segments[segment] * toRest;
}

Vec3 PosedBody::PosePoint(const Vec3& point, std::string_view part) const {
    if (body.HasInitialPose()) {
        return point;
    }
    const Vec3 rest = body.ToRest(point);
    const Segment segment = body.SegmentOf(point, part);
    const SegmentPoses segments = RestSegments();
    return body.FromRest(segments[segment].TransformPoint(rest));
}

Matrix4 PosedBody::OlderFilePose(bool withArm, const Vec3& entry) const {
    if (!withArm) {
        return Matrix4::Identity();
    }
    return SegmentTransform(entry.y >= body.RestElbow().y ? Segment::RightUpperArm
                                                          : Segment::RightForearm);
}

LandmarkTable PosedBody::PosedLandmarks() const {
    if (body.HasInitialPose() || !mesh) {
        return body.DrawnLandmarks();
    }
    const BodyModel& model = mesh->GetModel();
    const BodySkin* skin = model.Skin();
    const std::vector<uint32_t>& vertices = model.LandmarkVertices();
    const std::vector<Landmark>& rest = model.GetLandmarks().GetLandmarks();
    BodySkin::Weights whole{};
    whole[0] = {Segment::Pelvis, 1.0f};
    std::vector<Vec3> posed;
    posed.reserve(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        // A landmark lies on the skin: the vertex beside it says how the skin carries it.
        const BodySkin::Weights& weights =
            skin != nullptr && vertices[i] != kNoIndex ? skin->VertexWeights(vertices[i]) : whole;
        posed.push_back(
            body.FromRest(PoseWithWeights(weights, mesh->RestSegments(), rest[i].position)));
    }
    return model.GetLandmarks().Placed(posed);
}

std::optional<SurfaceHit> PosedBody::FirstSurfaceHit(const SurfaceRay& ray) const {
    if (!mesh) {
        return std::nullopt;
    }
    return mesh->Cast(ray, body.DrawTransform());
}

Status PosedBody::PrepareSurface() const {
    if (!mesh) {
        return Status::Failure("No body model is loaded");
    }
    return mesh->PrepareSurface();
}

Vec3 PosedBody::RestPointOf(const SurfaceHit& hit) const {
    if (!mesh || !mesh->Moved()) {
        return hit.point;
    }
    const Mesh& posed = mesh->GetMesh();
    const Mesh& rest = mesh->GetModel().GetMesh();
    if (hit.triangle >= rest.triangles.size()) {
        return hit.point;
    }
    const auto& corners = rest.triangles[hit.triangle].position;
    for (const uint32_t v : corners) {
        if (v >= rest.positions.size() || v >= posed.positions.size()) {
            return hit.point;
        }
    }
    // The hit's barycentric coordinates on the posed triangle, in the mesh's frame.
    const Vec3 p = body.DrawTransformInverse().TransformPoint(hit.point);
    const Vec3 a = VertexOf(posed, corners[0]), b = VertexOf(posed, corners[1]),
               c = VertexOf(posed, corners[2]);
    const Vec3 ab = Minus(b, a), ac = Minus(c, a), ap = Minus(p, a);
    const double d00 = Dot(ab, ab), d01 = Dot(ab, ac), d11 = Dot(ac, ac);
    const double d20 = Dot(ap, ab), d21 = Dot(ap, ac);
    const double denominator = d00 * d11 - d01 * d01;
    if (!(std::fabs(denominator) > 0)) {
        return body.DrawTransform().TransformPoint(VertexOf(rest, corners[0]));
    }
    const double s = (d11 * d20 - d01 * d21) / denominator;
    const double t = (d00 * d21 - d01 * d20) / denominator;
    const Vec3 ra = VertexOf(rest, corners[0]), rb = VertexOf(rest, corners[1]),
               rc = VertexOf(rest, corners[2]);
    const Vec3 atRest = {ra.x + s * (rb.x - ra.x) + t * (rc.x - ra.x),
                         ra.y + s * (rb.y - ra.y) + t * (rc.y - ra.y),
                         ra.z + s * (rb.z - ra.z) + t * (rc.z - ra.z)};
    return body.DrawTransform().TransformPoint(atRest);
}
