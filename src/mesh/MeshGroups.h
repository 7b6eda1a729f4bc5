#pragma once

#include "mesh/Mesh.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The position in mesh.groups of the most recently created group named exactly `name` (readers
// other than the Wavefront one may create two groups of one name; the later one has always been
// the one found).
std::optional<std::size_t> FindGroup(const Mesh& mesh, std::string_view name);

// The group named `name`, created at the end of the list (no triangles, material 0) when there is
// none yet; returns its position in mesh.groups.
std::size_t FindOrAddGroup(Mesh& mesh, std::string_view name);

// The part of `path` up to and including its last forward slash; empty when there is none.
std::string PathDirectory(std::string_view path);

// The group boxes over their triangles' corners, and the mesh box: their union with the origin.
void ComputeMeshBoxes(Mesh& mesh);
