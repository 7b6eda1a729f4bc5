#include "mesh/io/obj/ObjReader.h"

#include "base/RegularFile.h"
#include "mesh/io/obj/ObjParallelReader.h"
#include "mesh/io/obj/ObjPasses.h"

#include <algorithm>
#include <cstdio>

namespace {

// Every array is allocated once, at the exact size the first reading counted.
void AllocateArrays(Mesh& mesh) {
    mesh.vertices.assign(3 * (std::size_t{mesh.vertexCount} + 1), 0.0f);
    mesh.triangles.assign(mesh.triangleCount, MeshTriangle());
    if (mesh.normalCount > 0) {
        mesh.normals.assign(3 * (std::size_t{mesh.normalCount} + 1), 0.0f);
    }
    if (mesh.texCoordCount > 0) {
        mesh.texCoords.assign(2 * (std::size_t{mesh.texCoordCount} + 1), 0.0f);
    }
}

ObjReadResult Failed(std::string message) {
    ObjReadResult result;
    result.error = std::move(message);
    return result;
}

ObjReadResult ReadObjSequentially(std::string_view text, const std::string& path,
                                  const MtlTextSource& mtlSource,
                                  const std::function<void(double)>& onProgress) {
    auto mesh = std::make_unique<Mesh>();
    mesh->path = path;
    std::replace(mesh->path.begin(), mesh->path.end(), '\\', '/');

    const ObjPassInput input{text, path, mtlSource, onProgress};
    if (Status status = CountObjStatements(*mesh, input); !status) {
        return Failed(status.message());
    }
    AllocateArrays(*mesh);
    if (Status status = FillObjArrays(*mesh, input); !status) {
        return Failed(status.message());
    }
    mesh->revision = NextMeshRevision();
    if (onProgress) {
        onProgress(1.0);
    }
    ObjReadResult result;
    result.mesh = std::move(mesh);
    return result;
}

// Material libraries read from the file system; a library that is not a regular file (a FIFO,
// a device) cannot be opened.
std::optional<std::string> ReadLibraryFile(const std::string& path) {
    const std::optional<RegularFile> file = RegularFile::Open(path);
    if (!file) {
        return std::nullopt;
    }
    return file->ReadWhole();
}

} // namespace

ObjReadResult ReadObj(const std::string& path) {
    return ReadObjWithProgress(path, nullptr);
}

ObjReadResult ReadObjWithProgress(const std::string& path,
                                  const std::function<void(double fraction)>& onProgress) {
    std::optional<RegularFile> file = RegularFile::Open(path);
    if (!file) {
        return Failed("Read Obj failed: can't open data file \"" + path + "\".");
    }
    return ReadObjInParallel(ObjSource(std::move(*file)), path, ReadLibraryFile, onProgress);
}

ObjReadResult ReadObjFromMemory(std::string_view objText, const std::string& path,
                                const MtlTextSource& mtlSource) {
    return ReadObjInParallel(ObjSource(objText), path, mtlSource, nullptr);
}

ObjReadResult ReadObjTextSequentially(std::string_view objText, const std::string& path,
                                      const MtlTextSource& mtlSource) {
    return ReadObjSequentially(objText, path, mtlSource, nullptr);
}
