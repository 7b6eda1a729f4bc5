#include "body/Body.h"

#include "body/PosedBodyMesh.h"

#include <cmath>
#include <limits>

namespace {

bool IsUsableScale(double s) {
    return std::isfinite(s) && s > 0;
}

// The squared distance from p to the triangle abc, by the regions of the triangle's plane.
double SquaredDistanceToTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c) {
    const auto sub = [](const Vec3& u, const Vec3& v) {
        return Vec3{u.x - v.x, u.y - v.y, u.z - v.z};
    };
    const auto dot = [](const Vec3& u, const Vec3& v) { return u.x * v.x + u.y * v.y + u.z * v.z; };
    const auto at = [&](double s, double t) {
        return Vec3{a.x + s * (b.x - a.x) + t * (c.x - a.x),
                    a.y + s * (b.y - a.y) + t * (c.y - a.y),
                    a.z + s * (b.z - a.z) + t * (c.z - a.z)};
    };
    const Vec3 ab = sub(b, a), ac = sub(c, a), ap = sub(p, a);
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    Vec3 closest = a;
    if (!(d1 <= 0 && d2 <= 0)) {
        const Vec3 bp = sub(p, b);
        const double d3 = dot(ab, bp), d4 = dot(ac, bp);
        const Vec3 cp = sub(p, c);
        const double d5 = dot(ab, cp), d6 = dot(ac, cp);
        const double vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
        if (d3 >= 0 && d4 <= d3) {
            closest = b;
        } else if (d6 >= 0 && d5 <= d6) {
            closest = c;
        } else if (vc <= 0 && d1 >= 0 && d3 <= 0) {
            closest = at(d1 / (d1 - d3), 0);
        } else if (vb <= 0 && d2 >= 0 && d6 <= 0) {
            closest = at(0, d2 / (d2 - d6));
        } else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
            const double w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
            closest = at(1 - w, w);
        } else {
            const double denominator = va + vb + vc;
            closest = denominator != 0 ? at(vb / denominator, vc / denominator) : a;
        }
    }
    const Vec3 d = sub(p, closest);
    return dot(d, d);
}

Vec3 VertexOf(const Mesh& mesh, int32_t vertex) {
    const float* v = &mesh.vertices[3 * static_cast<size_t>(vertex)];
    return {v[0], v[1], v[2]};
}

} // namespace

Body::PosedCache::PosedCache() : mesh(std::make_unique<PosedBodyMesh>()) {}

Body::PosedCache::PosedCache(const PosedCache&) : mesh(std::make_unique<PosedBodyMesh>()) {}

Body::PosedCache::~PosedCache() = default;

Body::Body() = default;

Body::~Body() = default;

const Mesh* Body::GetPosedModel() const {
    return posedModel->Update(*this);
}

bool Body::HasArmParts() const {
    posedModel->Update(*this);
    const BodySkin* skin = posedModel->Skin();
    return skin != nullptr && skin->HasRightArm();
}

bool Body::HasPostureParts() const {
    posedModel->Update(*this);
    return posedModel->Skin() != nullptr;
}

void Body::SetScaleX(double s) {
    if (IsUsableScale(s)) {
        scaleX = s;
    }
}

void Body::SetScaleZ(double s) {
    if (!IsUsableScale(s)) {
        return;
    }
    scaleZ = s;
    depth = baseDepth * scale * s;
}

Vec3 Body::ToRest(const Vec3& point) const {
    return {point.x / (scale * scaleX), point.y / scale, point.z / (scale * scaleZ)};
}

Vec3 Body::FromRest(const Vec3& point) const {
    return {point.x * scale * scaleX, point.y * scale, point.z * scale * scaleZ};
}

SegmentPoses Body::RestSegments() const {
    posedModel->Update(*this);
    SegmentPoses segments(posture, pivots);
    if (!posture.IsAnatomical()) {
        segments.Raise(posedModel->Lift());
    }
    return segments;
}

Matrix4 Body::SegmentTransform(skeleton::Segment segment) const {
    // The rest frame is the body frame shrunk by the body's scales; the segment turns there.
    const Matrix4 toBody = Matrix4::Scaling(scale * scaleX, scale, scale * scaleZ);
    const Matrix4 toRest = Matrix4::Scaling(1 / (scale * scaleX), 1 / scale, 1 / (scale * scaleZ));
    return toBody * RestSegments()[segment] * toRest;
}

Vec3 Body::PosePoint(const Vec3& point, std::string_view part) const {
    if (posture.IsAnatomical()) {
        return point;
    }
    const SegmentPoses segments = RestSegments();
    const Vec3 rest = ToRest(point);
    return FromRest(PoseWithWeights(RestPointWeights(rest, part), segments, rest));
}

BodySkin::Weights Body::RestPointWeights(const Vec3& restPoint, std::string_view part) const {
    posedModel->Update(*this);
    if (const BodySkin* skin = posedModel->Skin()) {
        return skin->WeightsAt(restPoint, part);
    }
    BodySkin::Weights whole{};
    whole[0] = {skeleton::Segment::Pelvis, 1.0f};
    return whole;
}

std::string Body::PartNearest(const Vec3& point) const {
    const Mesh* mesh = model.get();
    if (mesh == nullptr || modelParts->triangleParts.size() != mesh->triangles.size() ||
        !HasPostureParts()) {
        return "trunk";
    }
    const Vec3 rest = ToRest(point);
    const Vec3 toRest = MeshToRest();
    const Vec3 p = {rest.x - toRest.x, rest.y - toRest.y, rest.z - toRest.z};
    double best = std::numeric_limits<double>::infinity();
    size_t nearest = 0;
    for (size_t t = 0; t < mesh->triangles.size(); ++t) {
        const auto& v = mesh->triangles[t].vertex;
        if (v[0] <= 0 || v[1] <= 0 || v[2] <= 0 || uint32_t(v[0]) > mesh->vertexCount ||
            uint32_t(v[1]) > mesh->vertexCount || uint32_t(v[2]) > mesh->vertexCount) {
            continue;
        }
        const double d = SquaredDistanceToTriangle(p, VertexOf(*mesh, v[0]), VertexOf(*mesh, v[1]),
                                                   VertexOf(*mesh, v[2]));
        if (d < best) {
            best = d;
            nearest = t;
        }
    }
    const uint32_t part = modelParts->triangleParts[nearest];
    const std::string& name = part < modelParts->names.size() ? modelParts->names[part] : "";
    if (name == "right_leg") {
        return "right_thigh";
    }
    if (name == "left_leg") {
        return "left_thigh";
    }
    for (std::string_view known : skeleton::kPartNames) {
        if (known == name) {
            return name;
        }
    }
    return "trunk";
}

Vec3 Body::RestElbow() const {
    return FromRest(pivots[skeleton::Joint::RightElbow]);
}

Matrix4 Body::TrajectoryPoseTransform(bool movesWithArm, const Vec3& entry) const {
    if (!movesWithArm) {
        return Matrix4::Identity();
    }
    return entry.y >= RestElbow().y ? UpperArmTransform() : ArmPoseTransform();
}

Matrix4 Body::DrawTransform() const {
    return Matrix4::Translation(0, height * 0.5, depth * 0.5) *
           Matrix4::Scaling(scaleX, 1, scaleZ) * Matrix4::Scaling(scale, scale, scale);
}

Matrix4 Body::DrawTransformInverse() const {
    return Matrix4::Scaling(1 / (scaleX * scale), 1 / scale, 1 / (scaleZ * scale)) *
           Matrix4::Translation(0, -height * 0.5, -depth * 0.5);
}
