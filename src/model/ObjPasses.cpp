#include "model/ObjPasses.h"

#include "model/FaceReader.h"
#include "model/MeshGroups.h"
#include "model/MtlReader.h"
#include "model/ObjTextCursor.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace {

// Indices are 32-bit and arrays hold three floats per entry plus the unused entry 0.
constexpr uint64_t kMaxCount = std::numeric_limits<int32_t>::max() / 4;

// Calls the progress callback about every megabyte; the first reading covers the first half.
class ProgressReporter {
public:
    ProgressReporter(const ObjPassInput& input, double from)
        : callback_(input.onProgress), size_(input.text.size()), from_(from) {}

    void Update(std::size_t offset) {
        if (offset >= next_ && callback_) {
            next_ = offset + (1u << 20);
            callback_(from_ + 0.5 * static_cast<double>(offset) / static_cast<double>(size_));
        }
    }

private:
    const std::function<void(double)>& callback_;
    std::size_t size_;
    double from_;
    std::size_t next_ = 0;
};

// A refusal of the file: the reason goes to the error stream as well.
Status Refuse(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return Status::Failure(message);
}

Status UnknownToken(std::string_view word) {
    const std::string text(word);
    std::printf("glmFirstPass(): Unknown token \"%s\".\n", text.c_str());
    return Status::Failure("glmFirstPass(): Unknown token \"" + text + "\".");
}

Status TooLarge(const ObjPassInput& input) {
    return Refuse("Read Obj failed: \"" + std::string(input.givenPath) +
                  "\" holds more elements than the reader can index.");
}

struct ElementKind {
    const char* one;
    const char* many;
};
constexpr ElementKind kVertex = {"vertex", "vertices"};
constexpr ElementKind kTexCoord = {"texture coordinate", "texture coordinates"};
constexpr ElementKind kNormal = {"normal", "normals"};

// Turns the file's index into an array index: positive indices count from the first element of
// the file, negative ones back from the last element read before the face. Anything naming no
// element is refused with the line it stands on.
class IndexResolver {
public:
    IndexResolver(const ObjPassInput& input, const ObjTextCursor& cursor, std::size_t faceOffset)
        : input_(input), cursor_(cursor), faceOffset_(faceOffset) {}

    bool Resolve(long long raw, uint32_t readSoFar, uint32_t total, const ElementKind& kind,
                 int32_t& index) {
        long long resolved = raw;
        if (raw < 0) {
            resolved = static_cast<long long>(readSoFar) + 1 + raw;
        }
        if (raw == 0 || resolved < 1 || resolved > static_cast<long long>(total)) {
            error_ = Describe(raw, readSoFar, total, kind);
            return false;
        }
        index = static_cast<int32_t>(resolved);
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    std::string Describe(long long raw, uint32_t readSoFar, uint32_t total,
                         const ElementKind& kind) const {
        const std::string where = "Read Obj failed: line " +
                                  std::to_string(cursor_.LineNumberAt(faceOffset_)) + " of \"" +
                                  std::string(input_.givenPath) + "\" names " + kind.one + " " +
                                  std::to_string(raw);
        if (raw == 0) {
            return where + ", but indices start at 1.";
        }
        if (raw < 0) {
            return where + ", but only " + std::to_string(readSoFar) + " " + kind.many +
                   " come before it.";
        }
        return where + ", but the file has " + std::to_string(total) + " " + kind.many + ".";
    }

    const ObjPassInput& input_;
    const ObjTextCursor& cursor_;
    std::size_t faceOffset_;
    std::string error_;
};

// The running numbers of the second reading.
struct FillState {
    std::size_t group = 0;
    uint32_t triangle = 0;
    uint32_t verticesRead = 0;
    uint32_t normalsRead = 0;
    uint32_t texCoordsRead = 0;
};

// Reads up to `count` coordinates from the line into `target`; missing ones stay 0.
void ReadCoordinates(ObjTextCursor& cursor, float* target, int count) {
    for (int i = 0; i < count; ++i) {
        if (!cursor.ReadFloatOnLine(target[i])) {
            break;
        }
    }
}

Status Disagreement(const ObjPassInput& input) {
    return Refuse("Read Obj failed: \"" + std::string(input.givenPath) +
                  "\" changed while it was read.");
}

// Reads the numbers of a v, vn or vt statement into the next entry of its array.
Status FillCoordinates(Mesh& mesh, std::string_view word, ObjTextCursor& cursor, FillState& state,
                       const ObjPassInput& input) {
    if (word.size() == 1) {
        if (state.verticesRead >= mesh.vertexCount) {
            return Disagreement(input);
        }
        ++state.verticesRead;
        ReadCoordinates(cursor, &mesh.vertices[3 * std::size_t{state.verticesRead}], 3);
    } else if (word[1] == 'n') {
        if (state.normalsRead >= mesh.normalCount) {
            return Disagreement(input);
        }
        ++state.normalsRead;
        ReadCoordinates(cursor, &mesh.normals[3 * std::size_t{state.normalsRead}], 3);
    } else if (word[1] == 't') {
        if (state.texCoordsRead >= mesh.texCoordCount) {
            return Disagreement(input);
        }
        ++state.texCoordsRead;
        ReadCoordinates(cursor, &mesh.texCoords[2 * std::size_t{state.texCoordsRead}], 2);
    }
    return Status::Ok();
}

// Resolves the fields of one corner that its face's form carries.
bool ResolveCorner(const FaceCorner& corner, CornerForm form, const Mesh& mesh,
                   const FillState& state, IndexResolver& resolver, int32_t (&out)[3]) {
    out[0] = out[1] = out[2] = 0;
    if (!resolver.Resolve(corner.vertex, state.verticesRead, mesh.vertexCount, kVertex, out[0])) {
        return false;
    }
    const bool hasTexCoord =
        form == CornerForm::VertexTexCoord || form == CornerForm::VertexTexCoordNormal;
    const bool hasNormal =
        form == CornerForm::VertexNormal || form == CornerForm::VertexTexCoordNormal;
    if (hasTexCoord && !resolver.Resolve(corner.texCoord, state.texCoordsRead, mesh.texCoordCount,
                                         kTexCoord, out[1])) {
        return false;
    }
    return !hasNormal ||
           resolver.Resolve(corner.normal, state.normalsRead, mesh.normalCount, kNormal, out[2]);
}

void SetCorner(MeshTriangle& triangle, int slot, const int32_t (&corner)[3]) {
    triangle.vertex[slot] = corner[0];
    triangle.texCoord[slot] = corner[1];
    triangle.normal[slot] = corner[2];
}

// Splits the face into a fan (c1, ck-1, ck) and appends the triangles to the current group. A
// face of fewer than three corners repeats its last corner (all zero when it has none, which the
// index check then refuses).
Status FillFace(Mesh& mesh, ObjTextCursor& cursor, FaceReader& reader, FillState& state,
                const ObjPassInput& input, std::size_t faceOffset) {
    IndexResolver resolver(input, cursor, faceOffset);
    const auto resolve = [&](int32_t(&out)[3]) {
        return ResolveCorner(reader.Corner(), reader.Form(), mesh, state, resolver, out);
    };
    int32_t first[3], previous[3], current[3];
    reader.Begin();
    reader.Next(cursor);
    if (!resolve(first)) {
        return Refuse(resolver.Error());
    }
    reader.Next(cursor);
    if (!resolve(previous)) {
        return Refuse(resolver.Error());
    }
    MeshGroup& group = mesh.groups[state.group];
    bool more = reader.Next(cursor);
    do {
        if (!resolve(current)) {
            return Refuse(resolver.Error());
        }
        if (state.triangle >= mesh.triangleCount ||
            group.triangleCount >= group.triangleIndices.size()) {
            return Disagreement(input);
        }
        MeshTriangle& triangle = mesh.triangles[state.triangle];
        SetCorner(triangle, 0, first);
        SetCorner(triangle, 1, previous);
        SetCorner(triangle, 2, current);
        group.triangleIndices[group.triangleCount++] = state.triangle++;
        std::copy(std::begin(current), std::end(current), std::begin(previous));
    } while (more && (more = reader.Next(cursor)));
    return Status::Ok();
}

} // namespace

Status glmFirstPass(Mesh& mesh, const ObjPassInput& input) {
    ObjTextCursor cursor(input.text);
    ProgressReporter progress(input, 0.0);
    std::size_t group = glmGroupFor(mesh, "default");
    uint64_t vertices = 0, normals = 0, texCoords = 0, triangles = 0;
    for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
        progress.Update(cursor.Offset());
        switch (word[0]) {
        case 'f': {
            const std::size_t added = FaceReader::TrianglesFor(FaceReader::CountCorners(cursor));
            triangles += added;
            mesh.groups[group].triangleCount += static_cast<uint32_t>(added);
            if (triangles > kMaxCount) {
                return TooLarge(input);
            }
            break;
        }
        case 'm':
            if (Status status =
                    glmReadMTL(mesh, NameArgument(cursor.RestOfLine()), input.mtlSource);
                !status) {
                return status;
            }
            break;
        case 'u':
            group = glmGroupFor(mesh, NameArgument(cursor.RestOfLine()));
            break;
        case 'v':
            if (word.size() == 1) {
                ++vertices;
            } else if (word[1] == 'n') {
                ++normals;
            } else if (word[1] == 't') {
                ++texCoords;
            } else {
                return UnknownToken(word);
            }
            cursor.SkipLine();
            break;
        default:
            cursor.SkipLine();
            break;
        }
    }
    if (vertices > kMaxCount || normals > kMaxCount || texCoords > kMaxCount) {
        return TooLarge(input);
    }
    mesh.vertexCount = static_cast<uint32_t>(vertices);
    mesh.normalCount = static_cast<uint32_t>(normals);
    mesh.texCoordCount = static_cast<uint32_t>(texCoords);
    mesh.triangleCount = static_cast<uint32_t>(triangles);
    for (MeshGroup& each : mesh.groups) {
        each.triangleIndices.assign(each.triangleCount, 0);
        each.triangleCount = 0;
    }
    return Status::Ok();
}

Status glmFillPass(Mesh& mesh, const ObjPassInput& input) {
    ObjTextCursor cursor(input.text);
    ProgressReporter progress(input, 0.5);
    FaceReader faceReader;
    FillState state;
    state.group = glmLookupGroup(mesh, "default").value_or(0);
    for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
        progress.Update(cursor.Offset());
        Status status = Status::Ok();
        switch (word[0]) {
        case 'v':
            status = FillCoordinates(mesh, word, cursor, state, input);
            // Whatever follows the numbers was skipped by the first reading as well.
            cursor.SkipLine();
            break;
        case 'u': {
            const std::string_view name = NameArgument(cursor.RestOfLine());
            state.group = glmLookupGroup(mesh, name).value_or(state.group);
            mesh.groups[state.group].material = glmFindMaterial(mesh, name);
            break;
        }
        case 'f':
            status = FillFace(mesh, cursor, faceReader, state, input,
                              static_cast<std::size_t>(word.data() - input.text.data()));
            break;
        case 'm':
            cursor.RestOfLine();
            break;
        default:
            cursor.SkipLine();
            break;
        }
        if (!status) {
            return status;
        }
    }
    if (state.triangle != mesh.triangleCount) {
        return Disagreement(input);
    }
    ComputeMeshBoxes(mesh);
    return Status::Ok();
}
