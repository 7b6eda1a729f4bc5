#include "mesh/io/assimp/AssimpMeshReader.h"

#include "mesh/io/assimp/AssimpImporter.h"

Status ReadWithAssimp(MeshFormat format, const std::string& path, std::string_view bytes,
                      Mesh& mesh, ImportProgress& progress) {
    return ImportWithAssimp(format, path, bytes, mesh, progress);
}
