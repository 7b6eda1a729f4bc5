#pragma once

#include "base/NameIndex.h"
#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/obj/ObjReader.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reads the material library `libraryName` (looked for in the directory of the mesh's path) and
// replaces the mesh's materials with "default" followed by the library's materials.
Status ReadMtl(Mesh& mesh, std::string_view libraryName, const MtlTextSource& source);

// Fills the materials from library text (entry 0 "default" first).
void ReadMtlText(Mesh& mesh, std::string_view text);

// The index of the first material named exactly `name`; 0 after a warning when there is none.
uint32_t FindMaterial(const Mesh& mesh, std::string_view name);

// The same through an index of the mesh's materials (NameIndex::Of(mesh.materials)), in constant
// time; warns as FindMaterial does.
uint32_t FindIndexedMaterial(const NameIndex& materials, std::string_view name);
