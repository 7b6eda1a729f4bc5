#pragma once

#include <memory>
#include <string>

// An OpenGL compatibility-profile context that needs no window and no display: EGL on Mesa's
// surfaceless platform, drawing into a framebuffer object of a fixed size (RGBA8 colour, 24-bit
// depth with 8-bit stencil). The context is current from creation until destruction.
class HeadlessContext {
public:
    // Creates the context and its framebuffer and makes them current. On failure returns nullptr
    // and says why in `error`.
    static std::unique_ptr<HeadlessContext> Create(int width, int height, std::string& error);

    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Makes this context and its framebuffer current again (after another context was used).
    bool MakeCurrent();

    int Width() const { return width; }
    int Height() const { return height; }

private:
    HeadlessContext() = default;
    bool CreateFramebuffer(std::string& error);

    void* display = nullptr; // EGLDisplay
    void* context = nullptr; // EGLContext
    unsigned framebuffer = 0;
    unsigned colorBuffer = 0;
    unsigned depthBuffer = 0;
    int width = 0;
    int height = 0;
};
