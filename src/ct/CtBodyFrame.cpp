#include "ct/CtBodyFrame.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double kCentimetresPerMillimetre = 0.1;

// The rotation alone: (L, P, S) to (L, S, -P).
Vec3f RotateToBody(const Vec3f& lps) {
    return {lps.x, lps.z, -lps.y};
}

std::array<float, 6> BoxOf(const Mesh& mesh, const std::vector<uint32_t>& triangleIndices) {
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0};
    bool first = true;
    for (uint32_t index : triangleIndices) {
        for (uint32_t corner : mesh.triangles[index].position) {
            for (int axis = 0; axis < 3; ++axis) {
                const float value = mesh.positions[corner][axis];
                box[axis] = first ? value : std::min(box[axis], value);
                box[axis + 3] = first ? value : std::max(box[axis + 3], value);
            }
            first = false;
        }
    }
    return box;
}

} // namespace

// The rule's extremes over the corners the triangles use (a vertex no triangle uses is no skin).
template <typename Triangles, typename CornersOf>
CtBodyFrame FrameOf(const std::vector<Vec3f>& positions, const Triangles& triangles,
                    const CornersOf& cornersOf) {
    constexpr double kHuge = std::numeric_limits<double>::max();
    double minL = kHuge, maxL = -kHuge, maxP = -kHuge, minS = kHuge;
    for (const auto& triangle : triangles) {
        for (uint32_t corner : cornersOf(triangle)) {
            const Vec3f& p = positions[corner];
            minL = std::min(minL, static_cast<double>(p.x));
            maxL = std::max(maxL, static_cast<double>(p.x));
            maxP = std::max(maxP, static_cast<double>(p.y));
            minS = std::min(minS, static_cast<double>(p.z));
        }
    }
    return {{(minL + maxL) / 2, maxP, minS}};
}

Status BodyFrameOfSkin(const Mesh& skinLps, CtBodyFrame& frame) {
    if (skinLps.triangles.empty()) {
        return Status::Failure("The skin surface has no triangles to place the body by.");
    }
    frame = FrameOf(skinLps.positions, skinLps.triangles,
                    [](const MeshTriangle& triangle) { return triangle.position; });
    return Status::Ok();
}

CtBodyFrame BodyFrameOfCorners(const std::vector<Vec3f>& positions,
                               const std::vector<std::array<uint32_t, 3>>& triangles) {
    return FrameOf(positions, triangles,
                   [](const std::array<uint32_t, 3>& triangle) { return triangle; });
}

Vec3 LpsToBody(const CtBodyFrame& frame, const Vec3& lps) {
    const Vec3 d = Minus(lps, frame.originLps);
    return {d.x * kCentimetresPerMillimetre, d.z * kCentimetresPerMillimetre,
            -d.y * kCentimetresPerMillimetre};
}

Vec3 BodyToLps(const CtBodyFrame& frame, const Vec3& body) {
    return {frame.originLps.x + body.x / kCentimetresPerMillimetre,
            frame.originLps.y - body.z / kCentimetresPerMillimetre,
            frame.originLps.z + body.y / kCentimetresPerMillimetre};
}

Matrix4 LpsToBodyMatrix(const CtBodyFrame& frame) {
    // Rotating +90 degrees about x takes +y to +z and +z to -y: (L, P, S) to (L, -S, P); the
    // body wants (L, S, -P), a rotation of -90 degrees.
    const double s = kCentimetresPerMillimetre;
    return Matrix4::Scaling(s, s, s) * Matrix4::Rotation(-90, 1, 0, 0) *
           Matrix4::Translation(-frame.originLps.x, -frame.originLps.y, -frame.originLps.z);
}

void MoveToBodyFrame(const CtBodyFrame& frame, Mesh& mesh) {
    for (Vec3f& position : mesh.positions) {
        position = ToVec3f(LpsToBody(frame, ToVec3(position)));
    }
    for (Vec3f& normal : mesh.normals) {
        normal = RotateToBody(normal);
    }
    for (Vec3f& normal : mesh.facetNormals) {
        normal = RotateToBody(normal);
    }
    mesh.box = {0, 0, 0, 0, 0, 0};
    for (MeshGroup& group : mesh.groups) {
        group.box = BoxOf(mesh, group.triangleIndices);
        for (int axis = 0; axis < 3; ++axis) {
            mesh.box[axis] = std::min(mesh.box[axis], group.box[axis]);
            mesh.box[axis + 3] = std::max(mesh.box[axis + 3], group.box[axis + 3]);
        }
    }
    mesh.revision = NextMeshRevision();
}
