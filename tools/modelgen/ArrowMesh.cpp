#include "ArrowMesh.h"

#include <cmath>
#include <numbers>

namespace {

// Appends a ring of vertices around the Z axis and returns the index of its first vertex.
int AddRing(TriMesh& mesh, double radius, double z, int segments) {
    const int first = static_cast<int>(mesh.vertices.size());
    for (int i = 0; i < segments; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / segments;
        mesh.vertices.push_back({radius * std::cos(angle), radius * std::sin(angle), z});
    }
    return first;
}

int AddPoint(TriMesh& mesh, double z) {
    mesh.vertices.push_back({0.0, 0.0, z});
    return static_cast<int>(mesh.vertices.size()) - 1;
}

} // namespace

TriMesh BuildArrow(const ArrowDimensions& d) {
    TriMesh mesh;
    const int n = d.segments;
    const int tailCentre = AddPoint(mesh, d.tailZ);
    const int tailRing = AddRing(mesh, d.shaftRadius, d.tailZ, n);
    const int neckRing = AddRing(mesh, d.shaftRadius, d.headBaseZ, n);
    const int headRing = AddRing(mesh, d.headRadius, d.headBaseZ, n);
    const int tip = AddPoint(mesh, d.tipZ);
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        // Tail cap, facing +Z.
        mesh.triangles.push_back({tailCentre, tailRing + i, tailRing + j});
        // Shaft side, facing outward.
        mesh.triangles.push_back({tailRing + i, neckRing + i, neckRing + j});
        mesh.triangles.push_back({tailRing + i, neckRing + j, tailRing + j});
        // Back of the head, facing +Z.
        mesh.triangles.push_back({neckRing + i, headRing + i, headRing + j});
        mesh.triangles.push_back({neckRing + i, headRing + j, neckRing + j});
        // Cone to the point.
        mesh.triangles.push_back({headRing + i, tip, headRing + j});
    }
    return mesh;
}
