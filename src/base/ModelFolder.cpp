#include "base/ModelFolder.h"

#include "base/FileAccess.h"

#include <filesystem>
#include <vector>

namespace {

constexpr const char* kOutsideFolder = "it lies outside the model's folder";

bool IsAbsoluteName(std::string_view name) {
    const bool driveLetter =
        name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    return name.starts_with('/') || name.starts_with('\\') || driveLetter;
}

// The name's parts with "." dropped and ".." taken back; nothing when ".." would leave the folder.
std::optional<std::vector<std::string_view>> NormalParts(std::string_view name) {
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        const std::size_t slash = name.find_first_of("/\\");
        const std::string_view part = name.substr(0, slash);
        name = slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (parts.empty()) {
                return std::nullopt;
            }
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    return parts;
}

} // namespace

ModelFolder ModelFolder::Of(std::string_view modelPath) {
    std::string path(modelPath);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    const std::size_t slash = path.rfind('/');
    return ModelFolder(slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
}

std::optional<std::string> ModelFolder::Resolve(std::string_view name) const {
    if (name.empty() || IsAbsoluteName(name)) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::string_view>> parts = NormalParts(name);
    if (!parts || parts->empty()) {
        return std::nullopt;
    }
    std::string resolved = folder;
    for (std::size_t i = 0; i < parts->size(); ++i) {
        resolved += (*parts)[i];
        if (i + 1 < parts->size()) {
            resolved += '/';
        }
    }
    return resolved;
}

bool ModelFolder::Contains(const std::string& resolved) const {
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::canonical(folder.empty() ? std::string(".") : folder, error);
    if (error) {
        return false;
    }
    const std::filesystem::path file = std::filesystem::canonical(resolved, error);
    if (error) {
        return false;
    }
    const std::string baseText = base.native() == "/" ? std::string("/") : base.native() + '/';
    return file.native().starts_with(baseText);
}

std::optional<RegularFile> ModelFolder::Open(std::string_view name, std::string& reason) const {
    const std::optional<std::string> resolved = Resolve(name);
    if (!resolved) {
        reason = kOutsideFolder;
        return std::nullopt;
    }
    int error = 0;
    std::optional<RegularFile> file = RegularFile::Open(*resolved, &error);
    if (!file) {
        reason = FileErrorText(error);
        return std::nullopt;
    }
    // A symbolic link inside the folder may still point out of it.
    if (!Contains(*resolved)) {
        reason = kOutsideFolder;
        return std::nullopt;
    }
    return file;
}
