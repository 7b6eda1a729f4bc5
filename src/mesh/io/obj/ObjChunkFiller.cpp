#include "mesh/io/obj/ObjChunkFiller.h"

#include "mesh/io/obj/FaceReader.h"
#include "mesh/io/obj/ObjTextCursor.h"
#include "mesh/io/obj/ObjWindowReader.h"

#include <array>
#include <string_view>

namespace {

// The second reading of one stretch, statement by statement, as the sequential reading does it,
// writing only into the places the plan gives the stretch.
class ChunkFiller {
public:
    ChunkFiller(const ObjChunkCount& count, const ObjChunkPlan& plan, Mesh& mesh)
        : count_(count), plan_(plan), mesh_(mesh), total_(plan.total), read_(plan.base),
          groupWritten_(count.groupNames.size(), 0), sink_{&leadingWritten_, count.leadingTriangles,
                                                           plan.leadingGroup, plan.leadingStart} {}

    // Fills from one window; false (with the fault) when a statement cannot be taken.
    bool FillWindow(std::string_view window, std::size_t windowOffset, ObjChunkFault& fault) {
        ObjTextCursor cursor(window);
        for (std::string_view word = cursor.NextWord(); !word.empty(); word = cursor.NextWord()) {
            if (!FillStatement(word, cursor, fault)) {
                fault.offset = windowOffset + static_cast<std::size_t>(word.data() - window.data());
                return false;
            }
        }
        return true;
    }

    // Whether the stretch held exactly what its first reading counted.
    bool MatchesCount() const {
        if (read_.vertices - plan_.base.vertices != count_.vertices ||
            read_.normals - plan_.base.normals != count_.normals ||
            read_.texCoords - plan_.base.texCoords != count_.texCoords ||
            triangles_ != count_.triangles || usemtls_ != count_.usemtlGroups.size() ||
            leadingWritten_ != count_.leadingTriangles) {
            return false;
        }
        return groupWritten_ == count_.groupTriangles;
    }

private:
    bool FillStatement(std::string_view word, ObjTextCursor& cursor, ObjChunkFault& fault) {
        switch (word[0]) {
        case 'v': {
            const bool stored = FillCoordinates(word, cursor);
            // Whatever follows the numbers was skipped by the first reading as well.
            cursor.SkipLine();
            return stored;
        }
        case 'u':
            cursor.RestOfLine();
            if (usemtls_ >= count_.usemtlGroups.size()) {
                return false;
            }
            UseGroup(count_.usemtlGroups[usemtls_++]);
            return true;
        case 'f':
            return FillFace(cursor, fault);
        case 'm':
            cursor.RestOfLine();
            return true;
        default:
            cursor.SkipLine();
            return true;
        }
    }

    // Missing numbers stay 0.
    static void ReadCoordinates(ObjTextCursor& cursor, Vec3f& target) {
        for (int axis = 0; axis < 3; ++axis) {
            if (!cursor.ReadFloatOnLine(target[axis])) {
                break;
            }
        }
    }
    static void ReadCoordinates(ObjTextCursor& cursor, std::array<float, 2>& target) {
        for (float& value : target) {
            if (!cursor.ReadFloatOnLine(value)) {
                break;
            }
        }
    }

    // The next entry of the statement's array, within the stretch's share.
    bool FillCoordinates(std::string_view word, ObjTextCursor& cursor) {
        if (word.size() == 1) {
            if (read_.vertices - plan_.base.vertices >= count_.vertices) {
                return false;
            }
            ReadCoordinates(cursor, mesh_.positions[read_.vertices++]);
        } else if (word[1] == 'n') {
            if (read_.normals - plan_.base.normals >= count_.normals) {
                return false;
            }
            ReadCoordinates(cursor, mesh_.normals[read_.normals++]);
        } else if (word[1] == 't') {
            if (read_.texCoords - plan_.base.texCoords >= count_.texCoords) {
                return false;
            }
            ReadCoordinates(cursor, mesh_.texCoords[read_.texCoords++]);
        }
        return true;
    }

    bool FillFace(ObjTextCursor& cursor, ObjChunkFault& fault) {
        if (FillPlainTriangle(cursor)) {
            return true;
        }
        const ObjFaceResult result =
            FillObjFace(cursor, faceReader_, read_, total_, fault.index,
                        [this](const MeshTriangle& triangle) { return StoreTriangle(triangle); });
        fault.badIndex = result == ObjFaceResult::BadIndex;
        return result == ObjFaceResult::Stored;
    }

    // The common faces, "f v/t/n v/t/n v/t/n" and "f v v v", alone on their line with every
    // index in range, read without the general corner machinery. False (cursor unmoved) for
    // anything else, which the general reading then takes.
    bool FillPlainTriangle(ObjTextCursor& cursor) {
        FaceCorner corners[3];
        CornerForm form = CornerForm::Vertex;
        const char* p = cursor.Here();
        const char* end = cursor.End();
        for (int c = 0; c < 3; ++c) {
            if (p == end || (*p != ' ' && *p != '\t')) {
                return false;
            }
            while (p < end && (*p == ' ' || *p == '\t')) {
                ++p;
            }
            p = ParseInteger(p, end, corners[c].vertex);
            if (p && c == 0) {
                // The first corner decides the form, as in the general reading.
                form = p < end && *p == '/' ? CornerForm::VertexTexCoordNormal : CornerForm::Vertex;
            }
            p = p ? ParseRestOfPlainCorner(p, end, form, corners[c]) : nullptr;
            if (!p) {
                return false;
            }
        }
        // The corner list must end here: no further corner on this line or the next ones.
        const char* after = p;
        while (after < end && ObjTextCursor::IsBlank(*after)) {
            ++after;
        }
        if (after < end &&
            (static_cast<unsigned char>(*after - '0') <= 9 || *after == '-' || *after == '+')) {
            return false;
        }
        // The corners are resolved straight into the triangle's place: a triangle put together
        // elsewhere and copied would be read back before its pieces are stored. A face that
        // fails here is stored again, from the same place, by the general reading.
        MeshTriangle* slot = NextSlot();
        if (!slot || !ResolvePlainCorners(corners, form, *slot)) {
            return false; // the general reading reports it
        }
        CommitTriangle();
        cursor.MoveTo(p);
        return true;
    }

    // The array indices of the three corners; false when one of them names no element.
    bool ResolvePlainCorners(const FaceCorner (&corners)[3], CornerForm form,
                             MeshTriangle& triangle) const {
        // Nearly every index counts from the start of the file and is in range: that is checked
        // here at once, and only the others go through the general rule.
        const auto inRange = [](long long raw, uint32_t total) {
            return raw >= 1 && raw <= static_cast<long long>(total);
        };
        const bool withTexCoordAndNormal = form == CornerForm::VertexTexCoordNormal;
        for (int c = 0; c < 3; ++c) {
            const FaceCorner& corner = corners[c];
            if (inRange(corner.vertex, total_.vertices) &&
                (!withTexCoordAndNormal || (inRange(corner.texCoord, total_.texCoords) &&
                                            inRange(corner.normal, total_.normals)))) {
                // The file counts from 1, the mesh from 0.
                triangle.position[c] = static_cast<uint32_t>(corner.vertex - 1);
                triangle.texCoord[c] =
                    withTexCoordAndNormal ? static_cast<uint32_t>(corner.texCoord - 1) : kNoIndex;
                triangle.normal[c] =
                    withTexCoordAndNormal ? static_cast<uint32_t>(corner.normal - 1) : kNoIndex;
                continue;
            }
            uint32_t resolved[3];
            ObjIndexFault ignored;
            if (!ResolveObjCorner(corner, form, read_, total_, ignored, resolved)) {
                return false;
            }
            triangle.position[c] = resolved[0];
            triangle.texCoord[c] = resolved[1];
            triangle.normal[c] = resolved[2];
        }
        return true;
    }

    // After a corner's vertex index: "/t/n" when the face is of that form, then a blank or the
    // end; nullptr otherwise.
    static const char* ParseRestOfPlainCorner(const char* p, const char* end, CornerForm form,
                                              FaceCorner& corner) {
        if (form == CornerForm::VertexTexCoordNormal) {
            if (p == end || *p++ != '/') {
                return nullptr;
            }
            p = ParseInteger(p, end, corner.texCoord);
            if (!p || p == end || *p++ != '/') {
                return nullptr;
            }
            p = ParseInteger(p, end, corner.normal);
        }
        return p && (p == end || ObjTextCursor::IsBlank(*p)) ? p : nullptr;
    }

    // The stretch's local group `group` takes the triangles from here on.
    void UseGroup(uint32_t group) {
        sink_ = {&groupWritten_[group], count_.groupTriangles[group], plan_.groupPositions[group],
                 plan_.groupStarts[group]};
    }

    // Where the next triangle goes, or nullptr when the stretch or the current group has no room
    // left (the text changed since it was counted).
    MeshTriangle* NextSlot() const {
        if (triangles_ >= count_.triangles || *sink_.written >= sink_.counted) {
            return nullptr;
        }
        return &mesh_.triangles[plan_.triangleBase + triangles_];
    }

    // Takes the triangle written at NextSlot() into the current group.
    void CommitTriangle() {
        const uint32_t index = plan_.triangleBase + static_cast<uint32_t>(triangles_++);
        mesh_.groups[sink_.group].triangleIndices[sink_.start + (*sink_.written)++] = index;
    }

    bool StoreTriangle(const MeshTriangle& triangle) {
        MeshTriangle* slot = NextSlot();
        if (!slot) {
            return false;
        }
        *slot = triangle;
        CommitTriangle();
        return true;
    }

    // Where the current group's triangles go: its count so far and as counted, its list
    // position and its first slot.
    struct GroupSink {
        uint64_t* written;
        uint64_t counted;
        uint32_t group;
        uint32_t start;
    };

    const ObjChunkCount& count_;
    const ObjChunkPlan& plan_;
    Mesh& mesh_;
    const ObjElementCounts total_;
    ObjElementCounts read_; // elements read before the current statement, over the whole text
    uint64_t triangles_ = 0;
    std::size_t usemtls_ = 0;
    uint64_t leadingWritten_ = 0; // the triangles before the stretch's first usemtl
    std::vector<uint64_t> groupWritten_;
    GroupSink sink_;
    FaceReader faceReader_;
};

} // namespace

void FillObjChunk(const ObjSource& source, std::size_t windowBytes, std::string& windowBuffer,
                  const ObjChunkCount& count, const ObjChunkPlan& plan, Mesh& mesh,
                  ObjChunkFault& fault, ObjReadProgress& progress) {
    ObjWindowReader windows(source, count.begin, count.end, windowBytes, windowBuffer);
    ChunkFiller filler(count, plan, mesh);
    std::string_view window;
    while (true) {
        if (!windows.Next(window)) {
            fault.offset = windows.WindowOffset();
            return;
        }
        if (window.empty()) {
            break;
        }
        if (!filler.FillWindow(window, windows.WindowOffset(), fault)) {
            return;
        }
        progress.Advance(window.size());
    }
    if (!filler.MatchesCount()) {
        fault.offset = count.end;
    }
}
