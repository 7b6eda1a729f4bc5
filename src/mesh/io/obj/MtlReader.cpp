#include "mesh/io/obj/MtlReader.h"

#include "base/Diagnostics.h"
#include "mesh/MeshGroups.h"
#include "mesh/io/obj/ObjTextCursor.h"

#include <optional>

namespace {

// One material per newmtl statement, plus "default".
std::size_t CountMaterials(std::string_view text) {
    ObjTextCursor cursor(text);
    std::size_t count = 1;
    for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
        if (word[0] == 'n') {
            ++count;
        }
        cursor.SkipLine();
    }
    return count;
}

// Reads up to `count` numbers from the rest of the line into `values`; missing ones stay as they
// were.
void ReadColour(ObjTextCursor& cursor, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!cursor.ReadFloatOnLine(values[i])) {
            break;
        }
    }
}

void ReadColourStatement(ObjTextCursor& cursor, std::string_view word, MeshMaterial& material) {
    if (word.size() < 2) {
        return;
    }
    switch (word[1]) {
    case 'd':
        ReadColour(cursor, material.diffuse.data(), 3);
        break;
    case 'a':
        ReadColour(cursor, material.ambient.data(), 3);
        break;
    case 's':
        ReadColour(cursor, material.specular.data(), 3);
        break;
    default:
        break;
    }
}

} // namespace

void ReadMtlText(Mesh& mesh, std::string_view text) {
    const std::size_t count = CountMaterials(text);
    mesh.materials.assign(count, MeshMaterial());
    mesh.materials[0].name = "default";

    // Colour statements before the first newmtl change "default".
    std::size_t current = 0;
    ObjTextCursor cursor(text);
    for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
        switch (word[0]) {
        case 'n': {
            const std::string_view name = NameArgument(cursor.RestOfLine());
            if (current + 1 < count) {
                ++current;
                mesh.materials[current].name = std::string(name);
            }
            continue; // the name took the rest of the line
        }
        case 'N': {
            // Ns, and any other N statement such as Ni, sets the shininess (0..1000 to 0..128).
            float value = 0;
            if (cursor.ReadFloatOnLine(value)) {
                mesh.materials[current].shininess = static_cast<float>(value / 1000.0 * 128.0);
            }
            break;
        }
        case 'K':
            ReadColourStatement(cursor, word, mesh.materials[current]);
            break;
        default:
            break;
        }
        cursor.SkipLine();
    }
}

Status ReadMtl(Mesh& mesh, std::string_view libraryName, const MtlTextSource& source) {
    const std::string fileName = PathDirectory(mesh.path) + std::string(libraryName);
    const MtlLibraryText library = source ? source(fileName) : MtlLibraryText();
    if (!library.text) {
        const std::string why = library.reason.empty() ? std::string() : ": " + library.reason;
        return Status::Failure("glmReadMTL() failed: can't open material file \"" + fileName +
                               "\"" + why + ".");
    }
    ReadMtlText(mesh, *library.text);
    return Status::Ok();
}

Status MtlLibraries::ReadInto(Mesh& mesh, std::string_view libraryName) {
    if (const auto known = read.find(libraryName); known != read.end()) {
        mesh.materials = known->second;
        return Status::Ok();
    }
    if (Status status = ReadMtl(mesh, libraryName, source); !status) {
        return status;
    }
    read.emplace(std::string(libraryName), mesh.materials);
    return Status::Ok();
}

namespace {

uint32_t MaterialNotFound(std::string_view name) {
    ReportDiagnostic("glmFindMaterial():  can't find material \"" + std::string(name) + "\".");
    return 0;
}

} // namespace

uint32_t FindMaterial(const Mesh& mesh, std::string_view name) {
    for (uint32_t i = 0; i < mesh.materials.size(); ++i) {
        if (mesh.materials[i].name == name) {
            return i;
        }
    }
    return MaterialNotFound(name);
}

uint32_t FindIndexedMaterial(const NameIndex& materials, std::string_view name) {
    if (const std::optional<uint32_t> found = materials.Find(name)) {
        return *found;
    }
    return MaterialNotFound(name);
}
