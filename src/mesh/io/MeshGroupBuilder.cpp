#include "mesh/io/MeshGroupBuilder.h"

#include "base/LargeArrays.h"

#include <utility>

uint32_t MeshGroupBuilder::GroupFor(std::string_view name) {
    const auto next = static_cast<uint32_t>(names_.size());
    const uint32_t group = index_.Add(name, next);
    if (group == next) {
        names_.emplace_back(name);
        triangles_.push_back(0);
    }
    return group;
}

std::vector<uint64_t> MeshGroupBuilder::MoveInto(Mesh& mesh) {
    mesh.groups.clear();
    mesh.groups.resize(names_.size());
    for (uint32_t group = 0; group < names_.size(); ++group) {
        mesh.groups[group].name = std::move(names_[group]);
    }
    names_.clear();
    index_ = NameIndex();
    return std::exchange(triangles_, {});
}

void MeshGroupBuilder::MakeTriangleSlots(Mesh& mesh, const std::vector<uint64_t>& counts) {
    for (std::size_t group = 0; group < counts.size(); ++group) {
        AllocateExactly(mesh.groups[group].triangleIndices, counts[group], 0u);
    }
}
