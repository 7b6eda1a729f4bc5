#include "MeshFiles.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

template <typename T> void AppendRaw(std::string& out, T value, bool bigEndian) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    if (bigEndian) {
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) {
            std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
        }
    }
    out.append(reinterpret_cast<const char*>(bytes), sizeof(T));
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::array<float, 3> FacetNormal(const SimpleMesh& mesh, const std::array<uint32_t, 3>& t) {
    const auto& a = mesh.positions[t[0]];
    const auto& b = mesh.positions[t[1]];
    const auto& c = mesh.positions[t[2]];
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    std::array<float, 3> n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                              u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0) {
        for (float& value : n) {
            value /= length;
        }
    }
    return n;
}

} // namespace

SimpleMesh MakeTorus(uint64_t triangles) {
    const auto around = static_cast<uint32_t>(std::sqrt(static_cast<double>(triangles)));
    const uint32_t u = around < 3 ? 3 : around;
    const uint32_t v = u / 2 < 3 ? 3 : u / 2;
    SimpleMesh mesh;
    for (uint32_t i = 0; i < u; ++i) {
        for (uint32_t j = 0; j < v; ++j) {
            const double a = 2 * std::numbers::pi * i / u, b = 2 * std::numbers::pi * j / v;
            mesh.positions.push_back({static_cast<float>((1 + 0.3 * std::cos(b)) * std::cos(a)),
                                      static_cast<float>(0.3 * std::sin(b)),
                                      static_cast<float>((1 + 0.3 * std::cos(b)) * std::sin(a))});
        }
    }
    for (uint32_t i = 0; i < u; ++i) {
        for (uint32_t j = 0; j < v; ++j) {
            const uint32_t a = i * v + j, b = ((i + 1) % u) * v + j;
            const uint32_t c = ((i + 1) % u) * v + (j + 1) % v, d = i * v + (j + 1) % v;
            mesh.triangles.push_back({a, c, b});
            mesh.triangles.push_back({a, d, c});
        }
    }
    return mesh;
}

SimpleMesh MakeColoredOctahedron() {
    SimpleMesh mesh;
    mesh.positions = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    mesh.colors = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                   {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
    mesh.triangles = {{0, 2, 4}, {4, 2, 1}, {1, 2, 5}, {5, 2, 0},
                      {4, 3, 0}, {1, 3, 4}, {5, 3, 1}, {0, 3, 5}};
    return mesh;
}

std::string PlyBytes(const SimpleMesh& mesh, PlyEncoding encoding) {
    const bool colors = !mesh.colors.empty();
    std::string out = "ply\nformat ";
    out += encoding == PlyEncoding::Ascii          ? "ascii"
           : encoding == PlyEncoding::LittleEndian ? "binary_little_endian"
                                                   : "binary_big_endian";
    out += " 1.0\ncomment written by meshgen\nelement vertex " +
           std::to_string(mesh.positions.size()) +
           "\nproperty float x\nproperty float y\nproperty float z\n";
    if (colors) {
        out += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    }
    out += "element face " + std::to_string(mesh.triangles.size()) +
           "\nproperty list uchar int vertex_indices\nend_header\n";
    const bool big = encoding == PlyEncoding::BigEndian;
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const auto& p = mesh.positions[i];
        if (encoding == PlyEncoding::Ascii) {
            out += Number(p[0]) + ' ' + Number(p[1]) + ' ' + Number(p[2]);
            if (colors) {
                for (uint8_t c : mesh.colors[i]) {
                    out += ' ' + std::to_string(c);
                }
            }
            out += '\n';
            continue;
        }
        for (float value : p) {
            AppendRaw(out, value, big);
        }
        if (colors) {
            for (uint8_t c : mesh.colors[i]) {
                AppendRaw(out, c, big);
            }
        }
    }
    for (const auto& t : mesh.triangles) {
        if (encoding == PlyEncoding::Ascii) {
            out += "3 " + std::to_string(t[0]) + ' ' + std::to_string(t[1]) + ' ' +
                   std::to_string(t[2]) + '\n';
            continue;
        }
        AppendRaw(out, uint8_t{3}, big);
        for (uint32_t index : t) {
            AppendRaw(out, static_cast<int32_t>(index), big);
        }
    }
    return out;
}

std::string StlAsciiBytes(const SimpleMesh& mesh) {
    std::string out = "solid meshgen\n";
    for (const auto& t : mesh.triangles) {
        const auto n = FacetNormal(mesh, t);
        out += "  facet normal " + Number(n[0]) + ' ' + Number(n[1]) + ' ' + Number(n[2]) +
               "\n    outer loop\n";
        for (uint32_t index : t) {
            const auto& p = mesh.positions[index];
            out += "      vertex " + Number(p[0]) + ' ' + Number(p[1]) + ' ' + Number(p[2]) + '\n';
        }
        out += "    endloop\n  endfacet\n";
    }
    return out + "endsolid meshgen\n";
}

std::string StlBinaryBytes(const SimpleMesh& mesh) {
    // The header deliberately starts with "solid", as many exporters' headers do.
    std::string out = "solid binary written by meshgen";
    out.resize(80, ' ');
    AppendRaw(out, static_cast<uint32_t>(mesh.triangles.size()), false);
    for (const auto& t : mesh.triangles) {
        for (float value : FacetNormal(mesh, t)) {
            AppendRaw(out, value, false);
        }
        for (uint32_t index : t) {
            for (float value : mesh.positions[index]) {
                AppendRaw(out, value, false);
            }
        }
        AppendRaw(out, uint16_t{0}, false);
    }
    return out;
}

std::string ObjBytes(const SimpleMesh& mesh) {
    std::string out = "# written by meshgen\n";
    for (const auto& p : mesh.positions) {
        out += "v " + Number(p[0]) + ' ' + Number(p[1]) + ' ' + Number(p[2]) + '\n';
    }
    for (const auto& t : mesh.triangles) {
        out += "f " + std::to_string(t[0] + 1) + ' ' + std::to_string(t[1] + 1) + ' ' +
               std::to_string(t[2] + 1) + '\n';
    }
    return out;
}

std::string OffBytes(const SimpleMesh& mesh) {
    std::string out = "OFF\n" + std::to_string(mesh.positions.size()) + ' ' +
                      std::to_string(mesh.triangles.size()) + " 0\n";
    for (const auto& p : mesh.positions) {
        out += Number(p[0]) + ' ' + Number(p[1]) + ' ' + Number(p[2]) + '\n';
    }
    for (const auto& t : mesh.triangles) {
        out += "3 " + std::to_string(t[0]) + ' ' + std::to_string(t[1]) + ' ' +
               std::to_string(t[2]) + '\n';
    }
    return out;
}
