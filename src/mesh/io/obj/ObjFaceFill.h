#pragma once

#include "mesh/Mesh.h"
#include "mesh/io/obj/FaceReader.h"
#include "mesh/io/obj/ObjTextCursor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How many vertices, texture coordinates and normals: read so far, or in the whole file.
struct ObjElementCounts {
    uint32_t vertices = 0;
    uint32_t texCoords = 0;
    uint32_t normals = 0;
};

// A face index naming no element, kept until the message can be written with its line number.
struct ObjIndexFault {
    long long raw = 0;          // the index as the file gives it
    uint32_t readSoFar = 0;     // elements of its kind read before the face
    uint32_t total = 0;         // elements of its kind in the file
    int kind = 0;               // 0 vertex, 1 texture coordinate, 2 normal
    std::size_t faceOffset = 0; // where the face's "f" stands in the text
};

// The refusal of a fault, for example: Read Obj failed: line 4 of "m.obj" names vertex 4, but
// the file has 3 vertices.
std::string DescribeIndexFault(const ObjIndexFault& fault, std::size_t lineNumber,
                               std::string_view path);

// Turns the corner at the face reader into array indices from 0 (position, texture coordinate,
// normal; kNoIndex for what the face's form does not give): the file's positive indices count from
// its first element as 1, negative ones back from the last element read before the face. False
// (with `fault` filled in, except its faceOffset) when an index names no element.
bool ResolveObjCorner(const FaceCorner& corner, CornerForm form, const ObjElementCounts& readSoFar,
                      const ObjElementCounts& total, ObjIndexFault& fault, uint32_t (&out)[3]);

// The result of reading one face.
enum class ObjFaceResult { Stored, BadIndex, Disagreement };

// Reads the face at the cursor and splits it into a fan (c1, ck-1, ck), handing each triangle to
// `store` (which returns false when there is no room for it: the text changed since it was
// counted). A face of fewer than three corners repeats its last corner (all zero when it has
// none, which the index check then refuses).
template <typename Store>
ObjFaceResult FillObjFace(ObjTextCursor& cursor, FaceReader& reader,
                          const ObjElementCounts& readSoFar, const ObjElementCounts& total,
                          ObjIndexFault& fault, Store&& store) {
    uint32_t first[3], previous[3], current[3];
    const auto resolve = [&](uint32_t(&out)[3]) {
        return ResolveObjCorner(reader.Corner(), reader.Form(), readSoFar, total, fault, out);
    };
    reader.Begin();
    reader.Next(cursor);
    if (!resolve(first)) {
        return ObjFaceResult::BadIndex;
    }
    reader.Next(cursor);
    if (!resolve(previous)) {
        return ObjFaceResult::BadIndex;
    }
    bool more = reader.Next(cursor);
    do {
        if (!resolve(current)) {
            return ObjFaceResult::BadIndex;
        }
        MeshTriangle triangle;
        triangle.position = {first[0], previous[0], current[0]};
        triangle.texCoord = {first[1], previous[1], current[1]};
        triangle.normal = {first[2], previous[2], current[2]};
        if (!store(triangle)) {
            return ObjFaceResult::Disagreement;
        }
        std::copy(std::begin(current), std::end(current), std::begin(previous));
    } while (more && (more = reader.Next(cursor)));
    return ObjFaceResult::Stored;
}
