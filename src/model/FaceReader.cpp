#include "model/FaceReader.h"

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

CornerForm FormOf(std::string_view word) {
    if (word.find("//") != std::string_view::npos) {
        return CornerForm::VertexNormal;
    }
    const char* end = word.data() + word.size();
    long long value = 0;
    const char* p = ParseInteger(word.data(), end, value);
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

bool FaceReader::StartsLikeCorner(std::string_view word) {
    return ::StartsLikeCorner(word.data(), word.data() + word.size());
}

std::size_t FaceReader::CountCorners(ObjTextCursor& cursor) {
    std::size_t count = 0;
    for (cursor.SkipBlanks(); ::StartsLikeCorner(cursor.Here(), cursor.End());
         cursor.SkipBlanks()) {
        cursor.SkipWord();
        ++count;
    }
    return count;
}

const std::vector<FaceCorner>& FaceReader::Read(ObjTextCursor& cursor) {
    corners_.clear();
    form_ = CornerForm::Vertex;
    FaceCorner corner;
    for (cursor.SkipBlanks(); ::StartsLikeCorner(cursor.Here(), cursor.End());
         cursor.SkipBlanks()) {
        if (corners_.empty()) {
            form_ = FormOf(cursor.PeekWord());
        }
        if (const char* stop = ParseCorner(cursor.Here(), cursor.End(), form_, corner)) {
            cursor.MoveTo(stop);
        }
        cursor.SkipWord();
        corners_.push_back(corner);
    }
    while (corners_.size() < 3) {
        corners_.push_back(corner);
    }
    return corners_;
}
