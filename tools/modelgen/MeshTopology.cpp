#include "MeshTopology.h"

#include <algorithm>
#include <utility>
#include <vector>

TopologyReport CheckTopology(const TriMesh& mesh) {
    std::vector<std::pair<int, int>> directed;
    directed.reserve(mesh.triangles.size() * 3);
    TopologyReport report;
    for (const auto& t : mesh.triangles) {
        for (int c = 0; c < 3; ++c) {
            directed.emplace_back(t[c], t[(c + 1) % 3]);
        }
        const Vec3 a = mesh.vertices[t[0]];
        const Vec3 b = mesh.vertices[t[1]];
        const Vec3 c = mesh.vertices[t[2]];
        report.volume += Dot(a, Cross(b, c)) / 6.0;
    }
    std::vector<std::pair<int, int>> undirected = directed;
    for (auto& e : undirected) {
        if (e.first > e.second) {
            std::swap(e.first, e.second);
        }
    }
    std::sort(directed.begin(), directed.end());
    std::sort(undirected.begin(), undirected.end());
    for (size_t i = 1; i < directed.size(); ++i) {
        if (directed[i] == directed[i - 1]) {
            ++report.misorientedEdges;
        }
    }
    for (size_t i = 0; i < undirected.size();) {
        size_t j = i;
        while (j < undirected.size() && undirected[j] == undirected[i]) {
            ++j;
        }
        ++report.edges;
        if (j - i != 2) {
            ++report.openOrOverusedEdges;
        }
        i = j;
    }
    report.eulerCharacteristic = static_cast<long long>(mesh.vertices.size()) -
                                 static_cast<long long>(report.edges) +
                                 static_cast<long long>(mesh.triangles.size());
    return report;
}

std::string Describe(const TopologyReport& r) {
    return std::to_string(r.edges) + " edges, " + std::to_string(r.openOrOverusedEdges) +
           " not shared by two triangles, " + std::to_string(r.misorientedEdges) +
           " misoriented, Euler characteristic " + std::to_string(r.eulerCharacteristic) +
           ", volume " + std::to_string(r.volume);
}
