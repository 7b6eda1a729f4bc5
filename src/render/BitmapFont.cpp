#include "render/BitmapFont.h"

#include "render/FontGlyphs.h"

#include <GL/gl.h>

#include <algorithm>
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
    std::vector<unsigned char> pixels(static_cast<size_t>(kAtlasSize) * kAtlasSize, 0);
    for (int index = 0; index < static_cast<int>(kFontGlyphs.size()); ++index) {
        const int left = (index % kGlyphsPerRow) * BitmapFont::kGlyphWidth;
        const int bottom = (index / kGlyphsPerRow) * BitmapFont::kGlyphHeight;
        for (int row = 0; row < BitmapFont::kGlyphHeight; ++row) {
            const unsigned bits = kFontGlyphs[static_cast<size_t>(index)][static_cast<size_t>(row)];
            for (int column = 0; column < BitmapFont::kGlyphWidth; ++column) {
                if ((bits & (0x80u >> column)) != 0) {
                    pixels[static_cast<size_t>(bottom + row) * kAtlasSize +
                           static_cast<size_t>(left + column)] = 255;
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
    leaders.clear();
    pending.clear();
    BeginFrame();
}

namespace {

// A label's text lines, "\n" or "\r\n" apart.
std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
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
        lines.push_back(text.substr(lineBegin, contentEnd - lineBegin));
        if (lastLine) {
            return lines;
        }
        lineBegin = lineEnd + 1;
    }
}

int PrintableCount(const std::string& line) {
    return static_cast<int>(std::count_if(line.begin(), line.end(), Printable));
}

// The pixels the lines cover when the first line's raster position is (x, y).
LabelBox BoxOfLines(const std::vector<std::string>& lines, double x, double y) {
    int widest = 0;
    for (const std::string& line : lines) {
        widest = std::max(widest, PrintableCount(line));
    }
    const int count = static_cast<int>(lines.size());
    LabelBox box;
    box.left = static_cast<int>(std::floor(x));
    box.bottom = static_cast<int>(std::floor(y)) - BitmapFont::kBaselineOffset -
                 (count - 1) * BitmapFont::kLineHeight;
    box.width = widest * BitmapFont::kAdvance;
    box.height = (count - 1) * BitmapFont::kLineHeight + BitmapFont::kGlyphHeight;
    return box;
}

// The point of the box nearest to (x, y).
std::array<float, 2> NearestPointOf(const LabelBox& box, float x, float y) {
    return {
        std::clamp(x, static_cast<float>(box.left), static_cast<float>(box.left + box.width)),
        std::clamp(y, static_cast<float>(box.bottom), static_cast<float>(box.bottom + box.height))};
}

} // namespace

void BitmapFont::BeginFrame(bool outlinedLabels) {
    outlined = outlinedLabels;
    layout.Clear();
    placed.clear();
}

void BitmapFont::DrawText(const std::string& text, Depth depth) const {
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
    PendingLabel label;
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, label.color.data());
    label.text = text;
    label.x = position[0];
    label.y = position[1];
    label.depth = position[2];
    label.mode = depth;
    pending.push_back(std::move(label));
}

namespace {

// Whether something drawn lies in front of the window point at `depth`; a point off the viewport
// counts as seen (nothing there to read), and so does one whose depth cannot be read.
bool BehindWhatIsDrawn(float x, float y, float depth) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const auto column = static_cast<GLint>(std::floor(x));
    const auto row = static_cast<GLint>(std::floor(y));
    if (column < viewport[0] || row < viewport[1] || column >= viewport[0] + viewport[2] ||
        row >= viewport[1] + viewport[3]) {
        return false;
    }
    // Far more than the depth buffer's resolution, far less than any gap between surfaces.
    constexpr float kTolerance = 1e-5f;
    GLfloat stored = 1.0f;
    glReadPixels(column, row, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &stored);
    return stored < depth - kTolerance;
}

} // namespace

void BitmapFont::PlacePending() {
    // Read before anything of this flush is drawn: the labels' own glyphs would hide each other.
    for (const PendingLabel& label : pending) {
        PlaceLabel(label);
    }
    pending.clear();
}

void BitmapFont::PlaceLabel(const PendingLabel& label) {
    const std::vector<std::string> lines = TextLines(label.text);
    const LabelBox atPoint = BoxOfLines(lines, label.x, label.y);
    if (atPoint.width == 0) {
        return; // nothing printable takes no room
    }
    const bool lifted =
        label.mode == Depth::AtRasterPosition && BehindWhatIsDrawn(label.x, label.y, label.depth);
    LabelBox wanted = atPoint;
    if (lifted) {
        wanted.left += kLiftX;
        wanted.bottom += kLiftY;
    }
    const std::optional<LabelBox> box = layout.Place(wanted);
    if (!box) {
        return; // no free place near its point
    }
    placed.push_back({label.text, *box, lifted});
    const float labelDepth = label.mode == Depth::InFront || lifted ? 0.0f : label.depth;
    const int shiftX = box->left - atPoint.left, shiftY = box->bottom - atPoint.bottom;
    if (shiftX != 0 || shiftY != 0) {
        const std::array<float, 2> end = NearestPointOf(*box, label.x, label.y);
        leaders.push_back({label.x, label.y, end[0], end[1], labelDepth, label.color});
    }
    double y = label.y + static_cast<float>(shiftY);
    for (const std::string& line : lines) {
        QueueLine(line, label.x + static_cast<float>(shiftX), y, labelDepth, label.color, lifted);
        y -= kLineHeight;
    }
}

void BitmapFont::QueueLine(const std::string& line, double x, double y, float depth,
                           const std::array<float, 4>& color, bool outline) const {
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
        glyph.outlined = outline;
        glyphs.push_back(glyph);
        pen += kAdvance;
    }
}

void BitmapFont::Flush() {
    PlacePending();
    if (glyphs.empty() && leaders.empty()) {
        return;
    }
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_TEXTURE_BIT |
                 GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT | GL_DEPTH_BUFFER_BIT);
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
    DrawLeaderLines();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Only the set bits of a glyph make fragments, as with a bitmap.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    const bool anyOutlined = std::any_of(glyphs.begin(), glyphs.end(),
                                         [](const QueuedGlyph& glyph) { return glyph.outlined; });
    if (outlined || anyOutlined) {
        // The glyph is drawn at its outline's depth.
        glDepthFunc(GL_LEQUAL);
        DrawOutlines();
    }
    DrawQueued();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glyphs.clear();
    leaders.clear();
}

void BitmapFont::DrawQueued() const {
    glBegin(GL_QUADS);
    for (const QueuedGlyph& glyph : glyphs) {
        glColor4fv(glyph.color.data());
        TexturedQuad(glyph.x, glyph.y, glyph.depth, glyph.code - kFirstGlyph);
    }
    glEnd();
}

void BitmapFont::DrawLeaderLines() const {
    if (leaders.empty()) {
        return;
    }
    glBegin(GL_LINES);
    for (const LeaderLine& leader : leaders) {
        glColor4fv(leader.color.data());
        glVertex3f(leader.fromX, leader.fromY, -leader.depth);
        glVertex3f(leader.toX, leader.toY, -leader.depth);
    }
    glEnd();
}

void BitmapFont::DrawOutlines() const {
    constexpr float kOutline[4] = {0.08f, 0.08f, 0.08f, 1.0f};
    glBegin(GL_QUADS);
    for (const QueuedGlyph& glyph : glyphs) {
        if (!outlined && !glyph.outlined) {
            continue;
        }
        glColor4f(kOutline[0], kOutline[1], kOutline[2], glyph.color[3]);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx != 0 || dy != 0) {
                    TexturedQuad(glyph.x + dx, glyph.y + dy, glyph.depth, glyph.code - kFirstGlyph);
                }
            }
        }
    }
    glEnd();
}
