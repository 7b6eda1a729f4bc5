#include "model/FaceReader.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an integer at `position`, advancing past it; false (nothing read) when there is none.
bool ReadIndex(std::string_view word, std::size_t& position, long long& value) {
    const std::size_t used = ParseInteger(word.substr(position), value);
    position += used;
    return used > 0;
}

bool Expect(std::string_view word, std::size_t& position, std::string_view text) {
    if (word.substr(position).starts_with(text)) {
        position += text.size();
        return true;
    }
    return false;
}

CornerForm FormOf(std::string_view word) {
    if (word.find("//") != std::string_view::npos) {
        return CornerForm::VertexNormal;
    }
    std::size_t position = 0;
    long long value = 0;
    if (!ReadIndex(word, position, value) || !Expect(word, position, "/") ||
        !ReadIndex(word, position, value)) {
        return CornerForm::Vertex;
    }
    if (Expect(word, position, "/") && ReadIndex(word, position, value)) {
        return CornerForm::VertexTexCoordNormal;
    }
    return CornerForm::VertexTexCoord;
}

// Fields the word does not give keep the values of the corner read before.
void ParseCorner(std::string_view word, CornerForm form, FaceCorner& corner) {
    std::size_t position = 0;
    if (!ReadIndex(word, position, corner.vertex)) {
        return;
    }
    switch (form) {
    case CornerForm::Vertex:
        break;
    case CornerForm::VertexNormal:
        if (Expect(word, position, "//")) {
            ReadIndex(word, position, corner.normal);
        }
        break;
    case CornerForm::VertexTexCoord:
        if (Expect(word, position, "/")) {
            ReadIndex(word, position, corner.texCoord);
        }
        break;
    case CornerForm::VertexTexCoordNormal:
        if (Expect(word, position, "/") && ReadIndex(word, position, corner.texCoord) &&
            Expect(word, position, "/")) {
            ReadIndex(word, position, corner.normal);
        }
        break;
    }
}

} // namespace

bool FaceReader::StartsLikeCorner(std::string_view word) {
    if (word.empty()) {
        return false;
    }
    if (word[0] == '-' || word[0] == '+') {
        return word.size() > 1 && IsDigit(word[1]);
    }
    return IsDigit(word[0]);
}

std::size_t FaceReader::CountCorners(ObjTextCursor& cursor) {
    std::size_t count = 0;
    for (std::string_view word = cursor.PeekWord(); StartsLikeCorner(word);
         word = cursor.PeekWord()) {
        cursor.Consume(word);
        ++count;
    }
    return count;
}

const std::vector<FaceCorner>& FaceReader::Read(ObjTextCursor& cursor) {
    corners_.clear();
    form_ = CornerForm::Vertex;
    FaceCorner corner;
    for (std::string_view word = cursor.PeekWord(); StartsLikeCorner(word);
         word = cursor.PeekWord()) {
        cursor.Consume(word);
        if (corners_.empty()) {
            form_ = FormOf(word);
        }
        ParseCorner(word, form_, corner);
        corners_.push_back(corner);
    }
    while (corners_.size() < 3) {
        corners_.push_back(corner);
    }
    return corners_;
}
