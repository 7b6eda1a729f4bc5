#include "render/BitmapFont.h"

#include "render/FontGlyphs.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 126;
// The glyph texture: 16 glyphs a row, 6 rows, one alpha byte a pixel (255 where a bit is set).
constexpr int kGlyphsPerRow = 16;
constexpr int kAtlasSize = 128;

bool Printable(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= kFirstGlyph && code <= kLastGlyph;
}

std::vector<unsigned char> AtlasPixels() {
    std::vector<unsigned char> pixels(kAtlasSize * kAtlasSize, 0);
    for (int index = 0; index < static_cast<int>(kFontGlyphs.size()); ++index) {
        const int left = (index % kGlyphsPerRow) * BitmapFont::kGlyphWidth;
        const int bottom = (index / kGlyphsPerRow) * BitmapFont::kGlyphHeight;
        for (int row = 0; row < BitmapFont::kGlyphHeight; ++row) {
            const unsigned bits = kFontGlyphs[static_cast<size_t>(index)][static_cast<size_t>(row)];
            for (int column = 0; column < BitmapFont::kGlyphWidth; ++column) {
                if ((bits & (0x80u >> column)) != 0) {
                    pixels[static_cast<size_t>((bottom + row) * kAtlasSize + left + column)] = 255;
                }
            }
        }
    }
    return pixels;
}

// With glOrtho(..., 0, 1) a vertex at z = -d lands at window depth d, the depth the bitmap's
// fragments would have had.
void TexturedQuad(int x, int y, float depth, int glyphIndex) {
    const int left = (glyphIndex % kGlyphsPerRow) * BitmapFont::kGlyphWidth;
    const int bottom = (glyphIndex / kGlyphsPerRow) * BitmapFont::kGlyphHeight;
    const float s0 = static_cast<float>(left) / kAtlasSize;
    const float s1 = static_cast<float>(left + BitmapFont::kGlyphWidth) / kAtlasSize;
    const float t0 = static_cast<float>(bottom) / kAtlasSize;
    const float t1 = static_cast<float>(bottom + BitmapFont::kGlyphHeight) / kAtlasSize;
    const auto x0 = static_cast<float>(x);
    const auto y0 = static_cast<float>(y);
    const float x1 = x0 + BitmapFont::kGlyphWidth;
    const float y1 = y0 + BitmapFont::kGlyphHeight;
    const float z = -depth;
    glTexCoord2f(s0, t0);
    glVertex3f(x0, y0, z);
    glTexCoord2f(s1, t0);
    glVertex3f(x1, y0, z);
    glTexCoord2f(s1, t1);
    glVertex3f(x1, y1, z);
    glTexCoord2f(s0, t1);
    glVertex3f(x0, y1, z);
}

} // namespace

bool BitmapFont::Build() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glyphs.clear();
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) {
        return false;
    }
    texture = name;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const std::vector<unsigned char> pixels = AtlasPixels();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, kAtlasSize, kAtlasSize, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return glGetError() == GL_NO_ERROR;
}

void BitmapFont::Release() {
    if (texture != 0) {
        const GLuint name = texture;
        glDeleteTextures(1, &name);
        texture = 0;
    }
    glyphs.clear();
}

void BitmapFont::DrawText(const std::string& text) const {
    if (texture == 0) {
        return;
    }
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (mode != GL_RENDER || valid == GL_FALSE) {
        return;
    }
    GLfloat position[4] = {};
    std::array<float, 4> color{};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, color.data());
    double y = position[1];
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
        QueueLine(text.substr(lineBegin, contentEnd - lineBegin), position[0], y, position[2],
                  color);
        if (lastLine) {
            break;
        }
        y -= kLineHeight;
        lineBegin = lineEnd + 1;
    }
}

void BitmapFont::QueueLine(const std::string& line, double x, double y, float depth,
                           const std::array<float, 4>& color) const {
    // A bitmap's lower-left pixel is at floor(raster position - origin); each printable character
    // moves the pen by the advance. The OpenGL implementation adds a small epsilon before taking
    // the floor, so that a position a rounding error below a pixel edge lands on that edge; the
    // same here keeps every glyph on the pixel it had.
    constexpr double kEpsilon = 0.0001;
    const int bottom = static_cast<int>(std::floor(y + kEpsilon - kBaselineOffset));
    int pen = 0;
    for (const char c : line) {
        if (!Printable(c)) {
            continue;
        }
        QueuedGlyph glyph;
        glyph.x = static_cast<int>(std::floor(x + kEpsilon + pen));
        glyph.y = bottom;
        glyph.depth = depth;
        glyph.color = color;
        glyph.code = static_cast<unsigned char>(c);
        glyphs.push_back(glyph);
        pen += kAdvance;
    }
}

void BitmapFont::Flush() {
    if (glyphs.empty()) {
        return;
    }
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_TEXTURE_BIT |
                 GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // Window coordinates, the window's depth range mapped straight through (z = -depth).
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], 0.0,
            1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Only the set bits of a glyph make fragments, as with a bitmap.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    DrawQueued();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glyphs.clear();
}

void BitmapFont::DrawQueued() const {
    glBegin(GL_QUADS);
    for (const QueuedGlyph& glyph : glyphs) {
        glColor4fv(glyph.color.data());
        TexturedQuad(glyph.x, glyph.y, glyph.depth, glyph.code - kFirstGlyph);
    }
    glEnd();
}
