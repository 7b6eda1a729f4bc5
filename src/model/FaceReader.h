#pragma once

#include "model/ObjTextCursor.h"

#include <string_view>
#include <vector>

// One corner of a face as written in the file: 1-based or negative (relative) indices, 0 where
// the corner gives none.
struct FaceCorner {
    long long vertex = 0;
    long long texCoord = 0;
    long long normal = 0;
};

// The form of a face's first corner decides which fields every corner of that face carries.
enum class CornerForm { Vertex, VertexTexCoord, VertexTexCoordNormal, VertexNormal };

// Reads the corners that follow an "f" word: every following word that starts like a corner
// (an optionally signed digit), on the same line or not.
class FaceReader {
public:
    // Reads and parses the corners; a face of fewer than three corners is completed by repeating
    // its last corner (or zeros when it has none), so that it still makes one triangle.
    const std::vector<FaceCorner>& Read(ObjTextCursor& cursor);

    // Only counts the corners (what the first reading needs).
    static std::size_t CountCorners(ObjTextCursor& cursor);

    // The number of triangles a face of `corners` corners makes: a fan, at least one.
    static std::size_t TrianglesFor(std::size_t corners) { return corners > 3 ? corners - 2 : 1; }

    CornerForm Form() const { return form_; }

    static bool StartsLikeCorner(std::string_view word);

private:
    std::vector<FaceCorner> corners_;
    CornerForm form_ = CornerForm::Vertex;
};
