#pragma once

#include "mesh/Mesh.h"
#include "mesh/io/ImportProgress.h"

#include <memory>
#include <string>
#include <string_view>

// The one way a body model comes in, whatever its format: Wavefront OBJ, PLY, STL and OFF go to
// our own readers, glTF (text or binary) to our reader over the tinygltf parser. The reader is
// chosen by the file's content where that is conclusive, otherwise by its extension. Every reader
// fills the same plain Mesh and checks it with Validate before handing it on (the import itself
// hands on only what a reader has checked), so fitting, normals, drawing and picking treat every
// format alike. No reader takes more memory than ImportBudget allows a file of its size.
struct MeshImportResult {
    std::unique_ptr<Mesh> mesh; // null on failure or cancel
    std::string error;          // one line naming the file (as a body model) and the reason
    // The reason alone, for a caller that names the file as something else (a scene model).
    std::string reason;
    bool cancelled = false; // the progress callback asked to stop
};

MeshImportResult ImportMesh(const std::string& path, const MeshImportCallbacks& callbacks = {});

// The same for a file's bytes already in memory; `path` names it in messages and its extension
// decides when the content does not. An OBJ read this way has no material library.
MeshImportResult ImportMeshFromMemory(std::string_view bytes, const std::string& path,
                                      const MeshImportCallbacks& callbacks = {});
