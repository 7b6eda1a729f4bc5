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

    // Puts the groups into the mesh in the order they were created (a group's number is its
    // position in mesh.groups), without triangles, and returns how many triangles were added to
    // each: the slots the filling writes are made from them (MakeTriangleSlots), when the reading
    // is ready for them. The counts must fit 32 bits.
    std::vector<uint64_t> MoveInto(Mesh& mesh);

    // Gives each group exactly as many triangle slots as `counts` says.
    static void MakeTriangleSlots(Mesh& mesh, const std::vector<uint64_t>& counts);

private:
    NameIndex index_;
    std::vector<std::string> names_;
    std::vector<uint64_t> triangles_;
};
