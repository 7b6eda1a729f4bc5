#include "mesh/io/gltf/GltfAccessorReader.h"

#include "mesh/io/MeshBuilder.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

int ComponentBytes(int type) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0; // not a component type glTF allows in accessors
    }
}

int ComponentsOf(int type) {
    switch (type) {
    case TINYGLTF_TYPE_SCALAR:
        return 1;
    case TINYGLTF_TYPE_VEC2:
        return 2;
    case TINYGLTF_TYPE_VEC3:
        return 3;
    case TINYGLTF_TYPE_VEC4:
        return 4;
    default:
        return 0; // matrices hold nothing a mesh reads
    }
}

template <typename T> T Load(const unsigned char* at) {
    T value;
    std::memcpy(&value, at,
                sizeof value); // glTF is little-endian, as is every machine we build for
    return value;
}

// One component as a float; normalised integers map to 0..1 (or -1..1 when signed).
float Component(const unsigned char* at, int type, bool normalize) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return Load<float>(at);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return normalize ? static_cast<float>(at[0]) / 255.0f : static_cast<float>(at[0]);
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
        const float value = Load<int8_t>(at);
        return normalize ? std::max(value / 127.0f, -1.0f) : value;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        const float value = Load<uint16_t>(at);
        return normalize ? value / 65535.0f : value;
    }
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        const float value = Load<int16_t>(at);
        return normalize ? std::max(value / 32767.0f, -1.0f) : value;
    }
    default: {
        const auto value = static_cast<float>(Load<uint32_t>(at));
        return normalize ? value / 4294967295.0f : value;
    }
    }
}

uint32_t IndexAt(const unsigned char* at, int type) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return at[0];
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return Load<uint16_t>(at);
    default:
        return Load<uint32_t>(at);
    }
}

bool IsIndexType(int type) {
    return type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
           type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ||
           type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
}

Status OutsideBuffer(const std::string& what) {
    return Status::Failure(what + " lie outside their buffer");
}

} // namespace

Status GltfAccessorReader::CheckView(int view, uint64_t offset, uint64_t elements,
                                     uint64_t elementBytes, const std::string& what,
                                     Span& span) const {
    if (view < 0 || static_cast<std::size_t>(view) >= model.bufferViews.size()) {
        return Status::Failure(what + " name a buffer view that does not exist");
    }
    const tinygltf::BufferView& bufferView = model.bufferViews[static_cast<std::size_t>(view)];
    if (bufferView.buffer < 0 ||
        static_cast<std::size_t>(bufferView.buffer) >= model.buffers.size()) {
        return Status::Failure(what + " name a buffer that does not exist");
    }
    const uint64_t bufferBytes =
        model.buffers[static_cast<std::size_t>(bufferView.buffer)].data.size();
    const uint64_t viewOffset = bufferView.byteOffset;
    const uint64_t viewBytes = bufferView.byteLength;
    if (viewOffset > bufferBytes || viewBytes > bufferBytes - viewOffset) {
        return OutsideBuffer(what);
    }
    const uint64_t stride = bufferView.byteStride != 0 ? bufferView.byteStride : elementBytes;
    if (stride < elementBytes) {
        return Status::Failure(what + " overlap: their stride is shorter than one element");
    }
    // The last element ends at offset + (elements - 1) * stride + elementBytes; every term is
    // bounded before it is multiplied, so nothing wraps.
    if (offset > viewBytes ||
        (elements > 0 && ((elements - 1) > (viewBytes - offset) / stride ||
                          (elements - 1) * stride + elementBytes > viewBytes - offset))) {
        return OutsideBuffer(what);
    }
    span.data = model.buffers[static_cast<std::size_t>(bufferView.buffer)].data.data() +
                viewOffset + offset;
    span.stride = stride;
    return Status::Ok();
}

Status GltfAccessorReader::Check(int index, const std::string& what, Shape& shape) const {
    if (index < 0 || static_cast<std::size_t>(index) >= model.accessors.size()) {
        return Status::Failure(what + " name an accessor that does not exist");
    }
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    shape.count = accessor.count;
    shape.components = ComponentsOf(accessor.type);
    shape.componentType = accessor.componentType;
    const int bytes = ComponentBytes(accessor.componentType);
    if (shape.components == 0 || bytes == 0) {
        return Status::Failure(what + " are of a type no mesh holds");
    }
    if (shape.count > kMaxMeshElements) {
        return Status::Failure(what + " are more than can be drawn");
    }
    // Without a buffer view the values are zeros (which a sparse accessor may then replace).
    if (accessor.bufferView >= 0) {
        Span span;
        if (Status status = CheckView(accessor.bufferView, accessor.byteOffset, shape.count,
                                      static_cast<uint64_t>(shape.components) * bytes, what, span);
            !status) {
            return status;
        }
    }
    return accessor.sparse.isSparse ? CheckSparse(index, shape, what) : Status::Ok();
}

Status GltfAccessorReader::CheckSparse(int index, const Shape& shape,
                                       const std::string& what) const {
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    const auto& sparse = accessor.sparse;
    if (sparse.count < 1 || static_cast<uint64_t>(sparse.count) > shape.count) {
        return Status::Failure(what + " replace more of their values than they have");
    }
    if (!IsIndexType(sparse.indices.componentType) || sparse.indices.byteOffset < 0 ||
        sparse.values.byteOffset < 0) {
        return Status::Failure(what + " have sparse indices of a type glTF does not allow");
    }
    Span span;
    if (Status status = CheckView(
            sparse.indices.bufferView, static_cast<uint64_t>(sparse.indices.byteOffset),
            static_cast<uint64_t>(sparse.count), ComponentBytes(sparse.indices.componentType),
            what + " (their sparse indices)", span);
        !status) {
        return status;
    }
    const uint64_t elementBytes =
        static_cast<uint64_t>(shape.components) * ComponentBytes(shape.componentType);
    return CheckView(sparse.values.bufferView, static_cast<uint64_t>(sparse.values.byteOffset),
                     static_cast<uint64_t>(sparse.count), elementBytes,
                     what + " (their sparse values)", span);
}

Status GltfAccessorReader::ReadFloats(int index, const std::string& what, bool normalize,
                                      std::vector<float>& values) const {
    Shape shape;
    if (Status status = Check(index, what, shape); !status) {
        return status;
    }
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    const bool scale = normalize || accessor.normalized;
    const int bytes = ComponentBytes(shape.componentType);
    values.assign(shape.count * static_cast<uint64_t>(shape.components), 0.0f);
    if (accessor.bufferView >= 0) {
        Span span;
        (void)CheckView(accessor.bufferView, accessor.byteOffset, shape.count,
                        static_cast<uint64_t>(shape.components) * bytes, what, span);
        for (uint64_t e = 0; e < shape.count; ++e) {
            const unsigned char* element = span.data + e * span.stride;
            for (int c = 0; c < shape.components; ++c) {
                values[e * shape.components + c] = Component(
                    element + static_cast<std::ptrdiff_t>(c) * bytes, shape.componentType, scale);
            }
        }
    }
    return accessor.sparse.isSparse ? ApplySparse(index, what, scale, values) : Status::Ok();
}

Status GltfAccessorReader::ApplySparse(int index, const std::string& what, bool normalize,
                                       std::vector<float>& values) const {
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    const auto& sparse = accessor.sparse;
    const int components = ComponentsOf(accessor.type);
    const int bytes = ComponentBytes(accessor.componentType);
    Span indices, replacements;
    (void)CheckView(sparse.indices.bufferView, static_cast<uint64_t>(sparse.indices.byteOffset),
                    static_cast<uint64_t>(sparse.count),
                    ComponentBytes(sparse.indices.componentType), what, indices);
    (void)CheckView(sparse.values.bufferView, static_cast<uint64_t>(sparse.values.byteOffset),
                    static_cast<uint64_t>(sparse.count), static_cast<uint64_t>(components) * bytes,
                    what, replacements);
    for (uint64_t i = 0; i < static_cast<uint64_t>(sparse.count); ++i) {
        const uint64_t target =
            IndexAt(indices.data + i * indices.stride, sparse.indices.componentType);
        if (target >= accessor.count) {
            return Status::Failure(what + " replace a value beyond their count");
        }
        const unsigned char* element = replacements.data + i * replacements.stride;
        for (int c = 0; c < components; ++c) {
            values[target * components + c] =
                Component(element + static_cast<std::ptrdiff_t>(c) * bytes, accessor.componentType,
                          normalize);
        }
    }
    return Status::Ok();
}

Status GltfAccessorReader::ReadIndices(int index, const std::string& what, uint64_t vertexCount,
                                       std::vector<uint32_t>& values) const {
    Shape shape;
    if (Status status = Check(index, what, shape); !status) {
        return status;
    }
    if (shape.components != 1 || !IsIndexType(shape.componentType)) {
        return Status::Failure(what + " are not unsigned whole numbers");
    }
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    const int bytes = ComponentBytes(shape.componentType);
    values.assign(shape.count, 0);
    if (accessor.bufferView >= 0) {
        Span span;
        (void)CheckView(accessor.bufferView, accessor.byteOffset, shape.count, bytes, what, span);
        for (uint64_t i = 0; i < shape.count; ++i) {
            values[i] = IndexAt(span.data + i * span.stride, shape.componentType);
        }
    }
    if (accessor.sparse.isSparse) {
        const auto& sparse = accessor.sparse;
        Span targets, replacements;
        (void)CheckView(sparse.indices.bufferView, static_cast<uint64_t>(sparse.indices.byteOffset),
                        static_cast<uint64_t>(sparse.count),
                        ComponentBytes(sparse.indices.componentType), what, targets);
        (void)CheckView(sparse.values.bufferView, static_cast<uint64_t>(sparse.values.byteOffset),
                        static_cast<uint64_t>(sparse.count), bytes, what, replacements);
        for (uint64_t i = 0; i < static_cast<uint64_t>(sparse.count); ++i) {
            const uint64_t target =
                IndexAt(targets.data + i * targets.stride, sparse.indices.componentType);
            if (target >= shape.count) {
                return Status::Failure(what + " replace a value beyond their count");
            }
            values[target] =
                IndexAt(replacements.data + i * replacements.stride, shape.componentType);
        }
    }
    for (uint32_t value : values) {
        if (value >= vertexCount) {
            return Status::Failure(what + " name a vertex that does not exist");
        }
    }
    return Status::Ok();
}
