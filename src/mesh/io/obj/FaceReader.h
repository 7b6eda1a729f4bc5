#pragma once

#include "mesh/io/obj/ObjTextCursor.h"

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
    // Starts a new face: no corner read, every field 0.
    void Begin() {
        corner_ = FaceCorner();
        form_ = CornerForm::Vertex;
        count_ = 0;
    }

    // Reads the next corner into Corner(); false (nothing consumed, Corner() unchanged) at the
    // first word that does not start like a corner. The first corner decides the face's form;
    // fields a later corner does not give keep the values of the corner before.
    bool Next(ObjTextCursor& cursor);

    const FaceCorner& Corner() const { return corner_; }
    CornerForm Form() const { return form_; }

    // Only counts the corners of the face at the cursor (what the first reading needs).
    static std::size_t CountCorners(ObjTextCursor& cursor);

    // The number of triangles a face of `corners` corners makes: a fan, at least one.
    static std::size_t TrianglesFor(std::size_t corners) { return corners > 3 ? corners - 2 : 1; }

private:
    FaceCorner corner_;
    CornerForm form_ = CornerForm::Vertex;
    std::size_t count_ = 0;
};
