#include "mesh/io/obj/ObjPasses.h"

#include "mesh/MeshGroups.h"
#include "mesh/io/MeshGroupBuilder.h"
#include "mesh/io/obj/FaceReader.h"
#include "mesh/io/obj/MtlReader.h"
#include "mesh/io/obj/ObjFaceFill.h"
#include "mesh/io/obj/ObjTextCursor.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

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

Status TooLarge(const ObjPassInput& input) {
    return RefuseObj(ObjTooLargeMessage(input.givenPath));
}

// The running numbers of the second reading.
struct FillState {
    std::size_t group = 0;
    uint32_t triangle = 0;
    ObjElementCounts read;
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
    return RefuseObj(ObjChangedMessage(input.givenPath));
}

// Reads the numbers of a v, vn or vt statement into the next entry of its array.
Status FillCoordinates(Mesh& mesh, std::string_view word, ObjTextCursor& cursor, FillState& state,
                       const ObjPassInput& input) {
    if (word.size() == 1) {
        if (state.read.vertices >= mesh.vertexCount) {
            return Disagreement(input);
        }
        ++state.read.vertices;
        ReadCoordinates(cursor, &mesh.vertices[3 * std::size_t{state.read.vertices}], 3);
    } else if (word[1] == 'n') {
        if (state.read.normals >= mesh.normalCount) {
            return Disagreement(input);
        }
        ++state.read.normals;
        ReadCoordinates(cursor, &mesh.normals[3 * std::size_t{state.read.normals}], 3);
    } else if (word[1] == 't') {
        if (state.read.texCoords >= mesh.texCoordCount) {
            return Disagreement(input);
        }
        ++state.read.texCoords;
        ReadCoordinates(cursor, &mesh.texCoords[2 * std::size_t{state.read.texCoords}], 2);
    }
    return Status::Ok();
}

// Appends the face's triangles to the current group.
Status FillFace(Mesh& mesh, ObjTextCursor& cursor, FaceReader& reader, FillState& state,
                const ObjPassInput& input, std::size_t faceOffset) {
    const ObjElementCounts total{mesh.vertexCount, mesh.texCoordCount, mesh.normalCount};
    MeshGroup& group = mesh.groups[state.group];
    ObjIndexFault fault;
    const ObjFaceResult result =
        FillObjFace(cursor, reader, state.read, total, fault, [&](const MeshTriangle& triangle) {
            if (state.triangle >= mesh.triangleCount ||
                group.triangleCount >= group.triangleIndices.size()) {
                return false;
            }
            mesh.triangles[state.triangle] = triangle;
            group.triangleIndices[group.triangleCount++] = state.triangle++;
            return true;
        });
    if (result == ObjFaceResult::BadIndex) {
        return RefuseObj(
            DescribeIndexFault(fault, cursor.LineNumberAt(faceOffset), input.givenPath));
    }
    return result == ObjFaceResult::Disagreement ? Disagreement(input) : Status::Ok();
}

} // namespace

Status CountObjStatements(Mesh& mesh, const ObjPassInput& input) {
    ObjTextCursor cursor(input.text);
    ProgressReporter progress(input, 0.0);
    MeshGroupBuilder groups;
    uint32_t group = groups.GroupFor("default");
    uint64_t vertices = 0, normals = 0, texCoords = 0, triangles = 0;
    for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
        progress.Update(cursor.Offset());
        switch (word[0]) {
        case 'f': {
            const std::size_t added = FaceReader::TrianglesFor(FaceReader::CountCorners(cursor));
            triangles += added;
            groups.AddTriangles(group, added);
            if (triangles > kMaxObjCount) {
                return TooLarge(input);
            }
            break;
        }
        case 'm':
            if (Status status = ReadMtl(mesh, NameArgument(cursor.RestOfLine()), input.mtlSource);
                !status) {
                return status;
            }
            break;
        case 'u':
            group = groups.GroupFor(NameArgument(cursor.RestOfLine()));
            break;
        case 'v':
            if (word.size() == 1) {
                ++vertices;
            } else if (word[1] == 'n') {
                ++normals;
            } else if (word[1] == 't') {
                ++texCoords;
            } else {
                return ObjUnknownToken(word);
            }
            cursor.SkipLine();
            break;
        default:
            cursor.SkipLine();
            break;
        }
    }
    if (vertices > kMaxObjCount || normals > kMaxObjCount || texCoords > kMaxObjCount) {
        return TooLarge(input);
    }
    mesh.vertexCount = static_cast<uint32_t>(vertices);
    mesh.normalCount = static_cast<uint32_t>(normals);
    mesh.texCoordCount = static_cast<uint32_t>(texCoords);
    mesh.triangleCount = static_cast<uint32_t>(triangles);
    groups.MoveInto(mesh);
    return Status::Ok();
}

Status FillObjArrays(Mesh& mesh, const ObjPassInput& input) {
    ObjTextCursor cursor(input.text);
    ProgressReporter progress(input, 0.5);
    FaceReader faceReader;
    FillState state;
    const NameIndex groups = NameIndex::Of(mesh.groups);
    const NameIndex materials = NameIndex::Of(mesh.materials);
    state.group = groups.Find("default").value_or(0);
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
            state.group = groups.Find(name).value_or(static_cast<uint32_t>(state.group));
            mesh.groups[state.group].material = FindIndexedMaterial(materials, name);
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

std::string ObjChangedMessage(std::string_view givenPath) {
    return "Read Obj failed: \"" + std::string(givenPath) + "\" changed while it was read.";
}

// The message goes back to the caller, who shows it once (the command line on stderr, the desktop
// program in a message box); printing it here as well made every refusal appear twice.
Status RefuseObj(const std::string& message) {
    return Status::Failure(message);
}

Status ObjUnknownToken(std::string_view word) {
    const std::string text(word);
    return Status::Failure("glmFirstPass(): Unknown token \"" + text + "\".");
}

std::string ObjTooLargeMessage(std::string_view givenPath) {
    return "Read Obj failed: \"" + std::string(givenPath) +
           "\" holds more elements than the reader can index.";
}
