#include "mesh/io/obj/FaceReader.h"

#include <cstdint>

namespace {

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') <= 9;
}

bool StartsLikeCorner(const char* p, const char* end) {
    if (p == end) {
        return false;
    }
    if (*p == '-' || *p == '+') {
        return end - p > 1 && IsDigit(p[1]);
    }
    return IsDigit(*p);
}

// Steps over `c` at `p`; nullptr when it is not there.
const char* Expect(const char* p, const char* end, char c) {
    return p && p < end && *p == c ? p + 1 : nullptr;
}

// The form of the first corner, the word at `start`.
CornerForm FormOf(const char* start, const char* end) {
    for (const char* c = start; c < end && !ObjTextCursor::IsBlank(*c); ++c) {
        if (*c == '/' && c + 1 < end && c[1] == '/') {
            return CornerForm::VertexNormal;
        }
    }
    long long value = 0;
    const char* p = ParseInteger(start, end, value);
    p = Expect(p, end, '/');
    p = p ? ParseInteger(p, end, value) : nullptr;
    if (!p) {
        return CornerForm::Vertex;
    }
    p = Expect(p, end, '/');
    return p && ParseInteger(p, end, value) ? CornerForm::VertexTexCoordNormal
                                            : CornerForm::VertexTexCoord;
}

// Reads the fields of the face's form from the corner at `p`; fields it does not give keep the
// values of the corner read before. Returns where the parse stopped.
const char* ParseCorner(const char* p, const char* end, CornerForm form, FaceCorner& corner) {
    p = ParseInteger(p, end, corner.vertex);
    switch (form) {
    case CornerForm::Vertex:
        return p;
    case CornerForm::VertexNormal:
        p = Expect(Expect(p, end, '/'), end, '/');
        return p ? ParseInteger(p, end, corner.normal) : nullptr;
    case CornerForm::VertexTexCoord:
        p = Expect(p, end, '/');
        return p ? ParseInteger(p, end, corner.texCoord) : nullptr;
    case CornerForm::VertexTexCoordNormal:
        p = Expect(p, end, '/');
        p = p ? ParseInteger(p, end, corner.texCoord) : nullptr;
        p = Expect(p, end, '/');
        return p ? ParseInteger(p, end, corner.normal) : nullptr;
    }
    return p;
}

} // namespace

// The first reading counts the common faces from its byte masks (ObjChunkCounter); only the
// others come here, so the corners are counted word by word.
std::size_t FaceReader::CountCorners(ObjTextCursor& cursor) {
    std::size_t count = 0;
    // The corners may go on over the next lines, for as long as the words start like corners.
    for (cursor.SkipBlanks(); StartsLikeCorner(cursor.Here(), cursor.End()); cursor.SkipBlanks()) {
        cursor.SkipWord();
        ++count;
    }
    return count;
}

bool FaceReader::Next(ObjTextCursor& cursor) {
    cursor.SkipBlanks();
    if (!StartsLikeCorner(cursor.Here(), cursor.End())) {
        return false;
    }
    if (count_++ == 0) {
        form_ = FormOf(cursor.Here(), cursor.End());
    }
    if (const char* stop = ParseCorner(cursor.Here(), cursor.End(), form_, corner_)) {
        cursor.MoveTo(stop);
    }
    cursor.SkipWord();
    return true;
}
