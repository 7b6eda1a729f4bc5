#include "mesh/io/obj/ObjReader.h"

#include "base/ModelFolder.h"
#include "mesh/io/obj/ObjParallelReader.h"

namespace {

// Material libraries read from the file system. A library name is data from the model, so it may
// name only a regular file in the model's folder or below it (never a FIFO, a device, an absolute
// path or one that climbs out, also through a link).
MtlTextSource LibraryFilesBeside(const std::string& modelPath) {
    return [folder = ModelFolder::Of(modelPath)](const std::string& path) -> MtlLibraryText {
        // The reader asks for the folder followed by the library's name.
        std::string_view name = path;
        if (name.starts_with(folder.Path())) {
            name.remove_prefix(folder.Path().size());
        }
        std::string reason;
        const std::optional<RegularFile> file = folder.Open(name, reason);
        if (!file) {
            return MtlLibraryText::Refused(std::move(reason));
        }
        std::optional<std::string> text = file->ReadWhole();
        if (!text) {
            return MtlLibraryText::Refused("it changed or could not be read while it was read");
        }
        return MtlLibraryText(std::move(text));
    };
}

} // namespace

MtlLibraryText MtlLibraryText::Refused(std::string reason) {
    MtlLibraryText refused;
    refused.reason = std::move(reason);
    return refused;
}

std::string ObjOpenFailureMessage(const std::string& path) {
    return "Read Obj failed: can't open data file \"" + path + "\".";
}

ObjReadResult ReadObj(const std::string& path) {
    return ReadObjWithProgress(path, nullptr);
}

ObjReadResult ReadObjWithProgress(const std::string& path,
                                  const std::function<void(double fraction)>& onProgress) {
    std::optional<RegularFile> file = RegularFile::Open(path);
    if (!file) {
        ObjReadResult result;
        result.error = ObjOpenFailureMessage(path);
        return result;
    }
    return ReadObjFromFile(std::move(*file), path, true, onProgress);
}

ObjReadResult ReadObjFromFile(RegularFile file, const std::string& path, bool digest,
                              const std::function<void(double fraction)>& onProgress) {
    return ReadObjInParallel(ObjSource(std::move(file)), path, LibraryFilesBeside(path), onProgress,
                             {.digest = digest});
}

ObjReadResult ReadObjFromMemory(std::string_view objText, const std::string& path,
                                const MtlTextSource& mtlSource) {
    return ReadObjInParallel(ObjSource(objText), path, mtlSource, nullptr);
}
