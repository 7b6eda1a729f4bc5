#pragma once

#include "mesh/Mesh.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The named parts of a body model (head, trunk, right_arm, ...): which part each triangle belongs
// to. A model names them with `g` statements, which the reader's material groups do not keep, or
// with one material per part.
struct MeshParts {
    std::vector<std::string> names;      // index = part number
    std::vector<uint32_t> triangleParts; // part number of each triangle, in file order

    bool empty() const { return triangleParts.empty(); }
    std::optional<uint32_t> Find(std::string_view name) const;
};

// The parts as the `g` statements of the OBJ text give them (the first name of each statement;
// faces before any `g` belong to "default"), counting a face of k corners as k - 2 triangles as
// the reader does. Empty when the text has no `g` statement or its faces do not come to
// `triangleCount` triangles.
MeshParts ReadObjPartGroups(std::string_view objText, uint32_t triangleCount);
// The same from a file; empty when it cannot be read.
MeshParts ReadObjPartGroupsFromFile(const std::string& path, uint32_t triangleCount);

// One part per material group of the mesh.
MeshParts PartsFromMaterialGroups(const Mesh& mesh);
