#pragma once

#include "base/NameIndex.h"
#include "base/Status.h"
#include "mesh/Mesh.h"
#include "mesh/io/obj/ObjReader.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reads the material library `libraryName` (looked for in the directory of the mesh's path) and
// replaces the mesh's materials with "default" followed by the library's materials.
Status ReadMtl(Mesh& mesh, std::string_view libraryName, const MtlTextSource& source);

// Reads each library once for one model: a model that names the same library again and again
// (every mtllib statement replaces the materials) gets the materials read the first time, so that
// a small file cannot make the reader parse a large library thousands of times.
class MtlLibraries {
public:
    explicit MtlLibraries(const MtlTextSource& textSource) : source(textSource) {}

    // As ReadMtl does.
    Status ReadInto(Mesh& mesh, std::string_view libraryName);

private:
    const MtlTextSource& source;
    std::map<std::string, std::vector<MeshMaterial>, std::less<>> read;
};

// Fills the materials from library text (entry 0 "default" first).
void ReadMtlText(Mesh& mesh, std::string_view text);

// The index of the first material named exactly `name`; 0 after a warning when there is none.
uint32_t FindMaterial(const Mesh& mesh, std::string_view name);

// The same through an index of the mesh's materials (NameIndex::Of(mesh.materials)), in constant
// time; warns as FindMaterial does.
uint32_t FindIndexedMaterial(const NameIndex& materials, std::string_view name);
