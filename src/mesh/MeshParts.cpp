#include "mesh/MeshParts.h"

#include "base/LargeArrays.h"
#include "base/NameIndex.h"
#include "base/RegularFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// The blanks that separate words on a line (a line ends at '\n' only, so a lone '\r' is a blank).
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

const char* SkipBlanks(const char* at, const char* end) {
    while (at != end && IsBlank(*at)) {
        ++at;
    }
    return at;
}

const char* SkipWord(const char* at, const char* end) {
    while (at != end && !IsBlank(*at)) {
        ++at;
    }
    return at;
}

// Counts the words from `at` up to the first '\n' or `end`, whichever comes first, and returns
// where it stopped.
const char* CountWordsOnLine(const char* at, const char* end, std::size_t& count) {
    count = 0;
    bool inWord = false;
    for (; at != end && *at != '\n'; ++at) {
        const bool blank = IsBlank(*at);
        count += !blank && !inWord ? 1 : 0;
        inWord = !blank;
    }
    return at;
}

// Whether the line at `at` (its leading blanks skipped) is the one-letter statement `letter`.
bool IsStatement(const char* at, const char* end, char letter) {
    return end - at >= 2 && at[0] == letter && IsBlank(at[1]);
}

// Numbers the parts of a MeshParts as their names come, finding a name already seen in constant
// time: a model of many thousand groups would otherwise compare each new one with all before it.
class PartNumbering {
public:
    explicit PartNumbering(MeshParts& numbered) : parts(numbered) {
        for (std::size_t i = 0; i < numbered.names.size(); ++i) {
            index.Add(numbered.names[i], static_cast<uint32_t>(i));
        }
    }

    uint32_t Of(std::string_view name) {
        const auto number = static_cast<uint32_t>(parts.names.size());
        const uint32_t found = index.Add(name, number);
        if (found == number) {
            parts.names.emplace_back(name);
        }
        return found;
    }

private:
    MeshParts& parts;
    NameIndex index;
};

// The size of the pieces a model file is scanned in; a longer line grows the buffer.
constexpr std::size_t kScanBytes = std::size_t{64} << 10;

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

// Takes the text piece by piece, looking only at `g` and `f` statements, so that a file need not
// be held whole. A line is the text up to '\n'; the text after the last one is a line too.
class PartGroupScanner {
public:
    // `textBytes`: the length of the whole text, which bounds the triangles it can hold.
    PartGroupScanner(uint32_t triangleCount, std::size_t textBytes)
        : triangleCount_(triangleCount), textBytes_(textBytes) {
        current_ = numbering_.Of("default");
    }

    // Scans the lines of `text` that end in '\n'; returns how many bytes they take. The rest is
    // the start of a line that the next piece continues.
    std::size_t CompleteLines(std::string_view text) {
        const char* const begin = text.data();
        const char* const end = begin + text.size();
        const char* line = begin;
        while (line != end) {
            const char* at = SkipBlanks(line, end);
            const char* lineEnd = nullptr;
            if (IsStatement(at, end, 'f')) {
                // Most lines of a body are faces: their words are counted on the way to the
                // line break.
                std::size_t corners = 0;
                lineEnd = CountWordsOnLine(at + 1, end, corners);
                if (lineEnd == end) {
                    break;
                }
                AddFace(corners);
            } else {
                lineEnd = static_cast<const char*>(std::memchr(at, '\n', end - at));
                if (lineEnd == nullptr) {
                    break;
                }
                Line(at, lineEnd);
            }
            line = lineEnd + 1;
        }
        return static_cast<std::size_t>(line - begin);
    }

    // The text after the last line break.
    void LastLine(std::string_view text) { Line(text.data(), text.data() + text.size()); }

    MeshParts Finish() {
        if (!named_ || parts_.triangleParts.size() != triangleCount_) {
            return {};
        }
        return std::move(parts_);
    }

private:
    void Line(const char* at, const char* end) {
        at = SkipBlanks(at, end);
        if (IsStatement(at, end, 'g')) {
            const char* name = SkipBlanks(at + 1, end);
            const std::string_view word(name, static_cast<std::size_t>(SkipWord(name, end) - name));
            current_ = numbering_.Of(word.empty() ? "default" : word);
            named_ = true;
        } else if (IsStatement(at, end, 'f')) {
            std::size_t corners = 0;
            CountWordsOnLine(at + 1, end, corners);
            AddFace(corners);
        }
    }

    // A face of k corners is k - 2 triangles; counting stops one past the mesh's count, which
    // is enough to tell that the text does not match the mesh.
    void AddFace(std::size_t corners) {
        std::vector<uint32_t>& triangles = parts_.triangleParts;
        if (corners < 3 || triangles.size() > triangleCount_) {
            return;
        }
        if (triangles.capacity() == 0) {
            // Room for the whole count at once (growing step by step touches twice the memory),
            // but never more than the text can describe: each corner takes two bytes at least.
            const std::size_t expected = std::min(std::size_t{triangleCount_}, textBytes_ / 2) + 1;
            ReserveOnHugePages(triangles, expected);
        }
        const std::size_t room = std::size_t{triangleCount_} + 1 - triangles.size();
        triangles.insert(triangles.end(), std::min(corners - 2, room), current_);
    }

    uint32_t triangleCount_;
    std::size_t textBytes_;
    MeshParts parts_;
    PartNumbering numbering_{parts_};
    uint32_t current_ = 0;
    bool named_ = false;
};

} // namespace

MeshParts ReadObjPartGroups(std::string_view objText, uint32_t triangleCount) {
    PartGroupScanner scanner(triangleCount, objText.size());
    const std::size_t taken = scanner.CompleteLines(objText);
    scanner.LastLine(objText.substr(taken));
    return scanner.Finish();
}

MeshParts ReadObjPartGroupsFromFile(const std::string& path, uint32_t triangleCount) {
    const std::optional<RegularFile> file = RegularFile::Open(path);
    if (!file) {
        return {};
    }
    PartGroupScanner scanner(triangleCount, file->Size());
    std::string buffer(kScanBytes, '\0');
    std::size_t held = 0; // the start of an unfinished line, at the front of the buffer
    for (std::size_t offset = 0; offset < file->Size();) {
        if (held == buffer.size()) {
            buffer.resize(2 * buffer.size()); // one line longer than the buffer
        }
        const std::size_t length = std::min(buffer.size() - held, file->Size() - offset);
        if (!file->ReadAt(offset, length, buffer.data() + held)) {
            return {}; // the file shrank while it was scanned
        }
        offset += length;
        held += length;
        const std::size_t taken = scanner.CompleteLines({buffer.data(), held});
        std::memmove(buffer.data(), buffer.data() + taken, held - taken);
        held -= taken;
    }
    scanner.LastLine({buffer.data(), held});
    if (!file->Unchanged()) {
        return {};
    }
    return scanner.Finish();
}

MeshParts PartsFromMaterialGroups(const Mesh& mesh) {
    MeshParts parts;
    PartNumbering numbering(parts);
    parts.triangleParts.assign(mesh.triangles.size(), 0);
    // The parts are numbered from the most recently created group, as they always were: the
    // numbers (and the order of the names) reach the posed body and its outputs.
    for (auto group = mesh.groups.rbegin(); group != mesh.groups.rend(); ++group) {
        const uint32_t number = numbering.Of(group->name);
        for (const uint32_t triangle : group->triangleIndices) {
            if (triangle < parts.triangleParts.size()) {
                parts.triangleParts[triangle] = number;
            }
        }
    }
    return parts;
}
