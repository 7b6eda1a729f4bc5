#pragma once

#include "base/Matrix4.h"

#include <tiny_gltf.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A plain reading of a scene the program exported (glTF binary or OBJ), apart from the program's
// own readers, for tests to check what was written: the named nodes with their triangles, the
// positions of their corners and the normal at each, and the glTF materials. The export writes
// its nodes side by side, without transforms of their own.
struct ExportedNode {
    std::string name;
    unsigned triangles = 0;
    std::vector<Vec3> positions; // glTF: every vertex; OBJ: every face corner
    std::vector<Vec3> normals;   // one per position, or empty
};

struct ExportedMaterial {
    std::string name;
    std::string alphaMode;
    double alpha = 1;
    std::vector<double> baseColor; // the base colour factor as written (r, g, b, a)
};

struct ExportedScene {
    std::string error; // empty when the file was read
    std::vector<ExportedNode> nodes;
    std::vector<ExportedMaterial> materials;
};

namespace exported_scene {

// The elements of a float or unsigned accessor as doubles, whatever their stride.
inline std::vector<double> AccessorValues(const tinygltf::Model& model, int index) {
    const tinygltf::Accessor& accessor = model.accessors.at(static_cast<std::size_t>(index));
    const tinygltf::BufferView& view =
        model.bufferViews.at(static_cast<std::size_t>(accessor.bufferView));
    const std::vector<unsigned char>& buffer =
        model.buffers.at(static_cast<std::size_t>(view.buffer)).data;
    const int components = tinygltf::GetNumComponentsInType(static_cast<uint32_t>(accessor.type));
    const int size =
        tinygltf::GetComponentSizeInBytes(static_cast<uint32_t>(accessor.componentType));
    const std::size_t stride =
        view.byteStride != 0 ? view.byteStride : std::size_t(components * size);
    std::vector<double> values;
    for (std::size_t e = 0; e < accessor.count; ++e) {
        for (int c = 0; c < components; ++c) {
            const unsigned char* at =
                buffer.data() + view.byteOffset + accessor.byteOffset + e * stride + c * size;
            if (accessor.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT) {
                float value;
                std::memcpy(&value, at, 4);
                values.push_back(value);
            } else if (size == 4) {
                uint32_t value;
                std::memcpy(&value, at, 4);
                values.push_back(value);
            } else if (size == 2) {
                uint16_t value;
                std::memcpy(&value, at, 2);
                values.push_back(value);
            } else {
                values.push_back(at[0]);
            }
        }
    }
    return values;
}

inline std::vector<Vec3> Triples(const std::vector<double>& values) {
    std::vector<Vec3> triples;
    for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
        triples.push_back({values[i], values[i + 1], values[i + 2]});
    }
    return triples;
}

inline ExportedScene ReadGlb(const std::string& path) {
    ExportedScene scene;
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    std::string warnings;
    if (!loader.LoadBinaryFromFile(&model, &scene.error, &warnings, path)) {
        if (scene.error.empty()) {
            scene.error = "not read";
        }
        return scene;
    }
    for (const tinygltf::Node& source : model.nodes) {
        ExportedNode node;
        node.name = source.name;
        if (source.mesh >= 0) {
            for (const tinygltf::Primitive& primitive :
                 model.meshes.at(static_cast<std::size_t>(source.mesh)).primitives) {
                const std::size_t base = node.positions.size();
                const std::vector<Vec3> positions =
                    Triples(AccessorValues(model, primitive.attributes.at("POSITION")));
                node.positions.insert(node.positions.end(), positions.begin(), positions.end());
                if (primitive.attributes.count("NORMAL")) {
                    const std::vector<Vec3> normals =
                        Triples(AccessorValues(model, primitive.attributes.at("NORMAL")));
                    node.normals.insert(node.normals.end(), normals.begin(), normals.end());
                }
                const std::size_t corners =
                    primitive.indices >= 0
                        ? model.accessors.at(static_cast<std::size_t>(primitive.indices)).count
                        : node.positions.size() - base;
                node.triangles += static_cast<unsigned>(corners / 3);
            }
        }
        scene.nodes.push_back(std::move(node));
    }
    for (const tinygltf::Material& source : model.materials) {
        const std::vector<double>& color = source.pbrMetallicRoughness.baseColorFactor;
        scene.materials.push_back(
            {source.name, source.alphaMode, color.size() == 4 ? color[3] : 1.0, color});
    }
    return scene;
}

// Reads "v", "vn", "o" and "f" statements; each face corner "p//n" or "p/t/n" or "p".
inline ExportedScene ReadObj(const std::string& path) {
    ExportedScene scene;
    std::ifstream file(path);
    if (!file) {
        scene.error = "cannot open " + path;
        return scene;
    }
    std::vector<Vec3> positions, normals;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "o") {
            scene.nodes.emplace_back();
            words >> scene.nodes.back().name;
        } else if (keyword == "v" || keyword == "vn") {
            Vec3 p;
            words >> p.x >> p.y >> p.z;
            (keyword == "v" ? positions : normals).push_back(p);
        } else if (keyword == "f" && !scene.nodes.empty()) {
            ExportedNode& node = scene.nodes.back();
            std::string corner;
            unsigned corners = 0;
            while (words >> corner) {
                const std::size_t position = std::stoul(corner);
                node.positions.push_back(positions.at(position - 1));
                if (const std::size_t slash = corner.rfind('/'); slash != std::string::npos) {
                    node.normals.push_back(normals.at(std::stoul(corner.substr(slash + 1)) - 1));
                }
                ++corners;
            }
            node.triangles += corners >= 3 ? corners - 2 : 0;
        }
    }
    return scene;
}

} // namespace exported_scene

inline ExportedScene ReadExportedScene(const std::string& path) {
    return path.ends_with(".obj") ? exported_scene::ReadObj(path) : exported_scene::ReadGlb(path);
}
