#include "SurfaceRelaxation.h"

#include <algorithm>
#include <cstddef>

namespace {

std::vector<std::vector<int>> QuadNeighbours(const QuadMesh& mesh) {
    std::vector<std::vector<int>> neighbours(mesh.vertices.size());
    for (const auto& quad : mesh.quads) {
        for (int c = 0; c < 4; ++c) {
            const int a = quad[c];
            const int b = quad[(c + 1) % 4];
            neighbours[a].push_back(b);
            neighbours[b].push_back(a);
        }
    }
    for (auto& list : neighbours) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return neighbours;
}

Vec3 ProjectOntoSurface(Vec3 p, const std::function<double(Vec3)>& field,
                        const std::function<Vec3(Vec3)>& gradient) {
    for (int step = 0; step < 3; ++step) {
        const double value = field(p);
        const Vec3 g = gradient(p);
        const double g2 = Dot(g, g);
        if (g2 < 1e-12) {
            break;
        }
        p = p - g * (value / g2);
    }
    return p;
}

} // namespace

void RelaxOntoSurface(QuadMesh& mesh, const std::function<double(Vec3)>& field,
                      const std::function<Vec3(Vec3)>& gradient, int rounds) {
    constexpr double kLambda = 0.5;
    const auto neighbours = QuadNeighbours(mesh);
    std::vector<Vec3> moved(mesh.vertices.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t v = 0; v < mesh.vertices.size(); ++v) {
            Vec3 mean;
            for (int n : neighbours[v]) {
                mean = mean + mesh.vertices[n];
            }
            const Vec3 p = mesh.vertices[v];
            const Vec3 target = neighbours[v].empty() ? p : mean * (1.0 / neighbours[v].size());
            moved[v] = ProjectOntoSurface(p + (target - p) * kLambda, field, gradient);
        }
        mesh.vertices.swap(moved);
    }
}

TriMesh Triangulate(const QuadMesh& mesh) {
    TriMesh out;
    out.vertices = mesh.vertices;
    out.triangles.reserve(mesh.quads.size() * 2);
    for (const auto& q : mesh.quads) {
        const auto& v = mesh.vertices;
        const Vec3 d02 = v[q[2]] - v[q[0]];
        const Vec3 d13 = v[q[3]] - v[q[1]];
        if (Dot(d02, d02) <= Dot(d13, d13)) {
            out.triangles.push_back({q[0], q[1], q[2]});
            out.triangles.push_back({q[0], q[2], q[3]});
        } else {
            out.triangles.push_back({q[0], q[1], q[3]});
            out.triangles.push_back({q[1], q[2], q[3]});
        }
    }
    return out;
}
