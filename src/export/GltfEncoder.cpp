#include "export/GltfEncoder.h"

#include "export/ExportSceneValues.h"

#include <nlohmann/json.hpp>
#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// Names come from the user's labels, which an older data file may hold in another encoding than
// UTF-8; glTF is JSON, whose writer refuses such bytes. Each byte that is not UTF-8 becomes U+FFFD,
// as in the report's JSON, so that the rest of the label stays readable. A NUL becomes U+FFFD too:
// readers that keep names as C strings would cut the name there.
std::string ReadableUtf8(const std::string& text) {
    using nlohmann::json;
    std::string readable =
        json::parse(json(text).dump(-1, ' ', false, json::error_handler_t::replace))
            .get<std::string>();
    for (std::size_t nul = readable.find('\0'); nul != std::string::npos;
         nul = readable.find('\0', nul)) {
        readable.replace(nul, 1, "\xEF\xBF\xBD");
    }
    return readable;
}

class GlbBuilder {
public:
    explicit GlbBuilder(const std::string& generator) {
        model.asset.version = "2.0";
        model.asset.generator = generator;
        model.asset.copyright = kExportFrameNote;
        model.buffers.emplace_back();
        model.scenes.emplace_back();
        model.defaultScene = 0;
    }

    void AddNode(const ExportNode& source) {
        tinygltf::Node node;
        node.name = ReadableUtf8(source.name);
        if (!source.primitives.empty()) {
            tinygltf::Mesh mesh;
            mesh.name = node.name;
            for (const ExportPrimitive& primitive : source.primitives) {
                mesh.primitives.push_back(AddPrimitive(primitive));
            }
            node.mesh = static_cast<int>(model.meshes.size());
            model.meshes.push_back(std::move(mesh));
        }
        model.scenes[0].nodes.push_back(static_cast<int>(model.nodes.size()));
        model.nodes.push_back(std::move(node));
    }

    tinygltf::Model& Model() { return model; }

private:
    // Appends raw data to the one buffer (kept 4-byte aligned) and returns its view.
    int AddView(const void* data, std::size_t size, int target) {
        std::vector<unsigned char>& bytes = model.buffers[0].data;
        const std::size_t offset = bytes.size();
        bytes.resize(offset + size);
        std::memcpy(bytes.data() + offset, data, size);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = offset;
        view.byteLength = size;
        view.target = target;
        model.bufferViews.push_back(view);
        return static_cast<int>(model.bufferViews.size() - 1);
    }

    int AddFloatAccessor(const std::vector<float>& values, int components, int type,
                         bool withBounds) {
        tinygltf::Accessor accessor;
        accessor.bufferView = AddView(values.data(), values.size() * sizeof(float), kArrayBuffer);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.count = values.size() / components;
        accessor.type = type;
        if (withBounds) {
            // Positions must state their bounds.
            accessor.minValues.assign(components, std::numeric_limits<double>::max());
            accessor.maxValues.assign(components, std::numeric_limits<double>::lowest());
            for (std::size_t i = 0; i < values.size(); ++i) {
                const int axis = static_cast<int>(i % components);
                accessor.minValues[axis] = std::min<double>(accessor.minValues[axis], values[i]);
                accessor.maxValues[axis] = std::max<double>(accessor.maxValues[axis], values[i]);
            }
        }
        model.accessors.push_back(std::move(accessor));
        return static_cast<int>(model.accessors.size() - 1);
    }

    int AddIndexAccessor(const std::vector<uint32_t>& indices) {
        tinygltf::Accessor accessor;
        accessor.bufferView =
            AddView(indices.data(), indices.size() * sizeof(uint32_t), kElementArrayBuffer);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        accessor.count = indices.size();
        accessor.type = TINYGLTF_TYPE_SCALAR;
        model.accessors.push_back(std::move(accessor));
        return static_cast<int>(model.accessors.size() - 1);
    }

    int AddMaterial(const ExportPrimitive& primitive) {
        tinygltf::Material material;
        material.name = ReadableUtf8(primitive.materialName);
        const std::array<float, 4>& color = primitive.color;
        material.pbrMetallicRoughness.baseColorFactor = {
            WrittenColorChannel(color[0]), WrittenColorChannel(color[1]),
            WrittenColorChannel(color[2]), WrittenColorChannel(color[3])};
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        material.pbrMetallicRoughness.roughnessFactor = 1.0;
        material.doubleSided = true;
        if (WrittenColorChannel(color[3]) < 1.0f) {
            material.alphaMode = "BLEND"; // the translucent cones
        }
        model.materials.push_back(std::move(material));
        return static_cast<int>(model.materials.size() - 1);
    }

    tinygltf::Primitive AddPrimitive(const ExportPrimitive& source) {
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        primitive.attributes["POSITION"] =
            AddFloatAccessor(source.positions, 3, TINYGLTF_TYPE_VEC3, true);
        if (!source.normals.empty() && source.normals.size() == source.positions.size()) {
            primitive.attributes["NORMAL"] =
                AddFloatAccessor(source.normals, 3, TINYGLTF_TYPE_VEC3, false);
        }
        if (!source.colors.empty()) {
            std::vector<float> colors = source.colors;
            std::transform(colors.begin(), colors.end(), colors.begin(), WrittenColorChannel);
            primitive.attributes["COLOR_0"] =
                AddFloatAccessor(colors, 4, TINYGLTF_TYPE_VEC4, false);
        }
        primitive.indices = AddIndexAccessor(source.indices);
        primitive.material = AddMaterial(source);
        return primitive;
    }

    tinygltf::Model model;
};

} // namespace

std::string EncodeWithTinyGltf(const ExportScene& scene, const std::string& generator,
                               bool binary) {
    GlbBuilder builder(generator);
    for (const ExportNode& node : scene.nodes) {
        builder.AddNode(node);
    }
    std::ostringstream stream;
    tinygltf::TinyGLTF writer;
    if (!writer.WriteGltfSceneToStream(&builder.Model(), stream, !binary, binary)) {
        return {};
    }
    return stream.str();
}
