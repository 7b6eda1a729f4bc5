#include "mesh/io/obj/ObjReader.h"

#include "mesh/io/obj/ObjParallelReader.h"

namespace {

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
    return ReadObjFromFile(std::move(*file), path, onProgress);
}

ObjReadResult ReadObjFromFile(RegularFile file, const std::string& path,
                              const std::function<void(double fraction)>& onProgress) {
    return ReadObjInParallel(ObjSource(std::move(file)), path, ReadLibraryFile, onProgress);
}

ObjReadResult ReadObjFromMemory(std::string_view objText, const std::string& path,
                                const MtlTextSource& mtlSource) {
    return ReadObjInParallel(ObjSource(objText), path, mtlSource, nullptr);
}
