#include "render/BitmapFont.h"
#include "render/FontGlyphs.h"
#include "render/HeadlessContext.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kBatchWidth = 320;
constexpr int kBatchHeight = 180;

// The labels below are placed so that none overlaps another: overlapping labels are moved apart,
// which glBitmap never did.
// What the labels used to be: one glBitmap per character from the current raster position, a
// step back and down for each new line. The batch must give exactly these pixels.
void DrawWithBitmaps(const std::string& text) {
    int column = 0;
    for (const char c : text) {
        if (c == '\n') {
            glBitmap(0, 0, 0, 0, -static_cast<float>(BitmapFont::kAdvance * column),
                     -static_cast<float>(BitmapFont::kLineHeight), nullptr);
            column = 0;
            continue;
        }
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 126) {
            continue;
        }
        glBitmap(8, 13, 0.0f, 2.0f, static_cast<float>(BitmapFont::kAdvance), 0.0f,
                 kFontGlyphs[code - 32].data());
        ++column;
    }
}

struct Label {
    double x, y, z; // eye coordinates
    float r, g, b;
    std::string text;
};

class LabelBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = HeadlessContext::Create(kBatchWidth, kBatchHeight, error);
        if (!context) {
            GTEST_SKIP() << error;
        }
        ASSERT_TRUE(font.Build());
        glViewport(0, 0, kBatchWidth, kBatchHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -0.6, 0.6, 1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    void TearDown() override {
        if (context) {
            font.Release();
        }
    }

    // A grey square half-way back, so that depth decides which label pixels show.
    static void DrawOccluder() {
        glColor3f(0.3f, 0.3f, 0.3f);
        glBegin(GL_QUADS);
        glVertex3d(0.2, -1, -3);
        glVertex3d(2, -1, -3);
        glVertex3d(2, 1, -3);
        glVertex3d(0.2, 1, -3);
        glEnd();
    }

    std::vector<unsigned char> Frame(const std::vector<Label>& labels, bool batched) {
        glClearColor(0.85f, 0.85f, 0.85f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        font.BeginFrame();
        DrawOccluder();
        for (const Label& label : labels) {
            glColor3f(label.r, label.g, label.b);
            glRasterPos3d(label.x, label.y, label.z);
            if (batched) {
                font.DrawText(label.text);
            } else {
                DrawWithBitmaps(label.text);
            }
        }
        font.Flush();
        glFinish();
        std::vector<unsigned char> pixels(kBatchWidth * kBatchHeight * 4);
        glReadPixels(0, 0, kBatchWidth, kBatchHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    std::unique_ptr<HeadlessContext> context;
    std::string error;
    BitmapFont font;
};

} // namespace

TEST_F(LabelBatchTest, BatchedLabelsGiveTheBitmapFontsPixels) {
    const std::vector<Label> labels = {
        {-0.9, 0.2, -2, 1, 0.2f, 0.1f, "Trajectory 12 (left lung)"},
        {-0.333, -0.217, -2.5, 0.1f, 0.7f, 0.2f, "two\r\nlines\nand a third"},
        {0.1, 0.0, -4, 0, 0, 1, "behind the square"},              // partly hidden by depth
        {0.95, 0.4, -2, 0.5f, 0, 0.5f, "runs off the right edge"}, // cut by the window
        // Lands a rounding error below a pixel edge, where the bitmap's epsilon decides the row.
        {-0.5, -0.8, -1.5, 0, 0, 0, "tab\there \x7f skipped"},
        {0, 0, -20, 1, 1, 1, "beyond the far plane"}, // invalid raster position: nothing
    };
    const std::vector<unsigned char> expected = Frame(labels, false);
    const std::vector<unsigned char> actual = Frame(labels, true);
    ASSERT_EQ(actual.size(), expected.size());
    int differing = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i] && differing < 12) {
            ADD_FAILURE() << "pixel " << (i / 4) % kBatchWidth << "," << (i / 4) / kBatchWidth
                          << " channel " << i % 4 << ": " << int(actual[i]) << " instead of "
                          << int(expected[i]);
        }
        differing += actual[i] != expected[i] ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
    // The labels did draw something: the frame is not just the occluder on grey.
    EXPECT_NE(Frame({}, true), actual);
}

TEST_F(LabelBatchTest, SelectionModeQueuesNothingAndFlushKeepsState) {
    GLuint buffer[64] = {};
    glSelectBuffer(64, buffer);
    glRenderMode(GL_SELECT);
    glRasterPos3d(0, 0, -2);
    font.DrawText("picked");
    glRenderMode(GL_RENDER);
    EXPECT_FALSE(font.HasQueued());

    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glRasterPos3d(0, 0, -2);
    glColor4f(0.1f, 0.2f, 0.3f, 1);
    font.DrawText("label");
    EXPECT_TRUE(font.HasQueued());
    font.Flush();
    EXPECT_FALSE(font.HasQueued());
    GLfloat color[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[2], 0.3f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
