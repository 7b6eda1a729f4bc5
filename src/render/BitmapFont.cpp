#include "render/BitmapFont.h"

#include "render/FontGlyphs.h"

#include <GL/gl.h>

namespace {

constexpr int kListCount = 128;
constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 126;

bool Printable(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= kFirstGlyph && code <= kLastGlyph;
}

// The characters of one text line that have a glyph.
std::string PrintableCharacters(const std::string& text, size_t begin, size_t end) {
    std::string result;
    result.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
        if (Printable(text[i])) {
            result.push_back(text[i]);
        }
    }
    return result;
}

} // namespace

bool BitmapFont::Build() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    base = glGenLists(kListCount);
    if (base == 0) {
        return false;
    }
    for (int code = kFirstGlyph; code <= kLastGlyph; ++code) {
        glNewList(base + code, GL_COMPILE);
        glBitmap(8, 13, 0.0f, 2.0f, static_cast<float>(kAdvance), 0.0f,
                 kFontGlyphs[code - kFirstGlyph].data());
        glEndList();
    }
    return true;
}

void BitmapFont::Release() {
    if (base != 0) {
        glDeleteLists(base, kListCount);
        base = 0;
    }
}

void BitmapFont::DrawText(const std::string& text) const {
    if (base == 0) {
        return;
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(base);
    size_t lineBegin = 0;
    while (true) {
        size_t lineEnd = text.find('\n', lineBegin);
        const bool lastLine = lineEnd == std::string::npos;
        if (lastLine) {
            lineEnd = text.size();
        }
        size_t contentEnd = lineEnd;
        if (contentEnd > lineBegin && text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        const std::string line = PrintableCharacters(text, lineBegin, contentEnd);
        glCallLists(static_cast<GLsizei>(line.size()), GL_UNSIGNED_BYTE, line.data());
        if (lastLine) {
            break;
        }
        // Back to the start of this line, one line lower.
        glBitmap(0, 0, 0.0f, 0.0f, -static_cast<float>(kAdvance * line.size()),
                 -static_cast<float>(kLineHeight), nullptr);
        lineBegin = lineEnd + 1;
    }
    glPopAttrib();
}
