#include "base/ProgramFiles.h"

#include <filesystem>
#include <system_error>

namespace {

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::filesystem::path Installed(const std::string& relativePath) {
    return std::filesystem::path(RUVO_INSTALLED_FILES) /
           std::filesystem::path(relativePath).lexically_normal();
}

} // namespace

std::string ProgramFile(const std::string& relativePath) {
    if (IsFile(relativePath)) {
        return relativePath;
    }
    const std::filesystem::path installed = Installed(relativePath);
    return IsFile(installed) ? installed.string() : relativePath;
}

std::string ProgramFile(const std::string& startFolder, const std::string& relativePath) {
    if (IsFile(std::filesystem::path(startFolder) / relativePath)) {
        return relativePath;
    }
    const std::filesystem::path installed = Installed(relativePath);
    return IsFile(installed) ? installed.string() : relativePath;
}

DefaultModelFiles DefaultModelFiles::Located() {
    DefaultModelFiles files;
    files.body = ProgramFile(files.body);
    files.arrow = ProgramFile(files.arrow);
    files.halfArrow = ProgramFile(files.halfArrow);
    return files;
}

std::vector<std::string> CompanionFileCandidates(const std::string& fileName,
                                                 const std::vector<std::string>& elsewhere) {
    std::vector<std::string> candidates;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back((program.parent_path() / fileName).string());
    }
    candidates.insert(candidates.end(), elsewhere.begin(), elsewhere.end());
    return candidates;
}
