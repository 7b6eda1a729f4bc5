#include "render/HeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

// The framebuffer-object entry points, looked up once per context through EGL: Mesa's libGL does
// not promise to export them.
struct FramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool Load() {
        genFramebuffers = Lookup<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        deleteFramebuffers = Lookup<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
        bindFramebuffer = Lookup<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        genRenderbuffers = Lookup<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        deleteRenderbuffers = Lookup<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
        bindRenderbuffer = Lookup<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        renderbufferStorage = Lookup<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
        framebufferRenderbuffer =
            Lookup<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        checkFramebufferStatus =
            Lookup<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
               deleteRenderbuffers && bindRenderbuffer && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus;
    }

    template <typename Function> static Function Lookup(const char* name) {
        return reinterpret_cast<Function>(eglGetProcAddress(name));
    }
};

FramebufferFunctions& Framebuffers() {
    static FramebufferFunctions functions;
    return functions;
}

bool HasExtension(const char* list, const char* name) {
    if (list == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

EGLDisplay OpenSurfacelessDisplay(std::string& error) {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        error = "headless OpenGL is not available: EGL has no surfaceless platform";
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error = "headless OpenGL is not available: eglGetPlatformDisplayEXT is missing";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        error = "headless OpenGL is not available: no surfaceless EGL display";
        return EGL_NO_DISPLAY;
    }
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        error = "headless OpenGL is not available: the EGL display cannot be initialised";
        return EGL_NO_DISPLAY;
    }
    return display;
}

EGLContext CreateCompatibilityContext(EGLDisplay display, std::string& error) {
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        error = "headless OpenGL is not available: EGL offers no desktop OpenGL";
        return EGL_NO_CONTEXT;
    }
    // Surfaceless configurations are pbuffer configurations; the default would ask for windows.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
        configCount < 1) {
        error = "headless OpenGL is not available: no EGL configuration for desktop OpenGL";
        return EGL_NO_CONTEXT;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        error = "headless OpenGL is not available: the compatibility context cannot be created";
    }
    return context;
}

} // namespace

std::unique_ptr<HeadlessContext> HeadlessContext::Create(int width, int height,
                                                         std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "the image size must be at least 1 x 1 pixels";
        return nullptr;
    }
    std::unique_ptr<HeadlessContext> result(new HeadlessContext());
    result->width = width;
    result->height = height;
    result->display = OpenSurfacelessDisplay(error);
    if (result->display == EGL_NO_DISPLAY) {
        return nullptr;
    }
    result->context = CreateCompatibilityContext(result->display, error);
    if (result->context == EGL_NO_CONTEXT) {
        return nullptr;
    }
    if (eglMakeCurrent(result->display, EGL_NO_SURFACE, EGL_NO_SURFACE, result->context) !=
        EGL_TRUE) {
        error = "headless OpenGL is not available: the context cannot be made current";
        return nullptr;
    }
    if (!result->CreateFramebuffer(error)) {
        return nullptr;
    }
    return result;
}

bool HeadlessContext::CreateFramebuffer(std::string& error) {
    FramebufferFunctions& fb = Framebuffers();
    if (!fb.Load()) {
        error = "headless OpenGL is not available: framebuffer objects are not supported";
        return false;
    }
    fb.genRenderbuffers(1, &colorBuffer);
    fb.bindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    fb.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    fb.genRenderbuffers(1, &depthBuffer);
    fb.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    fb.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    fb.genFramebuffers(1, &framebuffer);
    fb.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                               depthBuffer);
    if (fb.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "headless OpenGL is not available: the " + std::to_string(width) + " x " +
                std::to_string(height) + " framebuffer cannot be created";
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width, height);
    return true;
}

bool HeadlessContext::MakeCurrent() {
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        return false;
    }
    Framebuffers().bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return true;
}

HeadlessContext::~HeadlessContext() {
    if (context != nullptr && context != EGL_NO_CONTEXT) {
        if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) == EGL_TRUE &&
            framebuffer != 0) {
            FramebufferFunctions& fb = Framebuffers();
            fb.bindFramebuffer(GL_FRAMEBUFFER, 0);
            fb.deleteFramebuffers(1, &framebuffer);
            fb.deleteRenderbuffers(1, &colorBuffer);
            fb.deleteRenderbuffers(1, &depthBuffer);
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    // The display is shared by every headless context of the process and stays initialised.
}
