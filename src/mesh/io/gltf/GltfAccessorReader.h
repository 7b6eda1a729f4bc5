#pragma once

#include "base/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

// Reads the values of a glTF accessor out of its buffer, after checking that every one of them
// lies inside it: the accessor's elements within its buffer view (its offset, stride and count
// included), the view within its buffer, and a sparse accessor's indices and values within their
// views, with no more of them than the accessor has elements and each index below its count.
// Check() costs nothing but arithmetic, so a caller can check every accessor (and the memory
// their counts ask for) before anything is read or allocated.
class GltfAccessorReader {
public:
    explicit GltfAccessorReader(const tinygltf::Model& gltfModel) : model(gltfModel) {}

    // What an accessor holds once checked.
    struct Shape {
        uint64_t count = 0;
        int components = 0;    // 1 for SCALAR, 2 to 4 for VEC2 to VEC4
        int componentType = 0; // a glTF component type (5120 to 5126)
    };

    // Checks accessor `index` and gives its shape. `what` names it in a refusal ("the positions
    // of mesh 2").
    Status Check(int index, const std::string& what, Shape& shape) const;

    // The accessor's values as floats, `components` per element; integers are scaled to 0..1
    // when the accessor is normalised or `normalize` asks for it (colours, texture coordinates).
    Status ReadFloats(int index, const std::string& what, bool normalize,
                      std::vector<float>& values) const;

    // The accessor's values as vertex indices, each checked to be below `vertexCount`.
    Status ReadIndices(int index, const std::string& what, uint64_t vertexCount,
                       std::vector<uint32_t>& values) const;

private:
    struct Span {
        const unsigned char* data = nullptr; // the first element
        uint64_t stride = 0;
    };
    Status CheckView(int view, uint64_t offset, uint64_t elements, uint64_t elementBytes,
                     const std::string& what, Span& span) const;
    Status CheckSparse(int index, const Shape& shape, const std::string& what) const;
    Status ApplySparse(int index, const std::string& what, bool normalize,
                       std::vector<float>& values) const;

    const tinygltf::Model& model;
};
