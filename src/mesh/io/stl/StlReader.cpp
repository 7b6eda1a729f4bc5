#include "mesh/io/stl/StlReader.h"

#include "base/LargeArrays.h"
#include "mesh/io/MeshBuilder.h"
#include "mesh/io/stl/PositionWelder.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kHeaderSize = 84;
constexpr std::size_t kTriangleSize = 50;

using Position = PositionWelder::Position;

// Turns the corner positions (three per triangle) into shared vertices and indexed triangles.
Status BuildWelded(const std::vector<Position>& corners, Mesh& mesh, ImportProgress& progress) {
    PositionWelder welder(corners.size());
    std::vector<uint32_t> triangles;
    ReserveOnHugePages(triangles, corners.size());
    for (std::size_t c = 0; c < corners.size(); ++c) {
        bool added = false;
        triangles.push_back(welder.Weld(corners[c], added));
        if (c % (1 << 18) == 0 && !progress.Report(0.5 + 0.5 * static_cast<double>(c) /
                                                             static_cast<double>(corners.size()))) {
            return Status::Failure("cancelled");
        }
    }
    MeshBuilder builder(mesh);
    builder.Reserve(welder.Count(), corners.size() / 3, false, false);
    uint32_t vertex = 0;
    for (const Position& p : welder.Positions()) {
        builder.SetVertex(vertex++, p.x, p.y, p.z);
    }
    // The welder numbers its vertices from 1 (0 marks a free slot of its table).
    for (std::size_t c = 0; c + 2 < triangles.size(); c += 3) {
        builder.AddTriangle(triangles[c] - 1, triangles[c + 1] - 1, triangles[c + 2] - 1);
    }
    return builder.Finish();
}

Status ReadBinary(std::string_view bytes, std::vector<Position>& corners,
                  ImportProgress& progress) {
    uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    if ((bytes.size() - kHeaderSize) / kTriangleSize < count) {
        return Status::Failure("the binary STL file is shorter than its triangle count says");
    }
    if (count > kMaxMeshElements / 3) {
        return Status::Failure("the STL file has more triangles than can be drawn");
    }
    AllocateExactly(corners, 3 * std::size_t{count}, Position{});
    for (std::size_t t = 0; t < count; ++t) {
        // Each record: the facet normal (recomputed later), three corners, two attribute bytes.
        std::memcpy(&corners[3 * t], bytes.data() + kHeaderSize + t * kTriangleSize + 12,
                    3 * sizeof(Position));
        if (t % (1 << 18) == 0 && !progress.Report(0.5 * static_cast<double>(t) / count)) {
            return Status::Failure("cancelled");
        }
    }
    return Status::Ok();
}

class AsciiWords {
public:
    explicit AsciiWords(std::string_view fileText) : text(fileText) {}

    std::string_view Next() {
        while (position < text.size() && IsSpace(text[position])) {
            ++position;
        }
        const std::size_t start = position;
        while (position < text.size() && !IsSpace(text[position])) {
            ++position;
        }
        return text.substr(start, position - start);
    }
    bool NextNumber(float& value) {
        std::string_view word = Next();
        if (!word.empty() && word[0] == '+') {
            word.remove_prefix(1);
        }
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        return error == std::errc() && end == word.data() + word.size();
    }
    double Fraction() const {
        return text.empty() ? 1.0
                            : static_cast<double>(position) / static_cast<double>(text.size());
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    std::string_view text;
    std::size_t position = 0;
};

// Collects the corners of each "outer loop"; a loop of more than three corners is split into a
// fan of triangles.
Status ReadAscii(std::string_view bytes, std::vector<Position>& corners, ImportProgress& progress) {
    AsciiWords words(bytes);
    std::vector<Position> loop;
    std::size_t facets = 0;
    for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
        if (word == "vertex") {
            Position p{};
            if (!words.NextNumber(p.x) || !words.NextNumber(p.y) || !words.NextNumber(p.z)) {
                return Status::Failure("an STL vertex in facet " + std::to_string(facets + 1) +
                                       " is not three numbers");
            }
            loop.push_back(p);
        } else if (word == "endloop") {
            if (loop.size() < 3) {
                return Status::Failure("STL facet " + std::to_string(facets + 1) +
                                       " has fewer than three vertices");
            }
            for (std::size_t c = 2; c < loop.size(); ++c) {
                corners.insert(corners.end(), {loop[0], loop[c - 1], loop[c]});
            }
            loop.clear();
            if (++facets % (1 << 16) == 0 && !progress.Report(0.5 * words.Fraction())) {
                return Status::Failure("cancelled");
            }
            if (corners.size() > kMaxMeshElements) {
                return Status::Failure("the STL file has more triangles than can be drawn");
            }
        }
    }
    return Status::Ok();
}

// An ASCII file starts with "solid" and its first bytes are all text; a binary header that starts
// with "solid" is followed by the triangle count, whose bytes are rarely all text.
bool LooksLikeText(std::string_view bytes) {
    if (bytes.substr(0, 5) != "solid") {
        return false;
    }
    const std::string_view head = bytes.substr(0, kHeaderSize);
    return std::all_of(head.begin(), head.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= 32 && byte < 127) || byte == '\n' || byte == '\r' || byte == '\t';
    });
}

} // namespace

bool IsBinaryStl(std::string_view bytes) {
    if (bytes.size() < kHeaderSize) {
        return false;
    }
    uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    return bytes.size() == kHeaderSize + kTriangleSize * uint64_t{count};
}

Status ReadStl(std::string_view bytes, Mesh& mesh, ImportProgress& progress) {
    std::vector<Position> corners;
    const bool ascii = !IsBinaryStl(bytes) && LooksLikeText(bytes);
    if (!ascii && bytes.size() < kHeaderSize) {
        return Status::Failure("the file is too short for an STL model");
    }
    Status read =
        ascii ? ReadAscii(bytes, corners, progress) : ReadBinary(bytes, corners, progress);
    if (!read) {
        return read;
    }
    return BuildWelded(corners, mesh, progress);
}
