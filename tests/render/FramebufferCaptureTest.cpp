#include "render/FramebufferCapture.h"
#include "render/HeadlessContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace {

// Blue, green, red, unused: the byte order of a 32-bit bitmap pixel.
std::array<uint8_t, 3> BgrAt(const CapturedImage& dib, int x, int storedRow) {
    const uint8_t* pixel = dib.Pixels() + dib.RowStride() * storedRow + 4 * x;
    return {pixel[0], pixel[1], pixel[2]};
}

} // namespace

TEST(FramebufferCaptureTest, CopiesTheColourBufferBottomRowFirstAsBgra) {
    std::string error;
    const auto context = HeadlessContext::Create(5, 3, error);
    ASSERT_NE(context, nullptr) << error;

    glClearColor(1.0f, 0.0f, 0.0f, 1.0f); // red everywhere
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST); // then the bottom row blue
    glScissor(0, 0, 5, 1);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    const CapturedImage dib = CaptureFramebuffer(5, 3);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.BitCount(), 32);
    EXPECT_EQ(dib.SizeImage(), 5u * 3u * 4u);
    ASSERT_NE(dib.Pixels(), nullptr);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(BgrAt(dib, x, 0), (std::array<uint8_t, 3>{255, 0, 0})) << x; // blue
        EXPECT_EQ(BgrAt(dib, x, 2), (std::array<uint8_t, 3>{0, 0, 255})) << x; // red
    }

    // The caller's pixel-store settings survive the capture.
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(CaptureFramebuffer(0, 3).Width(), 0);
}
