#pragma once

#include "base/NameIndex.h"
#include "mesh/Mesh.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Collects a model's groups while its text is counted: groups are numbered in the order they are
// created and found by name in constant time, so that many thousands of materials stay linear.
class MeshGroupBuilder {
public:
    // The number of the group named `name`, created with no triangles when there is none yet.
    uint32_t GroupFor(std::string_view name);

    void AddTriangles(uint32_t group, uint64_t count) { triangles_[group] += count; }

    std::size_t Size() const { return names_.size(); }

    // Where the group numbered `group` stands in the mesh's list: the most recently created first.
    uint32_t ListPosition(uint32_t group) const {
        return static_cast<uint32_t>(names_.size()) - 1 - group;
    }

    // Puts the groups into the mesh in list order, each with room for exactly its triangles and
    // its triangleCount 0 (the filling counts them again). The counts must fit 32 bits.
    void MoveInto(Mesh& mesh);

private:
    NameIndex index_;
    std::vector<std::string> names_;
    std::vector<uint64_t> triangles_;
};
