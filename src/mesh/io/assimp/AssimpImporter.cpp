#include "mesh/io/assimp/AssimpImporter.h"

#include "mesh/io/MeshBuilder.h"

#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/ProgressHandler.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <exception>
#include <vector>

namespace {

// Passes Assimp's progress on; returning false asks Assimp to stop.
class ProgressRelay : public Assimp::ProgressHandler {
public:
    explicit ProgressRelay(ImportProgress& progress) : progress(progress) {}
    bool Update(float percentage) override {
        return percentage < 0 ? !progress.Cancelled() : progress.Report(0.8 * percentage);
    }

private:
    ImportProgress& progress;
};

// Assimp's logger is process-wide; while an import runs its warnings and errors come to us.
class WarningRelay : public Assimp::LogStream {
public:
    WarningRelay(ImportProgress& progress, std::string& firstError)
        : progress(progress), firstError(firstError) {}
    void write(const char* message) override {
        std::string text(message ? message : "");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        // "Warn,  T0: text" and "Error, T0: text" become "warning: text" and "error: text".
        const std::size_t thread = text.find(", T");
        const std::size_t colon = text.find(": ", thread == std::string::npos ? 0 : thread);
        if (thread != std::string::npos && colon != std::string::npos) {
            text = (text.starts_with("Error") ? "error: " : "warning: ") + text.substr(colon + 2);
        }
        if (text.starts_with("error: ") && firstError.empty()) {
            firstError = text.substr(7);
        }
        if (!text.empty()) {
            progress.Warn(text);
        }
    }

private:
    ImportProgress& progress;
    std::string& firstError;
};

class LogCapture {
public:
    // A reader that logs an error has dropped or altered part of the file, even when it returns
    // a scene; `firstError` receives the first such message.
    LogCapture(ImportProgress& progress, std::string& firstError) {
        if (!Assimp::DefaultLogger::isNullLogger()) {
            return; // someone else owns the logger; leave it alone
        }
        Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
        // The logger owns the stream and deletes it when killed.
        Assimp::DefaultLogger::get()->attachStream(new WarningRelay(progress, firstError),
                                                   Assimp::Logger::Warn | Assimp::Logger::Err);
        created = true;
    }
    ~LogCapture() {
        if (created) {
            Assimp::DefaultLogger::kill();
        }
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

private:
    bool created = false;
};

// The importer deletes a handler it still holds; ours lives on the stack, so it is taken back.
class ProgressAttachment {
public:
    ProgressAttachment(Assimp::Importer& importer, Assimp::ProgressHandler& handler)
        : importer(importer) {
        importer.SetProgressHandler(&handler);
    }
    ~ProgressAttachment() { importer.SetProgressHandler(nullptr); }
    ProgressAttachment(const ProgressAttachment&) = delete;
    ProgressAttachment& operator=(const ProgressAttachment&) = delete;

private:
    Assimp::Importer& importer;
};

struct PlacedMesh {
    const aiMesh* mesh;
    aiMatrix4x4 transform;
    std::string name;
};

void CollectPlacements(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent,
                       std::vector<PlacedMesh>& placed, int depth) {
    if (depth > 256) {
        return; // a cycle or an absurd hierarchy
    }
    const aiMatrix4x4 transform = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        if (node.mMeshes[i] < scene.mNumMeshes && scene.mMeshes[node.mMeshes[i]] != nullptr) {
            const aiMesh* mesh = scene.mMeshes[node.mMeshes[i]];
            std::string name = node.mName.length > 0 ? node.mName.C_Str() : mesh->mName.C_Str();
            placed.push_back({mesh, transform, name.empty() ? "default" : name});
        }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        if (node.mChildren[i] != nullptr) {
            CollectPlacements(scene, *node.mChildren[i], transform, placed, depth + 1);
        }
    }
}

MeshMaterial ConvertMaterial(const aiMaterial& source) {
    MeshMaterial material;
    aiString name;
    if (source.Get(AI_MATKEY_NAME, name) == AI_SUCCESS) {
        material.name = name.C_Str();
    }
    aiColor4D color;
    if (source.Get(AI_MATKEY_COLOR_DIFFUSE, color) == AI_SUCCESS) {
        material.diffuse = {color.r, color.g, color.b, color.a};
    }
    if (source.Get(AI_MATKEY_COLOR_AMBIENT, color) == AI_SUCCESS) {
        material.ambient = {color.r, color.g, color.b, color.a};
    }
    if (source.Get(AI_MATKEY_COLOR_SPECULAR, color) == AI_SUCCESS) {
        material.specular = {color.r, color.g, color.b, color.a};
    }
    return material;
}

bool HasTriangles(const aiMesh& mesh) {
    return mesh.mVertices != nullptr && mesh.mFaces != nullptr && mesh.mNumFaces > 0;
}

Status ConvertScene(const aiScene& scene, Mesh& mesh, ImportProgress& progress) {
    std::vector<PlacedMesh> placed;
    if (scene.mRootNode != nullptr) {
        CollectPlacements(scene, *scene.mRootNode, aiMatrix4x4(), placed, 0);
    }
    uint64_t vertexTotal = 0, faceTotal = 0;
    bool colors = false, texCoords = false;
    for (const PlacedMesh& item : placed) {
        if (HasTriangles(*item.mesh)) {
            vertexTotal += item.mesh->mNumVertices;
            faceTotal += item.mesh->mNumFaces;
            colors = colors || item.mesh->mColors[0] != nullptr;
            texCoords = texCoords || item.mesh->mTextureCoords[0] != nullptr;
        }
    }
    if (vertexTotal > kMaxMeshElements || faceTotal > kMaxMeshElements) {
        return Status::Failure("the model has more vertices or faces than can be drawn");
    }
    MeshBuilder builder(mesh);
    builder.Reserve(vertexTotal, faceTotal, colors, texCoords);
    for (unsigned m = 0; m < scene.mNumMaterials; ++m) {
        builder.AddMaterial(scene.mMaterials[m] ? ConvertMaterial(*scene.mMaterials[m])
                                                : MeshMaterial{});
    }
    uint32_t base = 0;
    for (const PlacedMesh& item : placed) {
        const aiMesh& source = *item.mesh;
        if (!HasTriangles(source)) {
            continue;
        }
        const uint32_t material =
            source.mMaterialIndex < scene.mNumMaterials ? source.mMaterialIndex + 1 : 0;
        builder.BeginGroup(item.name, material);
        for (uint32_t v = 0; v < source.mNumVertices; ++v) {
            const aiVector3D p = item.transform * source.mVertices[v];
            builder.SetVertex(base + v + 1, p.x, p.y, p.z);
            if (source.mColors[0] != nullptr) {
                const aiColor4D& c = source.mColors[0][v];
                builder.SetColor(base + v + 1, c.r, c.g, c.b, c.a);
            }
            if (source.mTextureCoords[0] != nullptr) {
                const aiVector3D& uv = source.mTextureCoords[0][v];
                builder.SetTexCoord(base + v + 1, uv.x, uv.y);
            }
        }
        for (uint32_t f = 0; f < source.mNumFaces; ++f) {
            const aiFace& face = source.mFaces[f];
            if (face.mNumIndices != 3 || face.mIndices == nullptr) {
                continue; // points and lines have no surface
            }
            const unsigned* index = face.mIndices;
            if (index[0] >= source.mNumVertices || index[1] >= source.mNumVertices ||
                index[2] >= source.mNumVertices) {
                return Status::Failure("a face names a vertex that does not exist");
            }
            builder.AddTriangle(base + index[0] + 1, base + index[1] + 1, base + index[2] + 1);
        }
        base += source.mNumVertices;
        if (!progress.Report(0.8 + 0.2 * base / static_cast<double>(vertexTotal))) {
            return Status::Failure("cancelled");
        }
    }
    return builder.Finish();
}

// Assimp names a file read from memory by a made-up name and ends its texts with a full stop.
std::string CleanReason(std::string reason, const std::string& path) {
    const std::string madeUp = "$$$___magic___$$$.";
    if (const std::size_t at = reason.find(madeUp); at != std::string::npos) {
        const std::size_t end = reason.find('"', at);
        reason.replace(at, end == std::string::npos ? madeUp.size() : end - at,
                       path.empty() ? std::string("the file") : path);
    }
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason.empty() ? "the file could not be read" : reason;
}

const char* FormatHint(MeshFormat format) {
    switch (format) {
    case MeshFormat::Gltf:
        return "gltf";
    case MeshFormat::Glb:
        return "glb";
    case MeshFormat::Off:
        return "off";
    default:
        return "";
    }
}

} // namespace

Status ImportWithAssimp(MeshFormat format, const std::string& path, std::string_view bytes,
                        Mesh& mesh, ImportProgress& progress) {
    std::string loggedError;
    LogCapture log(progress, loggedError);
    Assimp::Importer importer;
    ProgressRelay relay(progress);
    ProgressAttachment attachment(importer, relay);
    constexpr unsigned kSteps = aiProcess_Triangulate | aiProcess_ValidateDataStructure;
    const aiScene* scene = nullptr;
    try {
        scene = format == MeshFormat::Gltf && !path.empty()
                    ? importer.ReadFile(path, kSteps)
                    : importer.ReadFileFromMemory(bytes.data(), bytes.size(), kSteps,
                                                  FormatHint(format));
    } catch (const std::exception& error) {
        // Assimp reports through its error string; this only guards against a library fault.
        return Status::Failure(std::string("the reader failed: ") + error.what());
    }
    if (progress.Cancelled()) {
        return Status::Failure("cancelled");
    }
    if (scene == nullptr) {
        return Status::Failure(CleanReason(importer.GetErrorString(), path));
    }
    if (!loggedError.empty()) {
        return Status::Failure(CleanReason(loggedError, path));
    }
    return ConvertScene(*scene, mesh, progress);
}
