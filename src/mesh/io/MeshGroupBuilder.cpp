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

void MeshGroupBuilder::MoveInto(Mesh& mesh) {
    mesh.groups.clear();
    mesh.groups.resize(names_.size());
    for (uint32_t group = 0; group < names_.size(); ++group) {
        MeshGroup& target = mesh.groups[group];
        target.name = std::move(names_[group]);
        AllocateExactly(target.triangleIndices, triangles_[group], 0u);
    }
    names_.clear();
    triangles_.clear();
    index_ = NameIndex();
}
