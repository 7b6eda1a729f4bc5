// Feeds arbitrary bytes to the Wavefront reader as an OBJ text and, after a "#mtl" line, as the
// text of every material library it asks for; checks that the parallel reading, split into a
// number of stretches that varies with the input, gives exactly what the sequential one gives;
// then prepares the mesh as the body is prepared and checks that every index the mesh holds
// names an element of its array.
#include "MeshInvariants.h"
#include "ReferenceObjReader.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/MeshValidation.h"
#include "mesh/io/obj/ObjParallelReader.h"
#include "mesh/io/obj/ObjReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The reader's mesh, and the same mesh after fitting and smoothing, satisfy Validate; the
// numbers are the file's, so they may be anything.
void CheckIndices(const Mesh& mesh) {
    Check(Validate(mesh, MeshNumbers::AsWritten).ok());
}

template <typename Array> bool SameBits(const Array& a, const Array& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0);
}

void CheckSame(const Mesh& a, const Mesh& b) {
    Check(SameBits(a.positions, b.positions) && SameBits(a.normals, b.normals) &&
          SameBits(a.texCoords, b.texCoords) && SameBits(a.triangles, b.triangles) &&
          SameBits(a.box, b.box));
    Check(a.groups.size() == b.groups.size() && a.materials.size() == b.materials.size());
    for (std::size_t i = 0; i < a.groups.size(); ++i) {
        const MeshGroup& x = a.groups[i];
        const MeshGroup& y = b.groups[i];
        Check(x.name == y.name && x.triangleIndices == y.triangleIndices &&
              x.material == y.material && SameBits(x.box, y.box));
    }
    for (std::size_t i = 0; i < a.materials.size(); ++i) {
        const MeshMaterial& x = a.materials[i];
        const MeshMaterial& y = b.materials[i];
        Check(x.name == y.name && SameBits(x.diffuse, y.diffuse) &&
              SameBits(x.ambient, y.ambient) && SameBits(x.specular, y.specular) &&
              std::memcmp(&x.shininess, &y.shininess, sizeof(float)) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find("#mtl\n");
    const std::string_view objText = input.substr(0, split);
    const bool hasLibrary = split != std::string_view::npos;
    const std::string mtlText(hasLibrary ? input.substr(split + 5) : std::string_view());
    const MtlTextSource library = [&](const std::string&) -> std::optional<std::string> {
        if (!hasLibrary) {
            return std::nullopt;
        }
        return mtlText;
    };

    const std::string path = "fuzz\\dir\\model.obj";
    const ObjReadResult reference = ReadObjReference(objText, path, library);
    ObjParallelOptions options;
    options.stretches = 1 + static_cast<unsigned>(size % 7);
    ObjReadResult result = ReadObjInParallel(ObjSource(objText), path, library, nullptr, options);
    Check(result.error == reference.error && !result.mesh == !reference.mesh);
    if (result.mesh) {
        CheckSame(*result.mesh, *reference.mesh);
    }
    if (!result.mesh) {
        Check(!result.error.empty() && result.error.find('\n') == std::string::npos);
        // The two readings must always agree on what the text holds.
        Check(result.error.find("changed while it was read") == std::string::npos);
        return 0;
    }
    Mesh& mesh = *result.mesh;
    CheckIndices(mesh);
    FitToUnitBox(mesh);
    fuzz_checks::SmoothCheckingTheCount(mesh);
    CheckIndices(mesh);
    ComputeVertexNormals(mesh, static_cast<float>(size % 181));
    ScaleNormals(mesh, 1.1f);
    CheckIndices(mesh);
    return 0;
}
