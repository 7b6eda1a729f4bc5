#include "render/FramebufferCapture.h"

#include <GL/gl.h>

namespace {

// Drops errors left over from earlier calls, so that the check after the read sees its own.
void ClearGlErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace

// OpenGL hands the rows over bottom row first, as the bitmap stores them; GL_BGRA gives the byte
// order blue, green, red, unused of a 32-bit bitmap pixel, and rows of 4-byte pixels need no
// padding.
CapturedImage CaptureFramebuffer(int width, int height) {
    if (width <= 0 || height <= 0)
        return CapturedImage::Create(0, 0, 32);
    CapturedImage dib = CapturedImage::Create(width, height, 32);
    ClearGlErrors();
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, dib.Pixels());
    glPopClientAttrib();
    if (glGetError() != GL_NO_ERROR)
        return CapturedImage::Create(0, 0,
                                     32); // an empty bitmap: the writer refuses it as invalid input
    return dib;
}
