#include "mesh/io/off/OffReader.h"

#include "mesh/io/ImportBudget.h"
#include "mesh/io/MeshBuilder.h"
#include "mesh/io/off/OffHeader.h"
#include "mesh/io/off/OffLineCursor.h"

#include <charconv>
#include <string>
#include <vector>

namespace {

// The shortest a vertex line can be ("0 0 0\n") and a face line ("3 0 1 2\n").
constexpr uint64_t kShortestVertexLine = 6;
constexpr uint64_t kShortestFaceLine = 8;
constexpr uint64_t kProgressStep = 1 << 16;

bool ParseNumber(std::string_view word, double& value) {
    const char* begin = word.data();
    const char* end = begin + word.size();
    if (begin != end && *begin == '+') {
        ++begin; // from_chars takes no plus sign
    }
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end;
}

bool ParseIndex(std::string_view word, int64_t& value) {
    const auto [stop, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && stop == word.data() + word.size();
}

class OffBodyReader {
public:
    OffBodyReader(const OffHeader& fileHeader, OffLineCursor& fileLines, Mesh& mesh,
                  ImportProgress& importProgress, uint64_t fileSize)
        : header(fileHeader), lines(fileLines), builder(mesh), progress(importProgress),
          budget(fileSize), fileBytes(fileSize) {}

    Status Read() {
        // Counts the rest of the file cannot hold are refused before anything is reserved.
        if (header.vertexCount > kMaxMeshElements || header.faceCount > kMaxMeshElements ||
            header.vertexCount * kShortestVertexLine + header.faceCount * kShortestFaceLine >
                lines.Remaining() + 1) {
            return Status::Failure("the OFF file is shorter than its vertex and face counts say");
        }
        builder.Reserve(header.vertexCount, header.faceCount, header.colors, header.texCoords);
        if (Status status = ReadVertices(); !status) {
            return status;
        }
        if (progress.Cancelled()) {
            return Status::Failure("cancelled");
        }
        if (Status status = ReadFaces(); !status) {
            return status;
        }
        if (progress.Cancelled()) {
            return Status::Failure("cancelled");
        }
        return builder.Finish();
    }

private:
    Status ReadVertices() {
        const std::size_t fixed = header.FixedVertexValues();
        const std::size_t tail = header.texCoords ? 2 : 0;
        std::vector<double> values;
        for (uint64_t v = 0; v < header.vertexCount; ++v) {
            if (!lines.Next(words)) {
                return Status::Failure("the OFF file ends before its vertex " +
                                       std::to_string(v + 1));
            }
            values.resize(words.size());
            for (std::size_t i = 0; i < words.size(); ++i) {
                if (!ParseNumber(words[i], values[i])) {
                    return LineFailure("a vertex value that is not a number");
                }
            }
            if (values.size() < fixed + tail) {
                return LineFailure("a vertex with fewer values than the header says");
            }
            const auto index = static_cast<uint32_t>(v);
            const double w = header.homogeneous ? values[3] : 1.0;
            builder.SetVertex(index, static_cast<float>(values[0] / w),
                              static_cast<float>(values[1] / w), static_cast<float>(values[2] / w));
            // The colour sits between the fixed values and the texture coordinates.
            const std::size_t colorValues = values.size() - fixed - tail;
            if (header.colors && (colorValues == 3 || colorValues == 4)) {
                SetColor(index, &values[fixed], colorValues);
            }
            if (header.texCoords) {
                builder.SetTexCoord(index, static_cast<float>(values[values.size() - 2]),
                                    static_cast<float>(values[values.size() - 1]));
            }
            if (!Advance(v)) {
                return Status::Ok();
            }
        }
        return Status::Ok();
    }

    // Colours written as integers run to 255.
    void SetColor(uint32_t index, const double* rgba, std::size_t count) {
        bool integers = false;
        for (std::size_t i = 0; i < count; ++i) {
            integers = integers || rgba[i] > 1.0;
        }
        const double scale = integers ? 1.0 / 255.0 : 1.0;
        builder.SetColor(index, static_cast<float>(rgba[0] * scale),
                         static_cast<float>(rgba[1] * scale), static_cast<float>(rgba[2] * scale),
                         count == 4 ? static_cast<float>(rgba[3] * scale) : 1.0f);
    }

    Status ReadFaces() {
        std::vector<uint32_t> corners;
        for (uint64_t f = 0; f < header.faceCount; ++f) {
            if (!lines.Next(words)) {
                return Status::Failure("the OFF file ends before its face " +
                                       std::to_string(f + 1));
            }
            int64_t count = 0;
            if (!ParseIndex(words[0], count) || count < 0) {
                return LineFailure("a face whose corner count is not a whole number");
            }
            // What follows the corners (a face colour) is not needed.
            if (static_cast<uint64_t>(count) > words.size() - 1) {
                return LineFailure("a face with fewer corners than it counts");
            }
            corners.resize(static_cast<std::size_t>(count));
            for (std::size_t c = 0; c < corners.size(); ++c) {
                int64_t index = 0;
                if (!ParseIndex(words[c + 1], index)) {
                    return LineFailure("a face corner that is not a whole number");
                }
                if (index < 0 || static_cast<uint64_t>(index) >= header.vertexCount) {
                    return Status::Failure("OFF face " + std::to_string(f + 1) +
                                           " names a vertex that does not exist");
                }
                corners[c] = static_cast<uint32_t>(index);
            }
            // A face of fewer than three corners (a point or an edge) has no surface.
            for (std::size_t c = 2; c < corners.size(); ++c) {
                builder.AddTriangle(corners[0], corners[c - 1], corners[c]);
            }
            if (Status status = CheckSize(); !status) {
                return status;
            }
            if (!Advance(f)) {
                return Status::Ok();
            }
        }
        return Status::Ok();
    }

    // Polygons of many corners make more triangles than there are faces.
    Status CheckSize() const {
        const uint64_t triangles = builder.TriangleCount();
        if (triangles > kMaxMeshElements) {
            return Status::Failure("the OFF file has more faces than can be drawn");
        }
        const uint64_t bytes =
            ImportBudget::MeshBytes(header.vertexCount, triangles, header.colors, header.texCoords);
        if (!budget.Allows(bytes)) {
            return Status::Failure(budget.TooLarge("the OFF faces", bytes));
        }
        return Status::Ok();
    }

    Status LineFailure(const std::string& what) const {
        return Status::Failure("line " + std::to_string(lines.LineNumber()) +
                               " of the OFF file has " + what);
    }

    bool Advance(uint64_t record) {
        if (record % kProgressStep != 0) {
            return true;
        }
        return progress.Report(static_cast<double>(lines.Consumed()) /
                               static_cast<double>(fileBytes ? fileBytes : 1));
    }

    const OffHeader& header;
    OffLineCursor& lines;
    MeshBuilder builder;
    ImportProgress& progress;
    ImportBudget budget;
    uint64_t fileBytes;
    std::vector<std::string_view> words;
};

} // namespace

Status ReadOff(std::string_view bytes, Mesh& mesh, ImportProgress& progress) {
    OffLineCursor lines(bytes);
    OffHeader header;
    if (Status status = OffHeader::Parse(lines, header); !status) {
        return status;
    }
    OffBodyReader reader(header, lines, mesh, progress, bytes.size());
    return reader.Read();
}
