#include "case/SceneModelPath.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The folder of the case file, whole: a case named relative to the current folder (on the
// command line) is found there, and so is its own folder.
fs::path FolderOf(const std::string& caseFile) {
    std::error_code error;
    const fs::path whole = fs::absolute(fs::path(caseFile), error);
    return (error ? fs::path(caseFile) : whole).parent_path().lexically_normal();
}

} // namespace

std::string SceneModelPathOfFile(const std::string& written, const std::string& caseFile) {
    const fs::path model(written);
    if (written.empty() || caseFile.empty()) {
        return written;
    }
    if (model.is_absolute()) {
        return model.lexically_normal().string();
    }
    return (FolderOf(caseFile) / model).lexically_normal().string();
}

std::string SceneModelNameInFile(const std::string& held, const std::string& caseFile) {
    const fs::path model(held);
    if (held.empty() || caseFile.empty() || !model.is_absolute()) {
        return held;
    }
    const fs::path relative = model.lexically_normal().lexically_relative(FolderOf(caseFile));
    if (relative.empty() || *relative.begin() == "..") {
        return held;
    }
    // Forward slashes, so that the file reads the same on every system.
    return relative.generic_string();
}
