#pragma once

#include "body/Body.h"

#include <limits>
#include <string>

// A point on the skin in the middle of the part: on its triangle nearest to the centre of its
// vertices, away from the seams with the other parts (body frame, metres).
inline Vec3 PointOnPart(const Body& body, const std::string& name) {
    const Mesh& mesh = *body.GetModel();
    const MeshParts& parts = body.GetModelParts();
    const uint32_t part = parts.Find(name).value();
    const auto corner = [&mesh](uint32_t v) { return ToVec3(mesh.positions[v]); };
    const auto centroid = [&](const MeshTriangle& triangle) {
        const Vec3 a = corner(triangle.position[0]), b = corner(triangle.position[1]),
                   c = corner(triangle.position[2]);
        return Vec3{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
    };
    Vec3 centre{};
    int count = 0;
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        if (parts.triangleParts[t] == part) {
            const Vec3 c = centroid(mesh.triangles[t]);
            centre = {centre.x + c.x, centre.y + c.y, centre.z + c.z};
            ++count;
        }
    }
    centre = {centre.x / count, centre.y / count, centre.z / count};
    double best = std::numeric_limits<double>::infinity();
    Vec3 nearest{};
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        if (parts.triangleParts[t] != part) {
            continue;
        }
        const Vec3 c = centroid(mesh.triangles[t]);
        const double d = (c.x - centre.x) * (c.x - centre.x) + (c.y - centre.y) * (c.y - centre.y) +
                         (c.z - centre.z) * (c.z - centre.z);
        if (d < best) {
            best = d;
            nearest = c;
        }
    }
    return body.DrawTransform().TransformPoint(nearest);
}
