#include "mesh/io/MeshImport.h"

#include "base/FileAccess.h"
#include "base/RegularFile.h"
#include "base/Sha256.h"
#include "mesh/io/MeshFormat.h"
#include "mesh/io/gltf/GltfReader.h"
#include "mesh/io/obj/ObjReader.h"
#include "mesh/io/off/OffReader.h"
#include "mesh/io/ply/PlyReader.h"
#include "mesh/io/stl/StlReader.h"

#include <algorithm>
#include <cerrno>

namespace {

constexpr std::size_t kHeadSize = 1024;

MeshImportResult Failed(const std::string& path, const std::string& reason) {
    MeshImportResult result;
    result.error = "Cannot read the body model \"" + path + "\": " + reason + ".";
    result.reason = reason;
    return result;
}

MeshImportResult Cancelled() {
    MeshImportResult result;
    result.cancelled = true;
    return result;
}

// Why a file cannot be opened, in the system's words; a folder, a FIFO or a device is not a
// regular file.
std::string OpenFailureReason(int error) {
    if (error == EISDIR || error == kFileNotRegular) {
        return "it is not a regular file";
    }
    return error != 0 ? FileErrorText(error) : "it cannot be opened";
}

std::string UnknownFormatReason() {
    std::string reason = "its format is not one of";
    for (const std::string& extension : SupportedMeshExtensions()) {
        reason += ' ' + extension;
    }
    return reason;
}

MeshImportResult FromObjResult(ObjReadResult read, const ImportProgress& progress) {
    if (progress.Cancelled()) {
        return Cancelled();
    }
    MeshImportResult result;
    result.mesh = std::move(read.mesh);
    result.error = std::move(read.error);
    if (!result.mesh && result.error.empty()) {
        result.error = "Read Obj failed";
    }
    // The Wavefront reader's messages stand on their own, without a trailing full stop.
    result.reason = result.error;
    if (!result.reason.empty() && result.reason.back() == '.') {
        result.reason.pop_back();
    }
    return result;
}

// The Wavefront reader cannot be stopped midway; a cancel takes effect once it returns.
std::function<void(double)> ObjProgress(ImportProgress& progress) {
    return [&progress](double fraction) { progress.Report(fraction); };
}

MeshImportResult ReadOtherFormat(MeshFormat format, const std::string& path,
                                 const std::string& filePath, std::string_view bytes,
                                 ImportProgress& progress) {
    auto mesh = std::make_unique<Mesh>();
    mesh->path = path;
    std::replace(mesh->path.begin(), mesh->path.end(), '\\', '/');
    Status status = Status::Ok();
    if (format == MeshFormat::Ply) {
        status = ReadPly(bytes, *mesh, progress);
    } else if (format == MeshFormat::Stl) {
        status = ReadStl(bytes, *mesh, progress);
    } else if (format == MeshFormat::Off) {
        status = ReadOff(bytes, *mesh, progress);
    } else {
        status = ReadGltf(bytes, format == MeshFormat::Glb, filePath, *mesh, progress);
    }
    progress.FinishWarnings();
    if (progress.Cancelled()) {
        return Cancelled();
    }
    if (!status) {
        return Failed(path, status.message());
    }
    progress.Report(1.0);
    // The bytes parsed are the digest's: they were read whole, once.
    mesh->sourceSha256 = Sha256Hex(bytes);
    MeshImportResult result;
    result.mesh = std::move(mesh);
    return result;
}

} // namespace

MeshImportResult ImportMesh(const std::string& path, const MeshImportCallbacks& callbacks) {
    ImportProgress progress(callbacks);
    // The file is opened once: the format is told from its first bytes, then it is read.
    int openError = 0;
    std::optional<RegularFile> file = RegularFile::Open(path, &openError);
    if (!file) {
        if (MeshFormatFromExtension(path) == MeshFormat::Obj) {
            // The Wavefront reader words this failure itself.
            ObjReadResult failed;
            failed.error = ObjOpenFailureMessage(path);
            return FromObjResult(std::move(failed), progress);
        }
        return Failed(path, OpenFailureReason(openError));
    }
    // The first bytes (and the length) tell most formats apart.
    std::string head(std::min<std::size_t>(file->Size(), kHeadSize), '\0');
    if (!file->ReadAt(0, head.size(), head.data())) {
        return Failed(path, "it could not be read");
    }
    MeshFormat format = MeshFormatFromContent(head, file->Size());
    if (format == MeshFormat::Unknown) {
        format = MeshFormatFromExtension(path);
    }
    if (format == MeshFormat::Unknown) {
        return Failed(path, UnknownFormatReason());
    }
    if (format == MeshFormat::Obj) {
        return FromObjResult(
            ReadObjFromFile(std::move(*file), path, callbacks.digest, ObjProgress(progress)),
            progress);
    }
    const std::optional<std::string> bytes = file->ReadWhole();
    if (!bytes) {
        return Failed(path, "it changed or could not be read while it was being read");
    }
    return ReadOtherFormat(format, path, path, *bytes, progress);
}

MeshImportResult ImportMeshFromMemory(std::string_view bytes, const std::string& path,
                                      const MeshImportCallbacks& callbacks) {
    ImportProgress progress(callbacks);
    const MeshFormat format = DetectMeshFormat(path, bytes);
    if (format == MeshFormat::Unknown) {
        return Failed(path, UnknownFormatReason());
    }
    if (format == MeshFormat::Obj) {
        const MtlTextSource noLibraries = [](const std::string&) {
            return std::optional<std::string>();
        };
        return FromObjResult(ReadObjFromMemory(bytes, path, noLibraries), progress);
    }
    return ReadOtherFormat(format, path, std::string(), bytes, progress);
}
