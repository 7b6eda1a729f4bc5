#include "model/MeshParts.h"

#include <fstream>
#include <utility>

namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";

std::string_view TrimmedLeft(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// The first blank-separated word of the text.
std::string_view FirstWord(std::string_view text) {
    text = TrimmedLeft(text);
    return text.substr(0, std::min(text.find_first_of(kBlanks), text.size()));
}

size_t WordCount(std::string_view text) {
    size_t count = 0;
    while (!(text = TrimmedLeft(text)).empty()) {
        ++count;
        text.remove_prefix(std::min(text.find_first_of(kBlanks), text.size()));
    }
    return count;
}

uint32_t PartNumber(MeshParts& parts, std::string_view name) {
    if (const auto found = parts.Find(name)) {
        return *found;
    }
    parts.names.emplace_back(name);
    return static_cast<uint32_t>(parts.names.size() - 1);
}

} // namespace

std::optional<uint32_t> MeshParts::Find(std::string_view name) const {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<uint32_t>(i);
        }
    }
    return std::nullopt;
}

namespace {

// Takes the text line by line, so that a file need not be held whole.
class PartGroupScanner {
public:
    PartGroupScanner() { current = PartNumber(parts, "default"); }

    void Line(std::string_view line, uint32_t triangleCount) {
        line = TrimmedLeft(line);
        if (line.size() < 2 || kBlanks.find(line[1]) == std::string_view::npos) {
            return; // not a one-letter statement
        }
        if (line[0] == 'g') {
            const std::string_view name = FirstWord(line.substr(1));
            current = PartNumber(parts, name.empty() ? "default" : name);
            named = true;
        } else if (line[0] == 'f') {
            const size_t corners = WordCount(line.substr(1));
            for (size_t i = 2; i < corners && parts.triangleParts.size() <= triangleCount; ++i) {
                parts.triangleParts.push_back(current);
            }
        }
    }

    MeshParts Finish(uint32_t triangleCount) {
        if (!named || parts.triangleParts.size() != triangleCount) {
            return {};
        }
        return std::move(parts);
    }

private:
    MeshParts parts;
    uint32_t current = 0;
    bool named = false;
};

} // namespace

MeshParts ReadObjPartGroups(std::string_view objText, uint32_t triangleCount) {
    PartGroupScanner scanner;
    while (!objText.empty()) {
        const size_t end = std::min(objText.find('\n'), objText.size());
        scanner.Line(objText.substr(0, end), triangleCount);
        objText.remove_prefix(std::min(end + 1, objText.size()));
    }
    return scanner.Finish(triangleCount);
}

MeshParts ReadObjPartGroupsFromFile(const std::string& path, uint32_t triangleCount) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    PartGroupScanner scanner;
    std::string line;
    while (std::getline(file, line)) {
        scanner.Line(line, triangleCount);
    }
    return scanner.Finish(triangleCount);
}

MeshParts PartsFromMaterialGroups(const Mesh& mesh) {
    MeshParts parts;
    parts.triangleParts.assign(mesh.triangles.size(), 0);
    for (const MeshGroup& group : mesh.groups) {
        const uint32_t number = PartNumber(parts, group.name);
        for (uint32_t i = 0; i < group.triangleCount && i < group.triangleIndices.size(); ++i) {
            if (group.triangleIndices[i] < parts.triangleParts.size()) {
                parts.triangleParts[group.triangleIndices[i]] = number;
            }
        }
    }
    return parts;
}
